// Where a list's line lies in another widget's coordinates, for tests of the
// editor that opens over a line.
#pragma once

#include <QListWidget>
#include <QRect>

namespace fake
{

inline QRect lineRectIn(const QWidget *host, const QListWidget *list, int row)
{
    const QRect line = list->visualItemRect(list->item(row)) & list->viewport()->rect();
    return QRect(list->viewport()->mapTo(host, line.topLeft()), line.size());
}

} // namespace fake
