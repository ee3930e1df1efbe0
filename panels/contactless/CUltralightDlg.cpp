#include "panels/contactless/CUltralightDlg.h"

#include "reader/ConnectionState.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace
{

// Where the grid lies in the dialog.
constexpr int kGridLeft = 12;
constexpr int kGridTop = 12;
constexpr int kLabelLeft = kGridLeft + 8;
constexpr int kHeaderTop = kGridTop + 6;
constexpr int kCellsLeft = kGridLeft + 52;
constexpr int kCellsTop = kGridTop + 34;
constexpr int kColumnPitch = CUltralightDlg::kCellSize + 8;
constexpr int kCellsWidth = 3 * kColumnPitch + CUltralightDlg::kCellSize;
constexpr int kCellsHeight = CUltralightDlg::kPages * CUltralightDlg::kRowHeight;
constexpr int kGridWidth = kCellsLeft - kGridLeft + kCellsWidth + 16;
constexpr int kGridHeight = kCellsTop - kGridTop + kCellsHeight + 16;
constexpr int kFirstWrittenPage = 3;
constexpr int kLastPage = CUltralightDlg::kPages - 1;

const QColor kLightGrey(220, 220, 220);
const QColor kBrown(165, 42, 42);
const QColor kCornflowerBlue(100, 149, 237);
const QColor kDimGrey(105, 105, 105);
const QColor kHeaderBlue(0, 0, 255);

int deviceHandle()
{
    return t7::connection().deviceHandle;
}

QFont gridFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    return font;
}

QString readFailure(int page, int result)
{
    return QStringLiteral("Read") + QString::asprintf("%d", page) + QStringLiteral("page failed!") +
           QStringLiteral(",") + QStringLiteral("Reason") + QStringLiteral(":") + QString::asprintf("%d", result);
}

} // namespace

CUltralightDlg::CUltralightDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    layOutCells();
    connect(find_, &QPushButton::clicked, this, &CUltralightDlg::onFindCard);
    connect(read_, &QPushButton::clicked, this, &CUltralightDlg::onReadCard);
    connect(write_, &QPushButton::clicked, this, &CUltralightDlg::onWriteCard);
    connect(halt_, &QPushButton::clicked, this, &CUltralightDlg::onHalt);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
    // The grid takes its keys before any control of the dialog sees them.
    qApp->installEventFilter(this);
}

void CUltralightDlg::buildLayout()
{
    setObjectName(QStringLiteral("CUltralightDlg"));
    setWindowTitle(QStringLiteral("Ultralight CARD"));
    setAccessibleDescription(QStringLiteral("Pages 0 to 15, four bytes each; double-click a byte to edit it"));

    find_ = t7::makeNamedButton(QStringLiteral("Find Card(&S)"), "findCard", this);
    read_ = t7::makeNamedButton(QStringLiteral("Read Card(&R)"), "readCard", this);
    write_ = t7::makeNamedButton(QStringLiteral("Write Card(&W)"), "writeCard", this);
    halt_ = t7::makeNamedButton(QStringLiteral("HALT(H)"), "halt", this);
    exit_ = t7::makeNamedButton(QStringLiteral("Exit(&E)"), "exit", this);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setAccessibleName(QStringLiteral("Status"));
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setMinimumSize(status_->fontMetrics().horizontalAdvance(QStringLiteral("4-16 page-data write success!")) +
                                8,
                            status_->fontMetrics().lineSpacing() * 3);

    auto *column = new QVBoxLayout;
    for (QPushButton *button : {find_, read_, write_, halt_})
        column->addWidget(button);
    column->addSpacing(12);
    column->addWidget(status_);
    column->addStretch();
    column->addWidget(exit_);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(kGridLeft + kGridWidth + 16, kGridTop, 12, 12);
    layout->addLayout(column);
    setMinimumHeight(kGridTop + kGridHeight + 12);
}

void CUltralightDlg::layOutCells()
{
    for (int page = 0; page < kPages; ++page)
        for (int byte = 0; byte < kBytesPerPage; ++byte)
            cells_[static_cast<size_t>(page * kBytesPerPage + byte)] =
                QRect(kCellsLeft + byte * kColumnPitch, kCellsTop + page * kRowHeight, kCellSize, kCellSize);
}

void CUltralightDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        readPages();
    }
}

