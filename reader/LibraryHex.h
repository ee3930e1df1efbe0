// The reader library's own hex conversions (a_hex, hex_a) with buffers sized
// to the data and their results checked, so that no text ever converts into
// bytes it does not hold and no answer runs past its text.
#pragma once

#include "reader/QvdLibrary.h"

#include <QString>

#include <optional>
#include <vector>

namespace t7
{

// count bytes from text through a_hex, when text is exactly 2 * count
// hexadecimal digits and a_hex succeeds; nothing otherwise.
std::optional<std::vector<unsigned char>> libraryHexBytes(const qvd::Entry<PFN_a_hex> &a_hex, const QString &text,
                                                          int count);

// The count bytes as hex_a writes them (2 * count digits). The text buffer is
// sized to the answer, never less than the 512 characters the panels always
// gave it, so no answer can run past it.
QString libraryHexText(const qvd::Entry<PFN_hex_a> &hex_a, const unsigned char *bytes, int count);

} // namespace t7
