#include "panels/contact/MemoryLinesView.h"

#include "panels/contact/ContactCards.h"
#include "reader/HexText.h"
#include "reader/LibraryHex.h"
#include "ui/HexEdits.h"
#include "ui/InPlaceLineEditor.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStyle>

namespace
{

// "XX " for every byte, the widest a line gets.
constexpr int kLineCharacters = 3 * t7::contact::kLineBytes;

} // namespace

MemoryLinesView::MemoryLinesView(const QStringList &rowLabels, int firstEditableRow, QWidget *parent)
    : QWidget(parent), firstEditableRow_(firstEditableRow)
{
    setObjectName(QStringLiteral("memoryLines"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFontMetrics metrics(fixed);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("dataList"));
    list_->setAccessibleName(QStringLiteral("Memory lines"));
    list_->setFont(fixed);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = list_->frameWidth();
    list_->setFixedSize(metrics.horizontalAdvance(QString(kLineCharacters + 1, QLatin1Char('0'))) + 2 * frame + 8,
                        metrics.lineSpacing() * t7::contact::kLines + 2 * frame + 2);

    header_ = new QLabel(t7::contact::lineNumbers().join(QLatin1Char(' ')), this);
    header_->setObjectName(QStringLiteral("columnHeader"));
    header_->setFont(fixed);
    // Over the digits of the lines, past the list's frame and item margin.
    header_->setContentsMargins(frame + list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1,
                                0, 0, 0);

    rowLabels_ = new QLabel(rowLabels.join(QLatin1Char('\n')), this);
    rowLabels_->setObjectName(QStringLiteral("rowLabels"));
    rowLabels_->setFont(fixed);
    rowLabels_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // Level with the first line inside the list's frame.
    rowLabels_->setContentsMargins(0, frame, 0, 0);
    rowLabels_->setFixedHeight(list_->height());

    edit_ = new CHexEdit(this);
    edit_->setObjectName(QStringLiteral("lineEditor"));
    edit_->setAccessibleName(QStringLiteral("Line data"));
    edit_->setFont(fixed);
    edit_->setMaxLength(kLineCharacters);
    editor_ = new t7::InPlaceLineEditor(list_, edit_, this);
    editor_->setUpperCase(true);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);
    grid->addWidget(header_, 0, 1);
    grid->addWidget(rowLabels_, 1, 0, Qt::AlignTop);
    grid->addWidget(list_, 1, 1, Qt::AlignTop);

    connect(list_, &QListWidget::itemSelectionChanged, this, &MemoryLinesView::commitEdit);
    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);
}

void MemoryLinesView::setLines(const QStringList &lines)
{
    list_->clear();
    const int height = QFontMetrics(list_->font()).lineSpacing();
    for (const QString &text : lines)
        (new QListWidgetItem(text, list_))->setSizeHint(QSize(list_->viewport()->width(), height));
}

QStringList MemoryLinesView::lines() const
{
    QStringList texts;
    for (int i = 0; i < list_->count(); ++i)
        texts << list_->item(i)->text();
    return texts;
}

QString MemoryLinesView::line(int row) const
{
    const QListWidgetItem *item = list_->item(row);
    return item ? item->text() : QString();
}

void MemoryLinesView::setLine(int row, const QString &text)
{
    if (QListWidgetItem *item = list_->item(row))
        item->setText(text);
}

int MemoryLinesView::selectedRow() const
{
    const QList<QListWidgetItem *> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void MemoryLinesView::selectRow(int row)
{
    list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void MemoryLinesView::openEditor(int row)
{
    editor_->setEditedRow(row);
    if (row >= firstEditableRow_)
        editor_->open(row);
}

void MemoryLinesView::commitEdit()
{
    if (editor_->editedRow() >= firstEditableRow_ && selectedRow() >= 0)
        editor_->takeOverNow();
}

std::vector<int> MemoryLinesView::readLines(int firstAddress, const Transfer &read, const qvd::Entry<PFN_hex_a> &hex_a)
{
    std::vector<int> failed;
    for (int row = 0; row < list_->count(); ++row) {
        unsigned char bytes[t7::contact::kLineBytes] = {};
        if (!read(firstAddress + t7::contact::kLineBytes * row, bytes)) {
            failed.push_back(row);
            continue;
        }
        setLine(row, t7::InsertHexSpaces(t7::libraryHexText(hex_a, bytes, t7::contact::kLineBytes)).toUpper());
    }
    return failed;
}

bool MemoryLinesView::holdsWholeLines(int fromRow)
{
    if (list_->count() != t7::contact::kLines)
        return false;
    for (int row = fromRow; row < list_->count(); ++row) {
        if (!t7::contact::isMemoryLine(line(row))) {
            selectRow(row);
            return false;
        }
    }
    return true;
}

std::vector<int> MemoryLinesView::writeLines(int firstAddress, const Transfer &write,
                                             const qvd::Entry<PFN_a_hex> &a_hex)
{
    std::vector<int> failed;
    for (int row = 0; row < list_->count(); ++row) {
        auto bytes = t7::libraryHexBytes(a_hex, t7::contact::lineDigits(line(row)), t7::contact::kLineBytes);
        if (!bytes || !write(firstAddress + t7::contact::kLineBytes * row, bytes->data()))
            failed.push_back(row);
    }
    return failed;
}

bool MemoryLinesView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        openEditor(selectedRow());
        return true;
    }
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // The keyboard way to open the editor.
        if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            openEditor(selectedRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
