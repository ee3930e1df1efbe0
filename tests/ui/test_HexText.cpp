#include "HexText.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

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
