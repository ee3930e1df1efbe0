#include "sim/core/Hex.h"

#include "dump/Hex.h"

namespace sim
{

int hexDigitValue(char c)
{
    return dump::hexDigitValue(c);
}

int hexToBytes(const char *text, unsigned char *bytes, int count)
{
    for (int i = 0; i < count; ++i) {
        const int high = hexDigitValue(text[2 * i]);
        if (high < 0)
            return i;
        const int low = hexDigitValue(text[2 * i + 1]);
        if (low < 0)
            return i;
        bytes[i] = static_cast<unsigned char>(high << 4 | low);
    }
    return count;
}

void bytesToHex(const unsigned char *bytes, int digits, char *text)
{
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < digits; ++i) {
        const unsigned char b = bytes[i / 2];
        text[i] = kDigits[i % 2 == 0 ? b >> 4 : b & 0x0F];
    }
    text[digits < 0 ? 0 : digits] = '\0';
}

std::string toHex(const std::vector<uint8_t> &bytes)
{
    std::string text(bytes.size() * 2, '\0');
    bytesToHex(bytes.data(), static_cast<int>(text.size()), text.data());
    return text;
}

std::optional<std::vector<uint8_t>> fromHex(const std::string &text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<uint8_t> bytes(text.size() / 2);
    const int n = static_cast<int>(bytes.size());
    if (hexToBytes(text.c_str(), bytes.data(), n) != n)
        return std::nullopt;
    return bytes;
}

} // namespace sim
