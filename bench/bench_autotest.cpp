// Auto Test against the simulated reader: how many card passes per second the
// page's worker achieves compared with the same reader calls made directly
// (the baseline, same run), and how long the UI event loop waits meanwhile.
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

constexpr qint64 kRunMs = 2000;

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

double directPassesPerSecond(int handle, const qvd::LibraryRef &lib)
{
    const QVD_ENTRY(lib, rz_request);
    const QVD_ENTRY(lib, rz_authentication);
    const QVD_ENTRY(lib, rz_read);
    QElapsedTimer clock;
    clock.start();
    long passes = 0;
    while (clock.elapsed() < kRunMs) {
        directPass(handle, rz_request, rz_authentication, rz_read);
        ++passes;
    }
    return passes * 1000.0 / clock.elapsed();
}

struct PageRun {
    double passesPerSecond = 0;
    qint64 longestUiGapMs = 0;
};

PageRun pageRun()
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
    QTimer::singleShot(kRunMs, &loop, [&] { stop->click(); });
    QObject::connect(&page, &AutoTestPageDlg::workerFinished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    loop.exec();
    const qint64 elapsed = clock.elapsed();
    QApplication::processEvents();
    run.passesPerSecond = (page.okCount() + page.faultCount()) * 1000.0 / elapsed;
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char folder[] = "/tmp/bench_autotest.XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    const std::string benchFile = std::string(folder) + "/bench.json";
    setenv("T7SIM_BENCH", benchFile.c_str(), 1);
    QApplication app(argc, argv);

    const qvd::LibraryRef lib = qvd::Library::load();
    if (!lib) {
        std::fprintf(stderr, "libqvd.so could not be loaded\n");
        return 1;
    }
    const QVD_ENTRY(lib, rz_init);
    const QVD_ENTRY(lib, rz_exit);
    const QVD_ENTRY(lib, rz_load_key);
    const int handle = rz_init(100, 0);
    if (handle <= 0) {
        std::fprintf(stderr, "no simulated USB reader\n");
        return 1;
    }
    t7::connection().deviceHandle = handle;
    t7::connection().portOpen = 1;
    t7::mifare::state().cardKind = t7::mifare::kCardKindS50;
    unsigned char transport[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (unsigned char row = 0; row < 16; ++row)
        rz_load_key(handle, 0, row, transport);

    const double baseline = directPassesPerSecond(handle, lib);
    const PageRun page = pageRun();
    std::printf("direct reader calls (baseline): %10.1f passes/s\n", baseline);
    std::printf("Auto Test worker:               %10.1f passes/s\n", page.passesPerSecond);
    std::printf("ratio worker / baseline:        %10.3f\n", baseline > 0 ? page.passesPerSecond / baseline : 0.0);
    std::printf("longest UI event-loop gap:      %10lld ms\n", static_cast<long long>(page.longestUiGapMs));

    rz_exit(handle);
    std::filesystem::remove_all(folder);
    return 0;
}
