#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <cstring>
#include <string>

namespace
{

using simtest::qvd;

TEST(IdCard, ReadsTheNumberAsTenDecimalDigits)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    unsigned char buffer[12];
    std::memset(buffer, 0x77, sizeof buffer);
    ASSERT_EQ(qvd().rz_read_SerialNumberID(h, 10, buffer), 0);
    EXPECT_STREQ(reinterpret_cast<char *>(buffer), "0012345678"); // default card
    EXPECT_EQ(buffer[11], 0x77);                                  // only 11 bytes used
}

TEST(IdCard, PrintsTheLow32BitsOfTheFortyBitId)
{
    sim::SimBench bench;
    // 0xFF_FFFFFFFF: the low 32 bits are 4294967295.
    bench.run("place usb1 id125 id --number 1099511627775");
    const int h = qvd().rz_init(100, 0);
    unsigned char buffer[12] = {};
    ASSERT_EQ(qvd().rz_read_SerialNumberID(h, 10, buffer), 0);
    EXPECT_STREQ(reinterpret_cast<char *>(buffer), "4294967295");
    bench.run("place usb1 id125 id --number 7");
    std::memset(buffer, 0, sizeof buffer);
    ASSERT_EQ(qvd().rz_read_SerialNumberID(h, 10, buffer), 0);
    EXPECT_STREQ(reinterpret_cast<char *>(buffer), "0000000007");
}

TEST(IdCard, NoCardLeavesTheBufferAlone)
{
    sim::SimBench bench;
    const int usb2 = [] {
        qvd().rz_init(100, 0);
        return qvd().rz_init(100, 0);
    }(); // usb2 has no ID card
    unsigned char buffer[12] = {};
    EXPECT_NE(qvd().rz_read_SerialNumberID(usb2, 10, buffer), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_NE(qvd().rz_read_SerialNumberID(usb2 + 500, 10, buffer), 0);
}

TEST(IdCard, TheProtocolSettingDoesNotConcernIt)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    ASSERT_EQ(qvd().rz_config_card(h, 'B'), 0);
    unsigned char buffer[12] = {};
    EXPECT_EQ(qvd().rz_read_SerialNumberID(h, 10, buffer), 0);
}

} // namespace
