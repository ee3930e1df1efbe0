#include "reader/LibraryHex.h"

#include "reader/HexText.h"

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
    if (count <= 0)
        return QString();
    const size_t digits = 2 * static_cast<size_t>(count);
    std::vector<char> text(digits + 1, '\0');
    hex_a(text.data(), const_cast<unsigned char *>(bytes), static_cast<int>(digits));
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(strnlen(text.data(), digits)));
}

} // namespace t7
