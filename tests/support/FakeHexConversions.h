// hex_a and a_hex on the scripted reader, converting as a real reader
// library does (a_hex fails on a pair that is not two hexadecimal digits).
#pragma once

#include "tests/support/FakeReader.h"

#include <cstdio>

namespace fake
{

inline void installHexConversions(FakeReader &fake)
{
    FAKE_ON(fake, hex_a, [](char *text, unsigned char *bytes, int digits) {
        for (int i = 0; i < digits / 2; ++i)
            std::snprintf(text + 2 * i, 3, "%02X", bytes[i]);
        return 0;
    });
    FAKE_ON(fake, a_hex, [](unsigned char *bytes, char *text, int count) {
        for (int i = 0; i < count; ++i) {
            unsigned int value = 0;
            if (std::sscanf(text + 2 * i, "%2x", &value) != 1)
                return 1;
            bytes[i] = static_cast<unsigned char>(value);
        }
        return 0;
    });
}

} // namespace fake
