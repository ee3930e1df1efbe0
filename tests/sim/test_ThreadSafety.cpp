#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <atomic>
#include <thread>

namespace
{

using simtest::qvd;

// The tool's UI thread and its worker call at the same time. Run under
// ThreadSanitizer this also proves the calls are serialised.
TEST(ThreadSafety, TwoThreadsWorkingTwoReadersGetOnlyTheirOwnResults)
{
    sim::SimBench bench;
    const int usb1 = qvd().rz_init(100, 0);
    const int usb2 = qvd().rz_init(100, 0);
    ASSERT_GT(usb1, 0);
    ASSERT_GT(usb2, 0);
    std::atomic<int> failures{0};
    auto work = [&failures](int h, unsigned expectedSerial, unsigned char lastSector) {
        for (int round = 0; round < 30; ++round) {
            unsigned serial = 0;
            unsigned char data[16];
            if (qvd().rz_card(h, 1, &serial) != 0 || serial != expectedSerial)
                ++failures;
            const unsigned char sector = static_cast<unsigned char>(round % (lastSector + 1));
            if (qvd().rz_authentication(h, 0, sector) != 0)
                ++failures;
            const int block = sector < 32 ? sector * 4 : 128 + (sector - 32) * 16;
            if (qvd().rz_read_S70(h, static_cast<unsigned char>(block + 1), data) != 0)
                ++failures;
            if (round % 10 == 0 && qvd().rz_beep(h, 1) != 0)
                ++failures;
        }
    };
    std::thread worker(work, usb2, 0xC47B2093u, 39);
    work(usb1, 0x5A3C910Eu, 15);
    worker.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_NE(bench.run("show").find("beeps: 3"), std::string::npos);
}

TEST(ThreadSafety, ConcurrentOpeningHandsOutEachReaderOnce)
{
    sim::SimBench bench;
    int a = 0;
    int b = 0;
    std::thread other([&b] { b = qvd().rz_init(100, 0); });
    a = qvd().rz_init(100, 0);
    other.join();
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(qvd().rz_init(100, 0), -1);
}

} // namespace
