// Hex text for readable byte tables in the PC/SC tests.
#pragma once

#include "pcsc/core/Bytes.h"

#include <string>

namespace pcsctest
{

// "FF CA 00 00 00" (blanks ignored) -> bytes.
inline pcsc::Bytes bytes(const std::string &hex)
{
    pcsc::Bytes out;
    std::string digits;
    for (char c : hex)
        if (c != ' ')
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

inline std::string hex(const pcsc::Bytes &data)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < data.size(); ++i) {
        if (i)
            out += ' ';
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 15];
    }
    return out;
}

} // namespace pcsctest
