// Operator-typed hex text to bytes: the strict parser, the Mifare One key and
// block converter and the blank inserter must take any text without reading
// or writing past their buffers, and agree with each other.
#include "panels/mifare_one/MifareOne.h"
#include "reader/HexText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const auto bytes = t7::parseHexBytes(text)) {
        if (t7::hexOfBytes(*bytes) != text.toUpper())
            std::abort();
        if (!t7::isHexOfLength(text, static_cast<int>(bytes->size())))
            std::abort();
    }
    (void)t7::InsertHexSpaces(text);
    for (const int n : {4, 6, 16}) {
        unsigned char out[16];
        if (t7::mifare::HexTextToBytes(text.left(2 * n), out, n) && t7::isHexOfLength(text.left(2 * n), n) &&
            t7::mifare::BytesToHexText(out, n) != text.left(2 * n).toLower())
            std::abort();
    }
    return 0;
}