void CUltralightDlg::setPageByte(int page, int byte, uint8_t value)
{
    image_[static_cast<size_t>(page * kBytesPerPage + byte)] = value;
    update();
}

QString CUltralightDlg::statusText() const
{
    return status_->text();
}

void CUltralightDlg::setStatus(const QString &text)
{
    status_->setText(text);
}

bool CUltralightDlg::isEditable(int page, int byte)
{
    return (page == 2 && byte >= 2) ||
           (page >= kFirstWrittenPage && page <= kLastPage && byte >= 0 && byte < kBytesPerPage);
}

// ---- card operations ----

void CUltralightDlg::onFindCard()
{
    setStatus(QString());
    if (rz_request_ultralt(deviceHandle(), 1) != 0) {
        setStatus(QStringLiteral("Find card error\nReason: request error"));
        return;
    }
    unsigned int number = 0;
    if (rz_anticall_ultralt(deviceHandle(), &number) != 0) {
        setStatus(QStringLiteral("Find card error\nReason: anticall error"));
        return;
    }
    if (rz_select_ultralt(deviceHandle(), number) != 0) {
        setStatus(QStringLiteral("Find card error\nReason: select error"));
        return;
    }
    setStatus(QStringLiteral("Card number:") + QString::asprintf("\n%u", number));
}

void CUltralightDlg::onReadCard()
{
    readPages();
    repaint();
}

void CUltralightDlg::onWriteCard()
{
    setStatus(QString());
    for (int page = kFirstWrittenPage; page <= kLastPage; ++page) {
        unsigned char data[kBytesPerPage + 1] = {};
        for (int byte = 0; byte < kBytesPerPage; ++byte)
            data[byte] = pageByte(page, byte);
        if (rz_write_ultralt(deviceHandle(), static_cast<unsigned char>(page), data) != 0) {
            setStatus(QStringLiteral("Write") + QStringLiteral(" card ") + QStringLiteral(" failed!"));
            return;
        }
    }
    setStatus(QStringLiteral("4-16 page-data write success!"));
}

void CUltralightDlg::onHalt()
{
    setStatus(rz_halt_ultralt(deviceHandle()) == 0 ? QStringLiteral("Halt OK!") : QStringLiteral("Halt Error!"));
}

bool CUltralightDlg::selectCard()
{
    unsigned int number = 0;
    rz_request_ultralt(deviceHandle(), 1);
    rz_anticall_ultralt(deviceHandle(), &number);
    return rz_select_ultralt(deviceHandle(), number) == 0;
}

void CUltralightDlg::readPages()
{
    if (!selectCard()) {
        t7::appBox(QStringLiteral("No card now!"));
        return;
    }
    for (int page = 0; page < kPages; ++page) {
        unsigned char buffer[8] = {};
        const int result = rz_read_ultralt(deviceHandle(), static_cast<unsigned char>(page), buffer);
        if (result != 0) {
            t7::appBox(readFailure(page, result));
            return;
        }
        std::copy(buffer, buffer + kBytesPerPage, image_.begin() + page * kBytesPerPage);
    }
}

// ---- editing ----

QRect CUltralightDlg::caretRect() const
{
    if (page_ < 0)
        return QRect();
    const QRect cell = cellRect(page_, byte_);
    const int left = cell.left() + (lowNibble_ ? kNibbleOffset : 0);
    return QRect(left, cell.top() + (kCellSize - kCaretHeight) / 2, kCaretWidth, kCaretHeight);
}

void CUltralightDlg::placeCaret()
{
    caretShown_ = isEditable(page_, byte_);
    update();
}

void CUltralightDlg::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    for (int page = 0; page < kPages; ++page)
        for (int byte = 0; byte < kBytesPerPage; ++byte)
            if (cellRect(page, byte).contains(point)) {
                page_ = page;
                byte_ = byte;
                lowNibble_ = false;
                placeCaret();
                return;
            }
    QDialog::mouseDoubleClickEvent(event);
}

bool CUltralightDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    return takeGridKey(key->key(), key->modifiers());
}

