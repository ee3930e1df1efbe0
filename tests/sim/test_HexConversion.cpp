#include "tests/sim/SimLibrary.h"

#include <cstring>
#include <string>

namespace
{

using simtest::qvd;

TEST(HexConversion, AllByteValuesRoundTrip)
{
    unsigned char bytes[256];
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<unsigned char>(i);
    char text[513];
    std::memset(text, 'x', sizeof text);
    ASSERT_EQ(qvd().hex_a(text, bytes, 512), 0);
    EXPECT_EQ(text[512], '\0');
    EXPECT_EQ(std::string(text, 6), "000102");
    EXPECT_EQ(std::string(text + 2 * 0xAB, 2), "AB"); // upper case
    EXPECT_EQ(std::string(text + 510, 2), "FF");

    unsigned char back[256] = {};
    ASSERT_EQ(qvd().a_hex(back, text, 256), 0);
    EXPECT_EQ(std::memcmp(back, bytes, 256), 0);
}

TEST(HexConversion, HexAWritesExactlyTheDigitsAskedFor)
{
    const unsigned char key[6] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x23};
    char text[16];
    std::memset(text, 'x', sizeof text);
    ASSERT_EQ(qvd().hex_a(text, const_cast<unsigned char *>(key), 8), 0);
    EXPECT_STREQ(text, "DEADBEEF");
    EXPECT_EQ(text[9], 'x'); // nothing written past the terminator
}

TEST(HexConversion, AHexAcceptsLowerCase)
{
    unsigned char out[3] = {};
    ASSERT_EQ(qvd().a_hex(out, const_cast<char *>("a1b2c3"), 3), 0);
    EXPECT_EQ(out[0], 0xA1);
    EXPECT_EQ(out[1], 0xB2);
    EXPECT_EQ(out[2], 0xC3);
}

TEST(HexConversion, AHexRefusesNonHexAndKeepsTheRestUntouched)
{
    unsigned char out[6];
    std::memset(out, 0x55, sizeof out);
    EXPECT_NE(qvd().a_hex(out, const_cast<char *>("A1B2G3D4E5F6"), 6), 0);
    EXPECT_EQ(out[0], 0xA1);
    EXPECT_EQ(out[1], 0xB2);
    EXPECT_EQ(out[2], 0x55);
    EXPECT_EQ(out[5], 0x55);
}

TEST(HexConversion, AHexRefusesATextShorterThanAskedAndNeverReadsPastItsEnd)
{
    unsigned char out[6];
    std::memset(out, 0x55, sizeof out);
    // Five digits: the text ends inside the third pair.
    EXPECT_NE(qvd().a_hex(out, const_cast<char *>("A1B2C"), 6), 0);
    EXPECT_EQ(out[1], 0xB2);
    EXPECT_EQ(out[2], 0x55);
    std::memset(out, 0x55, sizeof out);
    EXPECT_NE(qvd().a_hex(out, const_cast<char *>(""), 1), 0);
    EXPECT_EQ(out[0], 0x55);
}

TEST(HexConversion, AHexRefusesBlanksAndSigns)
{
    unsigned char out[2] = {};
    EXPECT_NE(qvd().a_hex(out, const_cast<char *>(" 1"), 1), 0);
    EXPECT_NE(qvd().a_hex(out, const_cast<char *>("-1"), 1), 0);
    EXPECT_NE(qvd().a_hex(out, const_cast<char *>("0x"), 1), 0);
}

} // namespace
