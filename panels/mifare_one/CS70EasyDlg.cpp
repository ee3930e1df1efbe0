#include "panels/mifare_one/CS70EasyDlg.h"

#include "panels/mifare_one/DumpTransfer.h"
#include "panels/mifare_one/KeyChoice.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "ui/ColoredControls.h"
#include "ui/HexEdits.h"
#include "ui/MessageSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cstring>
#include <tuple>

using t7::mifare::deviceHandle;
namespace
{

constexpr int kBlockDigits = 32;
constexpr int kSectorCount = 40;
constexpr int kFirstS70Sector = 32;
constexpr int kMaxLines = 16;

QString joinedBlockNumbers(int firstBlock, int count, int width)
{
    QStringList numbers;
    for (int block = firstBlock; block < firstBlock + count; ++block)
        numbers << QStringLiteral("%1").arg(block, width, 10, QLatin1Char('0'));
    return numbers.join(QLatin1Char('\n'));
}

} // namespace

const QString CS70EasyDlg::kUnreadBlock = QString(kBlockDigits, QLatin1Char('?'));

CS70EasyDlg::CS70EasyDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    bindFields();
    connectSignals();
    keyA_->setChecked(true);
}

void CS70EasyDlg::buildLayout()
{
    setObjectName(QStringLiteral("CS70EasyDlg"));
    setWindowTitle(QStringLiteral("S70 easy operate"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFontMetrics metrics(fixed);

    keySetBox_ = t7::mifare::makeKeySetSelector(this);
    auto *keySetLabel = new QLabel(QStringLiteral("Key Serial:"), this);
    keySetLabel->setObjectName(QStringLiteral("keySetLabel"));
    keySetLabel->setBuddy(keySetBox_);
    std::tie(keyA_, keyB_) = t7::mifare::makeKeyTypeButtons(this);

    sectorBox_ = new QComboBox(this);
    sectorBox_->setObjectName(QStringLiteral("sector"));
    for (int s = 0; s < kSectorCount; ++s)
        sectorBox_->addItem(QStringLiteral("%1扇区").arg(s));
    sectorBox_->setMaxVisibleItems(20);
    auto *sectorLabel = new QLabel(QStringLiteral("Sector:"), this);
    sectorLabel->setObjectName(QStringLiteral("sectorLabel"));
    sectorLabel->setBuddy(sectorBox_);

    auto *choices = new QGridLayout;
    choices->addWidget(keySetLabel, 0, 0);
    choices->addWidget(keySetBox_, 0, 1);
    choices->addWidget(keyA_, 0, 2);
    choices->addWidget(keyB_, 0, 3);
    choices->addWidget(sectorLabel, 1, 0);
    choices->addWidget(sectorBox_, 1, 1);
    choices->setColumnStretch(4, 1);

    const int rowHeight = metrics.lineSpacing();
    lines_ = new CBlueListBox(this);
    lines_->setObjectName(QStringLiteral("lines"));
    lines_->setFont(fixed);
    lines_->setSelectionMode(QAbstractItemView::SingleSelection);
    lines_->setUniformItemSizes(true);
    lines_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lines_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lines_->setFixedSize(metrics.horizontalAdvance(QString(kBlockDigits + 2, QLatin1Char('0'))) + 8,
                         rowHeight * kMaxLines + 2 * lines_->frameWidth() + 2);
    lines_->setAccessibleName(QStringLiteral("Blocks"));

    blockLabels_ = new QLabel(this);
    blockLabels_->setObjectName(QStringLiteral("blockLabels"));
    blockLabels_->setFont(fixed);
    blockLabels_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // Level with the first line inside the list's frame.
    blockLabels_->setContentsMargins(0, lines_->frameWidth(), 0, 0);
    blockLabels_->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("000")) + 4);
    // Room for all sixteen numbers from the start, so nothing waits on a relayout.
    blockLabels_->setFixedHeight(lines_->height());
    blockLabels_->setText(joinedBlockNumbers(0, 4, 2));

    editor_ = new CHexKeyEdit(this);
    editor_->setObjectName(QStringLiteral("lineEditor"));
    editor_->setMaxLength(kBlockDigits);
    editor_->setFont(fixed);
    editor_->setAccessibleName(QStringLiteral("Block data"));
    lineEditor_ = new t7::InPlaceLineEditor(lines_, editor_, this);
    lineEditor_->setUpperCase(true);
    lineEditor_->setAcceptor([](const QString &text) { return text.size() >= kBlockDigits; });

    auto *blocks = new QHBoxLayout;
    blocks->addWidget(blockLabels_, 0, Qt::AlignTop);
    blocks->addWidget(lines_, 0, Qt::AlignTop);
    blocks->addStretch();

    write_ = new QPushButton(QStringLiteral("Write"), this);
    write_->setObjectName(QStringLiteral("write"));
    exit_ = new QPushButton(QStringLiteral("Exit(&E)"), this);
    exit_->setObjectName(QStringLiteral("exit"));
    dumps_ = t7::mifare::makeDumpControls(this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(write_);
    buttons->addWidget(exit_);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addLayout(blocks);
    layout->addLayout(dumps_.row);
    layout->addLayout(buttons);
}

void CS70EasyDlg::bindFields()
{
    fields_.bindComboIndex(keySetBox_, &keySet_);
    fields_.bindRadio({keyA_, keyB_}, &keyType_);
}

void CS70EasyDlg::connectSignals()
{
    connect(sectorBox_, &QComboBox::currentIndexChanged, this, &CS70EasyDlg::onSectorChanged);
    connect(lines_, &QListWidget::itemSelectionChanged, this, &CS70EasyDlg::onLineSelectionChanged);
    connect(write_, &QPushButton::clicked, this, &CS70EasyDlg::onWrite);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
    connect(dumps_.save, &QPushButton::clicked, this, &CS70EasyDlg::onSaveDump);
    connect(dumps_.write, &QPushButton::clicked, this, &CS70EasyDlg::onWriteDump);
    lines_->viewport()->installEventFilter(this);
    lines_->installEventFilter(this);
}

void CS70EasyDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        opening();
    }
}