bool CUltralightDlg::takeGridKey(int key, Qt::KeyboardModifiers modifiers)
{
    // Alt and Ctrl combinations stay the controls' (mnemonics, shortcuts).
    if (modifiers & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const bool haveCell = page_ >= 0;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        caretShown_ = false;
        update();
        return true;
    case Qt::Key_Left:
        if (haveCell)
            moveLeft();
        return true;
    case Qt::Key_Right:
        if (haveCell)
            moveRight();
        return true;
    case Qt::Key_Up:
        if (haveCell)
            moveUp();
        return true;
    case Qt::Key_Down:
        if (haveCell)
            moveDown();
        return true;
    default:
        break;
    }
    char digit = 0;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        digit = static_cast<char>('0' + (key - Qt::Key_0));
    else if (key >= Qt::Key_A && key <= Qt::Key_F)
        digit = static_cast<char>('A' + (key - Qt::Key_A));
    else
        return false;
    if (haveCell)
        typeDigit(digit);
    return true;
}

void CUltralightDlg::moveLeft()
{
    if (lowNibble_) {
        lowNibble_ = false;
    } else if ((byte_ > 0 && page_ > 2) || (page_ == 2 && byte_ == 3)) {
        --byte_;
        lowNibble_ = true;
    } else {
        return;
    }
    placeCaret();
}

void CUltralightDlg::moveRight()
{
    if (!lowNibble_) {
        lowNibble_ = true;
    } else if (byte_ < kBytesPerPage - 1) {
        ++byte_;
        lowNibble_ = false;
    } else {
        return;
    }
    placeCaret();
}

void CUltralightDlg::moveUp()
{
    if (page_ > 3 || (page_ == 3 && byte_ >= 2)) {
        --page_;
        placeCaret();
    }
}

void CUltralightDlg::moveDown()
{
    if (page_ < kLastPage) {
        ++page_;
        placeCaret();
    }
}

void CUltralightDlg::typeDigit(char digit)
{
    caretShown_ = false;
    char digits[3] = {};
    unsigned char byte = pageByte(page_, byte_);
    hex_a(digits, &byte, 2);
    digits[lowNibble_ ? 1 : 0] = digit;
    char *end = nullptr;
    const long value = std::strtol(digits, &end, 16);
    if (end == digits + 2)
        setPageByte(page_, byte_, static_cast<uint8_t>(value));
    placeCaret();
}

// ---- painting ----

void CUltralightDlg::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    layOutCells();
    paintFrames(painter);
    painter.setFont(gridFont());
    paintLabels(painter);
    paintCells(painter);
    paintCaret(painter);
}

void CUltralightDlg::paintFrames(QPainter &painter) const
{
    const QRect outer(kGridLeft, kGridTop, kGridWidth, kGridHeight);
    const QRect brown(kCellsLeft - 8, kCellsTop - 6, kCellsWidth + 16, kCellsHeight + 12);
    painter.fillRect(outer, kLightGrey);
    painter.fillRect(brown, kBrown);
    painter.fillRect(brown.adjusted(3, 3, -3, -3), kCornflowerBlue);
}

void CUltralightDlg::paintLabels(QPainter &painter) const
{
    painter.setPen(Qt::black);
    for (int page = 0; page < kPages; ++page) {
        const QRect row(kLabelLeft, kCellsTop + page * kRowHeight, kCellsLeft - 8 - kLabelLeft, kRowHeight);
        painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pg") + QString::number(page));
    }
    painter.setPen(kHeaderBlue);
    for (int byte = 0; byte < kBytesPerPage; ++byte) {
        const QRect header(kCellsLeft + byte * kColumnPitch, kHeaderTop, kColumnPitch, kRowHeight);
        painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("B%1").arg(byte));
    }
}

void CUltralightDlg::paintCells(QPainter &painter) const
{
    for (int page = 0; page < kPages; ++page) {
        painter.setPen(page < 2 ? kDimGrey : QColor(Qt::black));
        for (int byte = 0; byte < kBytesPerPage; ++byte) {
            const QRect cell = cellRect(page, byte);
            const QString digits = QString::asprintf("%02x", pageByte(page, byte)).toUpper();
            // One digit per nibble position, so the caret covers its digit.
            for (int nibble = 0; nibble < 2; ++nibble)
                painter.drawText(QRect(cell.left() + nibble * kNibbleOffset, cell.top(), kNibbleOffset, kCellSize),
                                 Qt::AlignCenter, digits.mid(nibble, 1));
        }
    }
}

void CUltralightDlg::paintCaret(QPainter &painter) const
{
    if (!caretShown_)
        return;
    // Inverts what lies under it, as a text caret does.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(caretRect(), Qt::white);
}
