#include "ui/CrLfText.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace t7
{

void showCrLfText(QPlainTextEdit *view, const QString &text, ShowFrom from)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    view->setPlainText(shown);
    if (from == ShowFrom::End) {
        view->moveCursor(QTextCursor::End);
        view->ensureCursorVisible();
    }
}

} // namespace t7