void CS70EasyDlg::opening()
{
    {
        const QSignalBlocker quiet(sectorBox_);
        sectorBox_->setCurrentIndex(0);
    }
    blockLabels_->setText(joinedBlockNumbers(0, 4, 2));
    readSector(0);
}

bool CS70EasyDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lines_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        onLineDoubleClicked();
        return true;
    }
    if (watched == lines_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // The keyboard way to open the editor.
        if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            onLineDoubleClicked();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CS70EasyDlg::onSectorChanged()
{
    readSector(sectorBox_->currentIndex());
}

void CS70EasyDlg::readSector(int sector)
{
    fields_.read();
    const int keyMode = t7::mifare::MakeKeyMode(keyType_ == 0, keySet_);
    // An edit of the sector shown before must not land in this one.
    lineEditor_->discard();
    lines_->clear();
    sectorBox_->setFocus(Qt::OtherFocusReason);

    unsigned int serial = 0;
    const QString serialText = t7::GetCardSerial(deviceHandle(), serial);
    if (serialText.isEmpty()) {
        t7::appBox(QStringLiteral("Find card error!"));
        return;
    }
    // Sectors of another card never join this card's image.
    if (serialText != imageSerial_) {
        image_ = dump::CardImage(dump::kBlocks4K);
        imageSerial_ = serialText;
    }
    if (rz_authentication(deviceHandle(), static_cast<unsigned char>(keyMode), static_cast<unsigned char>(sector)) !=
        0) {
        t7::panelBox(this, t7::mifare::sectorAuthenticationError(sector));
        return;
    }
    const int first = t7::mifare::firstBlockOfSector(sector);
    const int count = t7::mifare::blocksInSector(sector);
    for (int block = first; block < first + count; ++block)
        image_.forget(block);
    const bool s70Area = sector >= kFirstS70Sector;
    readBlocks(first, count, s70Area);
    if (s70Area)
        for (int i = 0; i < count; ++i)
            blockNumbers_[i] = first + i;
    showBlockLabels(first, count);
}

void CS70EasyDlg::readBlocks(int firstBlock, int count, bool s70Area)
{
    const int rowHeight = QFontMetrics(lines_->font()).lineSpacing();
    for (int block = firstBlock; block < firstBlock + count; ++block) {
        const QString text = readBlockText(block, s70Area, keyType_ == 1);
        auto *line = new QListWidgetItem(text, lines_);
        line->setSizeHint(QSize(lines_->viewport()->width(), rowHeight));
        if (text == kUnreadBlock) {
            line->setForeground(Qt::red);
            line->setToolTip(QStringLiteral("This block could not be read; it is not written back."));
        }
    }
}

QString CS70EasyDlg::readBlockText(int block, bool s70Area, bool keyB)
{
    unsigned char data[16] = {};
    const unsigned char number = static_cast<unsigned char>(block);
    const int result = s70Area ? rz_read_S70(deviceHandle(), number, data) : rz_read(deviceHandle(), number, data);
    if (result != 0)
        return kUnreadBlock;
    t7::mifare::recordReadBlock(image_, block, data, keyB);
    char text[40] = {};
    hex_a(text, data, kBlockDigits);
    return QString::fromLatin1(text, static_cast<int>(strnlen(text, kBlockDigits))).toUpper();
}

void CS70EasyDlg::showBlockLabels(int firstBlock, int count)
{
    blockLabels_->setText(joinedBlockNumbers(firstBlock, count, count == kMaxLines ? 3 : 1));
}

bool CS70EasyDlg::isTrailerLine(int line) const
{
    return (lines_->count() == 4 && line == 3) || line == kMaxLines - 1;
}

void CS70EasyDlg::onLineDoubleClicked()
{
    const int line = lines_->selectedItems().isEmpty() ? -1 : lines_->row(lines_->selectedItems().first());
    if (line < 0) {
        t7::panelBox(this, QStringLiteral("ERRor :%1").arg(line));
        return;
    }
    // A text still waiting belongs to the line it was typed on.
    takeOverEdit();
    lineEditor_->setEditedRow(line);
    if (isTrailerLine(line)) {
        t7::appBox(QStringLiteral("This is the code block!"));
        return;
    }
    lineEditor_->open(line);
}

void CS70EasyDlg::onLineSelectionChanged()
{
    if (lines_->selectedItems().isEmpty())
        return;
    takeOverEdit();
}

void CS70EasyDlg::takeOverEdit()
{
    lineEditor_->hide();
    lineEditor_->takeOver();
}

int CS70EasyDlg::blockOfLine(int line) const
{
    if (lines_->count() == kMaxLines)
        return blockNumbers_[line];
    return 4 * sectorBox_->currentIndex() + line;
}

void CS70EasyDlg::onWrite()
{
    // Taken over even with no line selected: an accepted edit is never lost.
    takeOverEdit();
    const int toWrite = lines_->count() - 1; // the trailer is never written
    for (int i = 0; i < toWrite; ++i) {
        const QString text = lines_->item(i)->text();
        if (text == kUnreadBlock)
            continue;
        char buffer[40] = {};
        const QByteArray digits = text.left(kBlockDigits).toLatin1();
        std::memcpy(buffer, digits.constData(), static_cast<size_t>(digits.size()));
        unsigned char bytes[17] = {};
        a_hex(bytes, buffer, 16);
        const int block = blockOfLine(i);
        if (rz_write_S70(deviceHandle(), static_cast<unsigned char>(block), bytes) != 0) {
            t7::appBox(QString::number(block));
            return;
        }
        t7::mifare::recordReadBlock(image_, block, bytes, false);
    }
    t7::panelBox(this, QStringLiteral("Write success!"));
}

void CS70EasyDlg::onSaveDump()
{
    t7::mifare::saveDump(this, image_);
}

void CS70EasyDlg::onWriteDump()
{
    fields_.read();
    const int keyMode = t7::mifare::MakeKeyMode(keyType_ == 0, keySet_);
    t7::mifare::writeDump(this, dump::kBlocks4K, dumps_.withTrailers->isChecked(), keyMode,
                          t7::mifare::BlockWrite::S70);
}
