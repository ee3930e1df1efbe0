#include "HexEdits.h"

#include "MessageSeam.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace t7 {
bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}
} // namespace t7

namespace {

void setRedOnWhite(QLineEdit *edit)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, QColor(255, 0, 0));
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    edit->setPalette(palette);
}

bool isTypedCharacter(const QKeyEvent *event)
{
    const QString text = event->text();
    return text.size() == 1 && text.at(0).isPrint() &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

CFilteredEdit::CFilteredEdit(Accepts accepts, QWidget *parent) : QLineEdit(parent), accepts_(std::move(accepts)) {}

void CFilteredEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            insertFiltered(QApplication::clipboard()->text());
        event->accept();
        return;
    }
    if (isTypedCharacter(event) && !accepts_(event->text().at(0))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CFilteredEdit::insertFiltered(const QString &text)
{
    QString kept;
    for (const QChar c : text)
        if (accepts_(c))
            kept.append(c);
    if (!kept.isEmpty())
        insert(kept);
}

void CFilteredEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The standard menu pastes unfiltered; route its Paste through the filter.
    QMenu *menu = createStandardContextMenu();
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            disconnect(action, nullptr, this, nullptr);
            connect(action, &QAction::triggered, this,
                    [this] { insertFiltered(QApplication::clipboard()->text()); });
        }
    }
    menu->exec(event->globalPos());
    delete menu;
}

void CFilteredEdit::dropEvent(QDropEvent *event)
{
    if (!isReadOnly() && event->mimeData()->hasText()) {
        insertFiltered(event->mimeData()->text());
        event->acceptProposedAction();
    }
}

CDecEdit::CDecEdit(QWidget *parent)
    : CFilteredEdit([](QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }, parent)
{
}

CHexEdit::CHexEdit(QWidget *parent) : CFilteredEdit([](QChar c) { return t7::isHexDigit(c) || c == ' '; }, parent)
{
}

CHexKeyEdit::CHexKeyEdit(QWidget *parent) : CFilteredEdit(&t7::isHexDigit, parent) { setRedOnWhite(this); }

void CHexKeyEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (text().size() >= 32)
        valid_ = 1;
    else
        t7::appBox(QStringLiteral("Length of chars inserted not enough!"));
}

CHexOverwriteEdit::CHexOverwriteEdit(QWidget *parent) : QLineEdit(parent) { setRedOnWhite(this); }

void CHexOverwriteEdit::typeCharacter(QChar c)
{
    const bool selected = hasSelectedText();
    const int p = selected ? 0 : cursorPosition();
    const QString current = text();
    const bool backspace = c == QChar('\b');
    if (!selected && p >= current.size()) {
        if (backspace)
            setCursorPosition(p - 1);
        return;
    }
    if (backspace) {
        setCursorPosition(p > 0 ? p - 1 : 0);
        return;
    }
    if (current.at(p) == ' ') {
        setCursorPosition(p + 1);
        return;
    }
    if (!t7::isHexDigit(c))
        return;
    setSelection(p, 1);
    insert(QString(c));
}

void CHexOverwriteEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace) {
        typeCharacter(QChar('\b'));
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) || event->key() == Qt::Key_Delete ||
        event->matches(QKeySequence::Cut)) {
        event->accept(); // the layout never grows or shrinks
        return;
    }
    if (isTypedCharacter(event)) {
        typeCharacter(event->text().at(0));
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
