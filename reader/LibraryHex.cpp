#include "reader/LibraryHex.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace t7
{

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
