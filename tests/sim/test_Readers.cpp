#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <set>
#include <string>

namespace
{

using simtest::qvd;

std::string version(int h)
{
    char text[255] = {};
    EXPECT_EQ(qvd().rz_getver(h, text), 0);
    return text;
}

TEST(Readers, UsbReadersOpenInBenchOrderThenMinusOne)
{
    sim::SimBench bench;
    const int first = qvd().rz_init(100, 0);
    const int second = qvd().rz_init(100, 0);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(version(first).rfind("T7", 0), 0u) << version(first);
    EXPECT_EQ(version(second).rfind("T6", 0), 0u) << version(second);
    EXPECT_EQ(qvd().rz_init(100, 0), -1);
    // A closed reader can be opened again.
    EXPECT_EQ(qvd().rz_exit(first), 0);
    const int again = qvd().rz_init(100, 0);
    ASSERT_GT(again, 0);
    EXPECT_EQ(version(again).rfind("T7", 0), 0u);
    EXPECT_EQ(qvd().rz_init(100, 0), -1);
}

TEST(Readers, SerialReadersAnswerOnlyOnTheirPortAtTheirBaudRate)
{
    sim::SimBench bench;
    EXPECT_EQ(qvd().rz_init(0, 9600), -1);   // COM1 runs at 115200
    EXPECT_EQ(qvd().rz_init(1, 115200), -1); // nothing on COM2
    EXPECT_EQ(qvd().rz_init(2, 115200), -1); // COM3 runs at 9600
    EXPECT_EQ(qvd().rz_init(6, 115200), -1); // no COM7
    const int com1 = qvd().rz_init(0, 115200);
    ASSERT_GT(com1, 0);
    EXPECT_EQ(version(com1).rfind("T7", 0), 0u);
    const int com3 = qvd().rz_init(2, 9600);
    ASSERT_GT(com3, 0);
    EXPECT_EQ(version(com3).rfind("T5S", 0), 0u) << version(com3);
    // A port that is open already does not open twice.
    EXPECT_EQ(qvd().rz_init(2, 9600), -1);
}

TEST(Readers, HandlesArePositiveDistinctAndNever32)
{
    sim::SimBench bench;
    std::set<int> seen;
    for (int round = 0; round < 50; ++round) {
        const int h = qvd().rz_init(100, 0);
        ASSERT_GT(h, 0);
        EXPECT_NE(h, 32);
        EXPECT_TRUE(seen.insert(h).second) << "handle " << h << " given twice";
        ASSERT_EQ(qvd().rz_exit(h), 0);
    }
}

TEST(Readers, UnknownHandlesFail)
{
    sim::SimBench bench;
    char text[255] = {};
    const int h = qvd().rz_init(100, 0);
    ASSERT_GT(h, 0);
    EXPECT_NE(qvd().rz_exit(h + 1000), 0);
    EXPECT_NE(qvd().rz_beep(h + 1000, 10), 0);
    EXPECT_NE(qvd().rz_getver(h + 1000, text), 0);
    EXPECT_EQ(qvd().rz_exit(h), 0);
    EXPECT_NE(qvd().rz_exit(h), 0); // closed now
    EXPECT_NE(qvd().rz_beep(h, 10), 0);
}

TEST(Readers, BeepsAreCountedAndShownByT7sim)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    ASSERT_EQ(qvd().rz_beep(h, 10), 0);
    ASSERT_EQ(qvd().rz_beep(h, 20), 0);
    const std::string shown = bench.run("show");
    const auto usb1 = shown.find("usb1:");
    const auto usb2 = shown.find("usb2:");
    ASSERT_NE(usb1, std::string::npos);
    const std::string part = shown.substr(usb1, usb2 - usb1);
    EXPECT_NE(part.find("beeps: 2, 2 since the last look: 100 ms 200 ms"), std::string::npos) << shown;
}

TEST(Readers, ConfigCardTakesOnlyTheThreeProtocolsAndPersists)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    EXPECT_NE(qvd().rz_config_card(h, 'C'), 0);
    EXPECT_EQ(qvd().rz_config_card(h, 'B'), 0);
    EXPECT_NE(bench.run("show").find("protocol TYPE B"), std::string::npos);
    EXPECT_EQ(qvd().rz_config_card(h, '1'), 0);
    EXPECT_NE(bench.run("show").find("protocol ISO15693"), std::string::npos);
}

TEST(Readers, UnsupportedCommandsFailWithoutHarm)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    unsigned char buffer[64] = {};
    EXPECT_NE(qvd().rz_read_ultralt(h, 4, buffer), 0);
    EXPECT_NE(qvd().rz_read_4428(h, 0, buffer, 16), 0);
    EXPECT_NE(qvd().rz_des(nullptr, nullptr, nullptr, 1), 0);
}

} // namespace
