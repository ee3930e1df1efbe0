#include "pcsc/core/Hex.h"

namespace pcsc
{
namespace
{

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int hexToBytes(const char *text, unsigned char *bytes, int count)
{
    for (int i = 0; i < count; ++i) {
        // The high digit is checked first, so a terminating zero there ends
        // the text before its low digit would be read.
        const int high = digitValue(text[2 * i]);
        if (high < 0)
            return i;
        const int low = digitValue(text[2 * i + 1]);
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

} // namespace pcsc
