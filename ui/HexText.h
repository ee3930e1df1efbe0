// Text helpers for hexadecimal layouts (widget-free).
#pragma once

#include <QString>

namespace t7
{

// One blank after every two characters; texts shorter than 3 give "".
QString InsertHexSpaces(const QString &text);

} // namespace t7
