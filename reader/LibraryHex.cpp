#include "reader/LibraryHex.h"

#include "reader/HexText.h"

#include <algorithm>
#include <cstring>

namespace t7
{

std::optional<std::vector<unsigned char>> libraryHexBytes(const qvd::Entry<PFN_a_hex> &a_hex, const QString &text,
                                                          int count)
{
    if (!isHexOfLength(text, count))
        return std::nullopt;
    QByteArray digits = text.toLatin1();
    // Never an empty buffer: the library gets a pointer it may write through.
    std::vector<unsigned char> bytes(static_cast<size_t>(count > 0 ? count : 1), 0);
    if ((a_hex(bytes.data(), digits.data(), count) & 0xFFFF) != 0)
        return std::nullopt;
    bytes.resize(static_cast<size_t>(count));
    return bytes;
}

QString libraryHexText(const qvd::Entry<PFN_hex_a> &hex_a, const unsigned char *bytes, int count)
{
    constexpr std::size_t kUsualText = 512;
    const int digits = 2 * std::max(count, 0);
    std::vector<char> text(std::max<std::size_t>(kUsualText, static_cast<std::size_t>(digits) + 1), '\0');
    // hex_a takes a writable byte pointer but only reads it.
    hex_a(text.data(), const_cast<unsigned char *>(bytes), digits);
    return QString::fromLatin1(text.data(),
                               static_cast<qsizetype>(strnlen(text.data(), static_cast<std::size_t>(digits))));
}

} // namespace t7
