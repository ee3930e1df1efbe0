#include "panels/contactless/HexLineList.h"

#include "panels/contactless/ContactlessWidgets.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>

HexLineList::HexLineList(int digits, int lines, const QString &lineName, QWidget *parent)
    : QWidget(parent), digits_(digits)
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFontMetrics metrics(fixed);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lines"));
    list_->setFont(fixed);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Room for a spaced line and a little more typed into the editor.
    list_->setFixedSize(metrics.horizontalAdvance(QString(digits * 3 / 2 + 2, QLatin1Char('0'))) + 12,
                        metrics.lineSpacing() * lines + 2 * list_->frameWidth() + 2);
    list_->setAccessibleName(lineName + QStringLiteral("s"));

    labels_ = new QLabel(this);
    labels_->setObjectName(QStringLiteral("labels"));
    labels_->setFont(fixed);
    labels_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    labels_->setContentsMargins(0, list_->frameWidth(), 0, 0);
    labels_->setFixedSize(metrics.horizontalAdvance(QStringLiteral("000")) + 4, list_->height());

    editor_ = t7::contactless::lineField(this, "lineEditor", 3 * digits, lineName + QStringLiteral(" data"), true);
    editor_->setFont(fixed);
    lineEditor_ = new t7::InPlaceLineEditor(list_, editor_, this);
    lineEditor_->setUpperCase(true);
    lineEditor_->setTakeOverOnFocusOut(true);
    lineEditor_->setAcceptor([this](const QString &text) { return accepts(text); });

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(labels_, 0, Qt::AlignTop);
    layout->addWidget(list_, 0, Qt::AlignTop);

    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::itemSelectionChanged, this, &HexLineList::commitEdit);
}

bool HexLineList::accepts(const QString &text)
{
    // An emptied line writes nothing, like the line of a failed read.
    if (text.isEmpty() || !t7::contactless::leadingHexDigits(text, digits_).isEmpty())
        return true;
    const int row = lineEditor_->editedRow();
    lineEditor_->discard();
    emit editRefused(row);
    return false;
}

void HexLineList::setLabels(int first, int count)
{
    QStringList numbers;
    for (int n = first; n < first + count; ++n)
        numbers << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    labels_->setText(numbers.join(QLatin1Char('\n')));
}

void HexLineList::clear()
{
    lineEditor_->discard();
    list_->clear();
}

void HexLineList::addLine(const QString &text)
{
    auto *item = new QListWidgetItem(text, list_);
    item->setSizeHint(QSize(list_->viewport()->width(), QFontMetrics(list_->font()).lineSpacing()));
}

int HexLineList::count() const
{
    return list_->count();
}

QString HexLineList::line(int row) const
{
    const QListWidgetItem *item = list_->item(row);
    return item ? item->text() : QString();
}

int HexLineList::selectedRow() const
{
    const QList<QListWidgetItem *> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void HexLineList::commitEdit()
{
    if (!editor_->isVisible())
        return;
    // Leaving the edit is what hands its text over (or refuses it).
    if (editor_->hasFocus())
        list_->setFocus(Qt::OtherFocusReason);
    if (!editor_->isVisible() || lineEditor_->takeOver())
        return;
    // Never left (its window was not active): judged here instead.
    QListWidgetItem *item = list_->item(lineEditor_->editedRow());
    if (item && accepts(editor_->text()))
        item->setText(editor_->text());
    lineEditor_->discard();
}

void HexLineList::openSelected()
{
    const int row = selectedRow();
    if (row < 0 || (editable_ && !editable_(row)))
        return;
    commitEdit();
    lineEditor_->open(row);
}

bool HexLineList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        openSelected();
        return true;
    }
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            openSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
