#include "panels/mifare_one/CIdCardDlg.h"

#include "reader/ConnectionState.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

namespace
{

constexpr int kNumberBufferSize = 12;

} // namespace

CIdCardDlg::CIdCardDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    connect(read_, &QPushButton::clicked, this, &CIdCardDlg::onRead);
    connect(clear_, &QPushButton::clicked, this, &CIdCardDlg::onClear);
}

void CIdCardDlg::buildLayout()
{
    setObjectName(QStringLiteral("CIdCardDlg"));
    setWindowTitle(QStringLiteral("ID CARD    read card serial number"));

    logEdit_ = new QPlainTextEdit(this);
    logEdit_->setObjectName(QStringLiteral("log"));
    logEdit_->setReadOnly(true);
    logEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logEdit_->setAccessibleName(QStringLiteral("Card numbers"));
    logEdit_->setMinimumSize(260, 200);

    read_ = new QPushButton(QStringLiteral("read "), this);
    read_->setObjectName(QStringLiteral("read"));
    read_->setDefault(true);
    clear_ = new QPushButton(QStringLiteral("clear"), this);
    clear_->setObjectName(QStringLiteral("clear"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(read_);
    buttons->addWidget(clear_);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(logEdit_, 1);
    layout->addLayout(buttons);
}

void CIdCardDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        opening();
    }
}

void CIdCardDlg::opening()
{
    lib_ = qvd::Library::load();
    rz_read_SerialNumberID.resolve(lib_);
}

void CIdCardDlg::onRead()
{
    char buffer[kNumberBufferSize] = {};
    if (rz_read_SerialNumberID(t7::connection().deviceHandle, 10, reinterpret_cast<unsigned char *>(buffer)) != 0)
        return;
    // Only what ends within the buffer, even if the library left no zero byte.
    const QString number = QString::fromLatin1(buffer, static_cast<int>(strnlen(buffer, kNumberBufferSize)));
    log_ = number + QStringLiteral("\r\n") + log_;
    showLog();
}

void CIdCardDlg::onClear()
{
    log_.clear();
    showLog();
}

void CIdCardDlg::showLog()
{
    // The edit breaks lines at "\n" alone; "\r" would show as a stray mark.
    QString shown = log_;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    logEdit_->setPlainText(shown);
}
