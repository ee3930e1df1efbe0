#include "panels/contactless/CMifareProDlg.h"

#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "reader/LibraryHex.h"
#include "reader/ReaderResult.h"
#include "ui/CrLfText.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace
{

constexpr int kBufferSize = 256;
const QString kLineEnd = QStringLiteral("\r\n");

int deviceHandle()
{
    return t7::connection().deviceHandle;
}

} // namespace

CMifareProDlg::CMifareProDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    fields_.bindText(commandEdit_, &command_);
    connect(reset_, &QPushButton::clicked, this, &CMifareProDlg::onReset);
    connect(send_, &QPushButton::clicked, this, &CMifareProDlg::onSend);
    connect(clear_, &QPushButton::clicked, this, &CMifareProDlg::onClear);
    connect(halt_, &QPushButton::clicked, this, &CMifareProDlg::onHalt);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}

void CMifareProDlg::buildLayout()
{
    setObjectName(QStringLiteral("CMifareProDlg"));
    setWindowTitle(QStringLiteral("Mifare Pro  CARD"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    reset_ = t7::makeNamedButton(QStringLiteral("Reset(&R)"), "reset", this);
    send_ = t7::makeNamedButton(QStringLiteral("Sent(&S)"), "send", this);
    commandEdit_ = new QLineEdit(this);
    commandEdit_->setObjectName(QStringLiteral("command"));
    commandEdit_->setAccessibleName(QStringLiteral("Command"));
    commandEdit_->setFont(fixed);
    auto *caption = new QLabel(QStringLiteral("Information returned:"), this);
    transcriptView_ = new QPlainTextEdit(this);
    transcriptView_->setObjectName(QStringLiteral("transcript"));
    transcriptView_->setReadOnly(true);
    transcriptView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    transcriptView_->setFont(fixed);
    transcriptView_->setMinimumSize(460, 260);
    caption->setBuddy(transcriptView_);
    transcriptView_->setAccessibleName(QStringLiteral("Information returned"));
    clear_ = t7::makeNamedButton(QStringLiteral("Clear(&C)"), "clear", this);
    // Part of the dialog but never shown.
    halt_ = t7::makeNamedButton(QStringLiteral("&HALT"), "halt", this);
    halt_->setVisible(false);
    exit_ = t7::makeNamedButton(QStringLiteral("Exit(&E)"), "exit", this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(reset_, 0, 0);
    layout->addWidget(send_, 1, 0);
    layout->addWidget(commandEdit_, 1, 1, 1, 2);
    layout->addWidget(caption, 2, 1, 1, 2);
    layout->addWidget(transcriptView_, 3, 1, 1, 2);
    layout->addWidget(clear_, 4, 1, Qt::AlignLeft);
    layout->addWidget(exit_, 4, 2, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(3, 1);
}

void CMifareProDlg::writeBack()
{
    fields_.write();
    t7::showCrLfText(transcriptView_, transcript_, t7::ShowFrom::End);
}

void CMifareProDlg::onReset()
{
    fields_.read();
    unsigned int serial = 0;
    if (t7::GetCardSerial(deviceHandle(), serial).isEmpty()) {
        transcript_ += QStringLiteral("Find card failed!");
    } else {
        unsigned char length = 0;
        unsigned char answer[kBufferSize] = {};
        if (t7::succeeded(rz_reset_mifarepro(deviceHandle(), &length, answer)))
            transcript_ += t7::libraryHexText(hex_a, answer, length);
        else
            transcript_ += QStringLiteral(" card ") + QStringLiteral("Reset") + QStringLiteral(" failed!");
    }
    transcript_ += kLineEnd;
    writeBack();
}

void CMifareProDlg::onSend()
{
    fields_.read();
    const int n = static_cast<int>(command_.size() / 2);
    if (n == 0) {
        t7::appBox(QStringLiteral("Please enter commands!"));
        return;
    }
    // More would not fit the command buffer nor the one-byte length.
    if (n > kMaxCommandBytes) {
        transcript_ += QStringLiteral("Command too long! At most %1 bytes (%2 hexadecimal characters).")
                           .arg(kMaxCommandBytes)
                           .arg(2 * kMaxCommandBytes) +
                       kLineEnd;
        writeBack();
        return;
    }
    unsigned char command[kBufferSize] = {};
    QByteArray text = command_.toLatin1();
    a_hex(command, text.data(), n);
    unsigned char responseLength = 0;
    unsigned char response[kBufferSize] = {};
    if (t7::succeeded(
            rz_apdu_mifarepro(deviceHandle(), static_cast<unsigned char>(n), command, &responseLength, response)))
        transcript_ += QStringLiteral("Send :") + kLineEnd + command_ + kLineEnd + QStringLiteral("Receive:") +
                       kLineEnd + t7::libraryHexText(hex_a, response, responseLength) + kLineEnd;
    else
        transcript_ += QStringLiteral("Send command error!") + kLineEnd;
    writeBack();
}

void CMifareProDlg::onClear()
{
    transcript_.clear();
    writeBack();
}

void CMifareProDlg::onHalt()
{
    if (t7::succeeded(rz_halt_mifarepro(deviceHandle())))
        t7::panelBox(this, QStringLiteral("Halt OK!"));
    else
        t7::appBox(QStringLiteral("Halt Error!"));
}
