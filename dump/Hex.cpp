#include "dump/Hex.h"

namespace dump
{

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool parseHex(std::string_view text, uint8_t *out, size_t n)
{
    if (text.size() != 2 * n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        const int high = hexDigitValue(text[2 * i]);
        const int low = hexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        out[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return true;
}

std::string hexOf(const uint8_t *bytes, size_t n, bool upperCase)
{
    const char *digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    text.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

int hexToBytes(const char *text, unsigned char *bytes, int count)
{
    for (int i = 0; i < count; ++i) {
        // The high digit is checked first, so a terminating zero there ends
        // the text before its low digit would be read.
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

} // namespace dump
