// hex_a and a_hex on the scripted fake, converting as the reader library
// does: hex_a writes upper-case digits and a terminating zero, a_hex refuses
// (4) a pair that is not two hex digits, leaving the bytes after it alone.
#pragma once

#include "tests/support/FakeReader.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace fake
{

inline void installLibraryHex(FakeReader &reader)
{
    FAKE_ON(reader, hex_a, [](char *text, unsigned char *bytes, int digits) {
        for (int i = 0; i < digits / 2; ++i)
            std::snprintf(text + 2 * i, 3, "%02X", bytes[i]);
        return 0;
    });
    FAKE_ON(reader, a_hex, [](unsigned char *bytes, char *text, int count) {
        const auto digit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
        for (int i = 0; i < count; ++i) {
            // Never reads past the text's zero.
            if (!digit(text[2 * i]) || !digit(text[2 * i + 1]))
                return 4;
            bytes[i] = static_cast<unsigned char>(std::stoi(std::string(text + 2 * i, 2), nullptr, 16));
        }
        return 0;
    });
}

} // namespace fake
