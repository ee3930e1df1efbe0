#include "panels/mifare_one/RwOperPageDlg.h"

#include "panels/mifare_one/MifareOne.h"
#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "ui/ColoredControls.h"
#include "ui/Fonts.h"
#include "ui/HexEdits.h"
#include "ui/MessageSeam.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <cstring>

using t7::mifare::kCardKindS50;
using t7::mifare::kCardKindS70;
using t7::mifare::state;

namespace
{

bool isS70()
{
    return state().cardKind == kCardKindS70;
}

// Sectors 32-39 exist only on an S70.
bool verifiedSectorIsLarge()
{
    return isS70() && state().verifiedSector >= 32;
}

} // namespace

RwOperPageDlg::RwOperPageDlg(QWidget *parent) : CMifarePage(QStringLiteral("Read and write"), parent)
{
    setObjectName(QStringLiteral("readWritePage"));
    buildControls();
    fields_.bindText(textEdit_, &text_);
    fields_.bindText(hexEdit_, &hexText_);
    connectHandlers();
}

void RwOperPageDlg::buildControls()
{
    blockList_ = new QComboBox(this);
    blockList_->setObjectName(QStringLiteral("blockList"));
    blockLabel_ = captionLabel(QStringLiteral("block:"), blockList_, "blockLabel");
    addressLabel_ = new QLabel(QStringLiteral("Address(0-63)"), this);
    addressLabel_->setObjectName(QStringLiteral("addressLabel"));
    readButton_ = new QPushButton(QStringLiteral("Read(&R)"), this);
    readButton_->setObjectName(QStringLiteral("readButton"));

    textEdit_ = new QLineEdit(this);
    textEdit_->setObjectName(QStringLiteral("textEdit"));
    textEdit_->setMaxLength(16);
    textLabel_ = captionLabel(QStringLiteral("ASCII mode:"), textEdit_, "textLabel");
    hexEdit_ = new CHexEdit(this);
    hexEdit_->setObjectName(QStringLiteral("hexEdit"));
    hexEdit_->setMaxLength(32);
    hexEdit_->setMinimumWidth(hexEdit_->fontMetrics().horizontalAdvance(QString(34, QLatin1Char('F'))));
    hexLabel_ = captionLabel(QStringLiteral("Hex mode:"), hexEdit_, "hexLabel");
    statusLabel_ = new CRedStatic(this);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));

    writeHexButton_ = new QPushButton(QStringLiteral("Write as Hex mode(&H)"), this);
    writeHexButton_->setObjectName(QStringLiteral("writeHexButton"));
    writeAsciiButton_ = new QPushButton(QStringLiteral("Write as &ASCII mode"), this);
    writeAsciiButton_->setObjectName(QStringLiteral("writeAsciiButton"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(blockLabel_, 0, 0);
    grid->addWidget(blockList_, 0, 1);
    grid->addWidget(addressLabel_, 0, 2);
    grid->addWidget(readButton_, 0, 3);
    grid->addWidget(textLabel_, 1, 0);
    grid->addWidget(textEdit_, 1, 1, 1, 2);
    grid->addWidget(writeAsciiButton_, 1, 3);
    grid->addWidget(hexLabel_, 2, 0);
    grid->addWidget(hexEdit_, 2, 1, 1, 2);
    grid->addWidget(writeHexButton_, 2, 3);
    grid->addWidget(statusLabel_, 3, 1, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);
}

void RwOperPageDlg::connectHandlers()
{
    connect(blockList_, &QComboBox::currentIndexChanged, this, &RwOperPageDlg::onBlockChosen);
    connect(readButton_, &QPushButton::clicked, this, &RwOperPageDlg::onRead);
    connect(writeHexButton_, &QPushButton::clicked, this, &RwOperPageDlg::onWriteHex);
    connect(writeAsciiButton_, &QPushButton::clicked, this, &RwOperPageDlg::onWriteAscii);
}

void RwOperPageDlg::opening()
{
    for (QLabel *label : {blockLabel_, addressLabel_, textLabel_, hexLabel_, static_cast<QLabel *>(statusLabel_)})
        label->setFont(t7::boldFont());
    if (isS70())
        addressLabel_->setText(QStringLiteral("Block address") + QStringLiteral("(0-255)"));
}

int RwOperPageDlg::firstBlockOfVerifiedSector()
{
    const int sector = state().verifiedSector;
    return verifiedSectorIsLarge() ? 16 * sector - 384 : 4 * sector;
}

void RwOperPageDlg::activated()
{
    const int first = firstBlockOfVerifiedSector();
    const int count = verifiedSectorIsLarge() ? 16 : 4;
    addressLabel_->setText(QStringLiteral("Block address") +
                           QStringLiteral(":%1-%2").arg(first).arg(first + count - 1));

    block_ = 0;
    const QSignalBlocker quiet(blockList_);
    blockList_->clear();
    const int kind = state().cardKind;
    if (kind != kCardKindS50 && kind != kCardKindS70)
        return;
    for (int b = first; b < first + count; ++b)
        blockList_->addItem(QString::number(b));
    blockList_->setCurrentIndex(0);
    block_ = first;
}

void RwOperPageDlg::onBlockChosen(int index)
{
    if (index >= 0)
        block_ = firstBlockOfVerifiedSector() + index;
}

bool RwOperPageDlg::blockOutOfRange() const
{
    return !isS70() && block_ > 63;
}

void RwOperPageDlg::setWritable(bool writable)
{
    textEdit_->setReadOnly(!writable);
    hexEdit_->setReadOnly(!writable);
    writeHexButton_->setEnabled(writable);
    writeAsciiButton_->setEnabled(writable);
}

void RwOperPageDlg::onRead()
{
    fields_.read();
    codeBlock_ = 0;
    statusLabel_->clear();
    textEdit_->setReadOnly(false);
    hexEdit_->setReadOnly(false);

    if (state().verified == 0) {
        t7::appBox(QStringLiteral("Password authentication first please!"));
        return;
    }
    if (blockOutOfRange()) {
        t7::appBox(QStringLiteral("block is out of range!"));
        return;
    }
    const int sector = t7::mifare::sectorOfBlock(block_);
    codeBlock_ = t7::mifare::isTrailerBlock(block_) ? 1 : 0;

    const int handle = t7::connection().deviceHandle;
    unsigned int serial = 0;
    if (t7::GetCardSerial(handle, serial).isEmpty()) {
        t7::appBox(QStringLiteral("Find card error!"));
        return;
    }
    if (rz_authentication(handle, static_cast<unsigned char>(state().currentKeyMode),
                          static_cast<unsigned char>(sector)) != 0) {
        t7::panelBox(this, t7::mifare::sectorAuthenticationError(sector));
        return;
    }

    unsigned char data[32] = {};
    const unsigned char blockByte = static_cast<unsigned char>(block_);
    const int result = isS70() ? rz_read_S70(handle, blockByte, data) : rz_read(handle, blockByte, data);
    if (result != 0)
        t7::appBox(QStringLiteral("Read") + QStringLiteral("data") + QStringLiteral(" failed!") + QStringLiteral(",") +
                   QStringLiteral("Reason") + QStringLiteral(": ") + QString::number(result));
    else
        showReadBlock(data);

    if (codeBlock_) {
        statusLabel_->setText(QStringLiteral("This is the code block,************ the codes"));
        setWritable(false);
    } else if (block_ == 0) {
        setWritable(false);
    } else {
        writeHexButton_->setEnabled(true);
        writeAsciiButton_->setEnabled(true);
    }
    fields_.write();
}

void RwOperPageDlg::showReadBlock(const unsigned char *data)
{
    char text[40] = {};
    unsigned char bytes[16];
    std::memcpy(bytes, data, sizeof bytes);
    hex_a(text, bytes, 32);
    text[32] = '\0';
    // Key A is never shown.
    if (codeBlock_)
        std::memset(text, '*', 12);
    hexText_ = QString::fromLatin1(text);
    text_ = QString::fromLatin1(reinterpret_cast<const char *>(data),
                                static_cast<int>(strnlen(reinterpret_cast<const char *>(data), 16)));
}

void RwOperPageDlg::writeBlock(unsigned char *data)
{
    const int handle = t7::connection().deviceHandle;
    const unsigned char blockByte = static_cast<unsigned char>(block_);
    const int result = isS70() ? rz_write_S70(handle, blockByte, data) : rz_write(handle, blockByte, data);
    if (result == 0)
        t7::panelBox(this, QStringLiteral("Write") + QStringLiteral("data") + QStringLiteral(" success!"));
    else
        t7::appBox(QStringLiteral("Write") + QStringLiteral("data") + QStringLiteral(" failed!"));
}

// The checks both writes make before they convert their text.
bool RwOperPageDlg::readyToWrite(const QLineEdit *edit, int minimumLength)
{
    if (codeBlock_) {
        t7::appBox(QStringLiteral("This is the code block!"));
        return false;
    }
    if (edit->text().size() < minimumLength) {
        t7::appBox(QStringLiteral("Length of chars inserted not enough!"));
        return false;
    }
    fields_.read();
    if (blockOutOfRange()) {
        t7::appBox(QStringLiteral("block is out of range!"));
        return false;
    }
    return true;
}

void RwOperPageDlg::onWriteHex()
{
    if (!readyToWrite(hexEdit_, 32))
        return;
    unsigned char data[16] = {};
    if (!t7::mifare::HexTextToBytes(hexText_.left(32), data, 16)) {
        t7::appBox(QStringLiteral("Input data is incorrect!"));
        return;
    }
    writeBlock(data);
}

void RwOperPageDlg::onWriteAscii()
{
    if (!readyToWrite(textEdit_, 16))
        return;
    unsigned char data[16] = {};
    const QByteArray bytes = text_.left(16).toLatin1();
    std::memcpy(data, bytes.constData(), std::min<std::size_t>(bytes.size(), sizeof data));
    writeBlock(data);
}
