#include "HexText.h"

namespace t7
{

QString InsertHexSpaces(const QString &text)
{
    const int n = int(text.size());
    if (n < 3)
        return QString();
    QString result = text;
    const int blanks = (n + 1) / 2 - 1;
    for (int i = 0, at = 2; i < blanks; ++i, at += 3)
        result.insert(at, QLatin1Char(' '));
    return result;
}

} // namespace t7
