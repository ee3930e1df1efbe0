// Whole-card read (all 16 sectors of an S50) in the whole-card panel with the
// simulator's air-timing model, against the model's lower bound: the air time
// of the commands the read sends.
#include "bench/AirBound.h"
#include "bench/QuietQt.h"
#include "panels/mifare_one/CMifareOneRwDlg.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

// One read of every sector, as the operator does it; milliseconds.
double readWholeCard()
{
    CMifareOneRwDlg panel;
    panel.show();
    panel.findChild<QAbstractButton *>(QStringLiteral("selectAll"))->click();
    QElapsedTimer clock;
    clock.start();
    panel.findChild<QAbstractButton *>(QStringLiteral("read"))->click();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    bench::quietQt();
    ::unsetenv("T7SIM_TIMING");
    char folder[] = "/tmp/bench_wholecard.XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    ::setenv("T7SIM_BENCH", (std::string(folder) + "/bench.json").c_str(), 1);
    QApplication app(argc, argv);

    const qvd::LibraryRef lib = qvd::Library::load();
    const QVD_ENTRY(lib, rz_init);
    const QVD_ENTRY(lib, rz_load_key);
    const int handle = rz_init(100, 0); // usb1: an S50
    if (handle <= 0) {
        std::fprintf(stderr, "no simulated USB reader\n");
        return 1;
    }
    unsigned char transport[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (unsigned char row = 0; row < 16; ++row)
        rz_load_key(handle, 0, row, transport);
    t7::connection().deviceHandle = handle;
    t7::connection().portOpen = 1;
    t7::mifare::state().cardKind = t7::mifare::kCardKindS50;

    double bound = 0;
    {
        const bench::CountingReader counting(bench::builtLibrary());
        readWholeCard();
        bound = bench::countedAirMilliseconds();
    }
    ::setenv("T7SIM_TIMING", "air", 1);
    std::vector<double> times;
    for (int i = 0; i < 7; ++i)
        times.push_back(readWholeCard());
    ::unsetenv("T7SIM_TIMING");
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("wholecard_air_s50 read_ms %.1f bound_ms %.1f overhead_pct %.2f\n", median, bound,
                bound > 0 ? (median / bound - 1) * 100 : 0.0);
    std::filesystem::remove_all(folder);
    return 0;
}
