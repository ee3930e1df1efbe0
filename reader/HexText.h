// Text helpers for hexadecimal layouts and operator-typed bytes (widget-free).
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace t7
{

// One blank after every two characters; texts shorter than 3 give "".
QString InsertHexSpaces(const QString &text);

// The bytes of a text made only of hexadecimal digit pairs (either case; no
// blanks, signs or prefixes). Nothing for an odd count or any other character.
std::optional<QByteArray> parseHexBytes(const QString &text);

// True when text is exactly 2 * byteCount hexadecimal digits.
bool isHexOfLength(const QString &text, int byteCount);

// Two upper-case digits per byte.
QString hexOfBytes(const unsigned char *bytes, int count);
QString hexOfBytes(const QByteArray &bytes);

} // namespace t7
