// Auto Test against the simulated reader.
// Instant simulator: card passes per second of the page's worker against the
// same reader calls made directly (same run), and the longest stall of the
// UI event loop meanwhile. Air-timing model: passes per second on an S50 and
// an S70 against the model's lower bound for one pass (the air time of the
// commands the pass sends), so the ratio is the tool's own overhead.
#include "bench/AirBound.h"
#include "bench/QuietQt.h"
#include "panels/mifare_one/AutoTestPageDlg.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace
{

// One pass as the page makes it, with nothing shown: find, request, 16 sectors.
void directPass(int handle, const qvd::Entry<PFN_rz_request> &request,
                const qvd::Entry<PFN_rz_authentication> &authenticate, const qvd::Entry<PFN_rz_read> &read)
{
    unsigned int serial = 0;
    t7::GetCardSerial(handle, serial);
    int kind = 0;
    request(handle, 1, &kind);
    for (int sector = 0; sector < 16; ++sector) {
        authenticate(handle, 0, static_cast<unsigned char>(sector));
        for (int block = 4 * sector; block < 4 * sector + 4; ++block) {
            unsigned char data[32] = {};
            read(handle, static_cast<unsigned char>(block), data);
            (void)t7::mifare::BytesToHexText(data, 16).toUpper();
        }
    }
}

double directPassesPerSecond(int handle, qint64 runMs)
{
    const qvd::LibraryRef lib = qvd::Library::load();
    const QVD_ENTRY(lib, rz_request);
    const QVD_ENTRY(lib, rz_authentication);
    const QVD_ENTRY(lib, rz_read);
    QElapsedTimer clock;
    clock.start();
    long passes = 0;
    while (clock.elapsed() < runMs) {
        directPass(handle, rz_request, rz_authentication, rz_read);
        ++passes;
    }
    return passes * 1000.0 / clock.elapsed();
}

struct PageRun {
    long passes = 0;
    double passesPerSecond = 0;
    qint64 longestUiGapMs = 0;
};

// Test for runMs, then Stop; the page is made here so it resolves its entry
// points through whatever resolver is in force.
PageRun pageRun(qint64 runMs)
{
    AutoTestPageDlg page;
    page.opening();
    page.show();
    auto *test = page.findChild<QAbstractButton *>(QStringLiteral("testButton"));
    auto *stop = page.findChild<QAbstractButton *>(QStringLiteral("stopButton"));

    PageRun run;
    QElapsedTimer gap;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { run.longestUiGapMs = std::max(run.longestUiGapMs, gap.restart()); });

    QElapsedTimer clock;
    clock.start();
    test->click();
    gap.start();
    tick.start();
    QEventLoop loop;
    QTimer::singleShot(runMs, &loop, [&] { stop->click(); });
    QObject::connect(&page, &AutoTestPageDlg::workerFinished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    loop.exec();
    const qint64 elapsed = clock.elapsed();
    QApplication::processEvents();
    run.passes = page.okCount() + page.faultCount();
    run.passesPerSecond = run.passes * 1000.0 / elapsed;
    return run;
}

void useReader(int handle, int cardKind)
{
    t7::connection().deviceHandle = handle;
    t7::mifare::state().cardKind = cardKind;
}

// The model's air time for one pass, from a counted instant run.
double boundPerPassMs()
{
    const bench::CountingReader counting(bench::builtLibrary());
    const PageRun counted = pageRun(1000);
    return counted.passes > 0 ? bench::countedAirMilliseconds() / counted.passes : 0.0;
}

void airRun(const char *name, int handle, int cardKind)
{
    useReader(handle, cardKind);
    const double bound = boundPerPassMs();
    ::setenv("T7SIM_TIMING", "air", 1);
    const PageRun run = pageRun(4000);
    ::unsetenv("T7SIM_TIMING");
    const double perPass = run.passesPerSecond > 0 ? 1000.0 / run.passesPerSecond : 0.0;
    std::printf("autotest_air_%s passes_per_s %.2f pass_ms %.1f bound_ms %.1f overhead_pct %.2f ui_gap_ms %lld\n", name,
                run.passesPerSecond, perPass, bound, bound > 0 ? (perPass / bound - 1) * 100 : 0.0,
                static_cast<long long>(run.longestUiGapMs));
}

} // namespace

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    bench::quietQt();
    ::unsetenv("T7SIM_TIMING");
    char folder[] = "/tmp/bench_autotest.XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    ::setenv("T7SIM_BENCH", (std::string(folder) + "/bench.json").c_str(), 1);
    QApplication app(argc, argv);

    const qvd::LibraryRef lib = qvd::Library::load();
    if (!lib) {
        std::fprintf(stderr, "libqvd.so could not be loaded\n");
        return 1;
    }
    const QVD_ENTRY(lib, rz_init);
    const QVD_ENTRY(lib, rz_exit);
    const QVD_ENTRY(lib, rz_load_key);
    const int s50 = rz_init(100, 0); // usb1 holds an S50, usb2 an S70
    const int s70 = rz_init(100, 0);
    if (s50 <= 0 || s70 <= 0) {
        std::fprintf(stderr, "no simulated USB readers\n");
        return 1;
    }
    t7::connection().portOpen = 1;
    unsigned char transport[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (const int h : {s50, s70})
        for (unsigned char row = 0; row < 16; ++row)
            rz_load_key(h, 0, row, transport);

    useReader(s50, t7::mifare::kCardKindS50);
    const double baseline = directPassesPerSecond(s50, 2000);
    const PageRun page = pageRun(2000);
    std::printf("autotest_instant_s50 passes_per_s %.1f direct_per_s %.1f ratio %.3f ui_gap_ms %lld\n",
                page.passesPerSecond, baseline, baseline > 0 ? page.passesPerSecond / baseline : 0.0,
                static_cast<long long>(page.longestUiGapMs));
    airRun("s50", s50, t7::mifare::kCardKindS50);
    airRun("s70", s70, t7::mifare::kCardKindS70);

    rz_exit(s50);
    rz_exit(s70);
    std::filesystem::remove_all(folder);
    return 0;
}
