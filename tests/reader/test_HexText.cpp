#include "reader/HexText.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <optional>

TEST(InsertHexSpaces, ABlankAfterEveryTwoCharacters)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"", ""},
        {"A", ""},
        {"AB", ""},
        {"ABC", "AB C"},
        {"ABCD", "AB CD"},
        {"0A1B2", "0A 1B 2"},
        {"0A1B2C", "0A 1B 2C"},
        {"00112233445566778899AABBCCDDEEFF", "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(t7::InsertHexSpaces(in), out) << in.toStdString();
}

TEST(ParseHexBytes, OnlyWholePairsOfHexDigits)
{
    struct Case {
        const char *text;
        std::optional<QByteArray> bytes;
    };
    const Case cases[] = {
        {"", QByteArray()},
        {"00", QByteArray(1, '\0')},
        {"a5F0", QByteArray("\xA5\xF0", 2)},
        {"0123456789abcdefABCDEF", QByteArray("\x01\x23\x45\x67\x89\xAB\xCD\xEF\xAB\xCD\xEF", 11)},
        {"A", std::nullopt},
        {"ABC", std::nullopt},
        {"A B", std::nullopt},
        {"AB ", std::nullopt},
        {"0x12", std::nullopt},
        {"-1", std::nullopt},
        {"G0", std::nullopt},
        {"\xC3\xA9\x30", std::nullopt}, // a non-ASCII letter is no digit
    };
    for (const Case &c : cases) {
        const auto bytes = t7::parseHexBytes(QString::fromUtf8(c.text));
        EXPECT_EQ(bytes, c.bytes) << c.text;
    }
    EXPECT_TRUE(t7::isHexOfLength("00112233", 4));
    EXPECT_FALSE(t7::isHexOfLength("001122", 4));
    EXPECT_FALSE(t7::isHexOfLength("0011223G", 4));
}

TEST(HexOfBytes, TwoUpperCaseDigitsPerByte)
{
    const unsigned char bytes[] = {0x00, 0x0A, 0xF0, 0xFF};
    EXPECT_EQ(t7::hexOfBytes(bytes, 4), "000AF0FF");
    EXPECT_EQ(t7::hexOfBytes(bytes, 0), "");
    EXPECT_EQ(t7::hexOfBytes(QByteArray("\x12\xab", 2)), "12AB");
}
