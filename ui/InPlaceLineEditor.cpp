#include "ui/InPlaceLineEditor.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

namespace t7
{

InPlaceLineEditor::InPlaceLineEditor(QListWidget *list, QLineEdit *edit, QObject *parent)
    : QObject(parent), list_(list), viewport_(list->viewport()), edit_(edit)
{
    // A sibling of the list, not a child of its viewport: assistive technology
    // sees a list's items but never the widgets inside its viewport.
    edit_->setParent(hostOf(list_));
    edit_->setFrame(false);
    edit_->hide();
    edit_->installEventFilter(this);
    list_->installEventFilter(this);
    viewport_->installEventFilter(this);
    connect(edit_, &QLineEdit::textEdited, this, &InPlaceLineEditor::onTextEdited);
    // The line moves when the list scrolls; the edit follows it.
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, &InPlaceLineEditor::placeOverRow);
    connect(list_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &InPlaceLineEditor::placeOverRow);
}

QWidget *InPlaceLineEditor::hostOf(QListWidget *list)
{
    return list->parentWidget() ? list->parentWidget() : list;
}

QRect InPlaceLineEditor::rowRectInHost(int row) const
{
    QListWidgetItem *item = list_->item(row);
    if (!item)
        return {};
    QWidget *viewport = list_->viewport();
    // Only the part of the line the list shows: never over its neighbours.
    const QRect visible = list_->visualItemRect(item) & viewport->rect();
    if (visible.isEmpty())
        return {};
    return QRect(viewport->mapTo(edit_->parentWidget(), visible.topLeft()), visible.size());
}

bool InPlaceLineEditor::open(int row)
{
    QListWidgetItem *item = list_->item(row);
    if (!item)
        return false;
    row_ = row;
    // A mark left from an earlier edit must never carry over to this one.
    pending_ = false;
    edit_->clear();
    placeOverRow();
    edit_->setText(item->text());
    edit_->show();
    edit_->raise();
    edit_->setFocus(Qt::OtherFocusReason);
    return true;
}

bool InPlaceLineEditor::takeOver()
{
    const bool wasPending = pending_;
    pending_ = false;
    if (!wasPending)
        return false;
    QListWidgetItem *item = list_->item(row_);
    if (!item)
        return false;
    const int row = row_;
    const QString text = edit_->text();
    item->setText(text);
    edit_->hide();
    edit_->clear();
    row_ = -1;
    emit tookOver(row, text);
    return true;
}

bool InPlaceLineEditor::takeOverNow()
{
    if (isOpen() && !pending_ && row_ >= 0 && (!acceptor_ || acceptor_(edit_->text())))
        pending_ = true;
    return takeOver();
}

void InPlaceLineEditor::discard()
{
    pending_ = false;
    row_ = -1;
    // Focus leaves while the text is still there, so the edit judges what the
    // operator left, not an emptied field.
    if (edit_->hasFocus())
        list_->setFocus(Qt::OtherFocusReason);
    edit_->hide();
    edit_->clear();
}

void InPlaceLineEditor::cancel()
{
    // Back to the line's own text first: a cancelled edit is never judged.
    if (QListWidgetItem *item = list_->item(row_))
        edit_->setText(item->text());
    discard();
}

void InPlaceLineEditor::hide()
{
    edit_->hide();
}

bool InPlaceLineEditor::isOpen() const
{
    return edit_->isVisible();
}

void InPlaceLineEditor::placeOverRow()
{
    if (list_->item(row_))
        edit_->setGeometry(rowRectInHost(row_));
}

void InPlaceLineEditor::onEditLeft()
{
    if (row_ < 0 || !edit_->isVisible())
        return;
    if (acceptor_ && !acceptor_(edit_->text()))
        return;
    pending_ = true;
    if (takeOverOnFocusOut_)
        takeOver();
}

void InPlaceLineEditor::onTextEdited(const QString &text)
{
    if (!upperCase_ || text == text.toUpper())
        return;
    const int cursor = edit_->cursorPosition();
    edit_->setText(text.toUpper());
    edit_->setCursorPosition(cursor);
}

bool InPlaceLineEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edit_) {
        if (event->type() == QEvent::FocusOut) {
            onEditLeft();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Leaving the edit is what hands its text over.
                list_->setFocus(Qt::OtherFocusReason);
                return true;
            }
            if (key == Qt::Key_Escape) {
                cancel();
                return true;
            }
        }
    } else if ((watched == list_ || watched == viewport_) && isOpen() &&
               (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        placeOverRow();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace t7
