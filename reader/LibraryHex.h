// Hex text made by the reader library's own hex_a, the way the panels show
// card answers.
#pragma once

#include "reader/QvdLibrary.h"

#include <QString>

namespace t7
{

// The count bytes as hex_a writes them (2 * count digits). The text buffer is
// sized to the answer, never less than the 512 characters the panels always
// gave it, so no answer can run past it.
QString libraryHexText(const qvd::Entry<PFN_hex_a> &hex_a, const unsigned char *bytes, int count);

} // namespace t7
