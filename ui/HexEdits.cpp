#include "ui/HexEdits.h"

#include "ui/MessageSeam.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <memory>

namespace t7
{
bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}
} // namespace t7

namespace
{

void setRedOnWhite(QLineEdit *edit)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, QColor(255, 0, 0));
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    edit->setPalette(palette);
}

// The text a key would insert; control characters (Ctrl+letter) insert none.
QString insertedText(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return QString();
    return text;
}

bool isSelectionPaste(const QMouseEvent *event)
{
    return event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection();
}

bool changesLayout(const QKeyEvent *event)
{
    static const QKeySequence::StandardKey kKeys[] = {
        QKeySequence::Paste,
        QKeySequence::Cut,
        QKeySequence::Delete,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteCompleteLine,
        QKeySequence::Backspace,
    };
    for (const QKeySequence::StandardKey key : kKeys)
        if (event->matches(key))
            return true;
    return event->key() == Qt::Key_Delete;
}

} // namespace

CFilteredEdit::CFilteredEdit(Accepts accepts, QWidget *parent) : QLineEdit(parent), accepts_(std::move(accepts)) {}

QString CFilteredEdit::filtered(const QString &text) const
{
    QString kept;
    for (const QChar c : text)
        if (accepts_(c))
            kept.append(c);
    return kept;
}

void CFilteredEdit::insertFiltered(const QString &text)
{
    if (isReadOnly())
        return;
    const QString kept = filtered(text);
    if (!kept.isEmpty())
        insert(kept);
}

void CFilteredEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        insertFiltered(QApplication::clipboard()->text());
        event->accept();
        return;
    }
    // Whatever the modifiers: Alt+G would otherwise still type a 'g'.
    const QString text = insertedText(event);
    if (!text.isEmpty() && filtered(text) != text) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CFilteredEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (filtered(commit) == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent kept(event->preeditString(), event->attributes());
    kept.setCommitString(filtered(commit), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&kept);
}

void CFilteredEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (isSelectionPaste(event)) {
        insertFiltered(QApplication::clipboard()->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CFilteredEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The standard menu pastes unfiltered; route its Paste through the filter.
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            disconnect(action, nullptr, this, nullptr);
            connect(action, &QAction::triggered, this, [this] { insertFiltered(QApplication::clipboard()->text()); });
        }
    }
    menu->exec(event->globalPos());
}

void CFilteredEdit::dropEvent(QDropEvent *event)
{
    if (!isReadOnly() && event->mimeData()->hasText()) {
        insertFiltered(event->mimeData()->text());
        event->acceptProposedAction();
        return;
    }
    event->ignore();
}

CDecEdit::CDecEdit(QWidget *parent)
    : CFilteredEdit([](QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }, parent)
{
}

CHexEdit::CHexEdit(QWidget *parent) : CFilteredEdit([](QChar c) { return t7::isHexDigit(c) || c == ' '; }, parent) {}

CHexKeyEdit::CHexKeyEdit(QWidget *parent) : CFilteredEdit(&t7::isHexDigit, parent)
{
    setRedOnWhite(this);
}

void CHexKeyEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Opening the field's own menu or leaving the window does not leave the field.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (text().size() >= kMinimumLength)
        valid_ = 1;
    else
        t7::appBox(QStringLiteral("Length of chars inserted not enough!"));
}

CHexOverwriteEdit::CHexOverwriteEdit(QWidget *parent) : QLineEdit(parent)
{
    setRedOnWhite(this);
    setDragEnabled(false);
}

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
    if (changesLayout(event)) {
        event->accept();
        return;
    }
    const QString text = insertedText(event);
    if (!text.isEmpty()) {
        for (const QChar c : text)
            typeCharacter(c);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CHexOverwriteEdit::inputMethodEvent(QInputMethodEvent *event)
{
    for (const QChar c : event->commitString())
        typeCharacter(c);
    event->accept();
}

void CHexOverwriteEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (isSelectionPaste(event)) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CHexOverwriteEdit::contextMenuEvent(QContextMenuEvent *event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction *action : menu->actions()) {
        const QString name = action->objectName();
        if (name == QLatin1String("edit-paste") || name == QLatin1String("edit-cut") ||
            name == QLatin1String("edit-delete"))
            action->setEnabled(false);
    }
    menu->exec(event->globalPos());
}

void CHexOverwriteEdit::dropEvent(QDropEvent *event)
{
    event->ignore();
}
