// The reader library's two hex conversions, scripted on the fake reader so
// panel tests see real bytes go round.
#pragma once

#include "tests/support/FakeReader.h"

#include <cstdio>

namespace fake
{

inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// hex_a writes lower-case digits; a_hex refuses (1) anything but hex digits.
inline void scriptHexConversions(FakeReader &reader)
{
    FAKE_ON(reader, hex_a, [](char *text, unsigned char *bytes, int digits) {
        for (int i = 0; i < digits / 2; ++i)
            std::snprintf(text + 2 * i, 3, "%02x", bytes[i]);
        return 0;
    });
    FAKE_ON(reader, a_hex, [](unsigned char *bytes, char *text, int count) {
        for (int i = 0; i < count; ++i) {
            const int high = hexValue(text[2 * i]);
            const int low = hexValue(text[2 * i + 1]);
            if (high < 0 || low < 0)
                return 1;
            bytes[i] = static_cast<unsigned char>(high * 16 + low);
        }
        return 0;
    });
}

} // namespace fake
