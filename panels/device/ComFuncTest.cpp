#include "panels/device/ComFuncTest.h"

#include "panels/device/DevicePanels.h"
#include "reader/ConnectionState.h"
#include "ui/DialogLook.h"
#include "ui/MessageSeam.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

using t7::device::captionLabel;

namespace
{

QPushButton *pageButton(QWidget *parent, const QString &caption, const char *name)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The text in a zeroed buffer of the library's size.
void copyInto(char (&buffer)[ComFuncTest::kDesTextSize], const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    std::memcpy(buffer, bytes.constData(),
                static_cast<size_t>(std::min<qsizetype>(bytes.size(), ComFuncTest::kDesTextSize - 1)));
}

} // namespace

ComFuncTest::ComFuncTest(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ComFuncTest"));
    t7::useDialogBackground(this);
    buildLayout();
    fields_.bindText(keyEdit_, &keyText_);
    fields_.bindText(dataEdit_, &dataText_);
    fields_.bindText(resultEdit_, &resultText_);
    fields_.bindInt(addressEdit_, &address_, 0, 63);
    fields_.write();
    connect(encrypt_, &QPushButton::clicked, this, &ComFuncTest::onEncrypt);
    connect(decrypt_, &QPushButton::clicked, this, &ComFuncTest::onDecrypt);
    connect(registerToEeprom_, &QPushButton::clicked, this, &ComFuncTest::onRegisterToEeprom);
    connect(eepromToRegister_, &QPushButton::clicked, this, &ComFuncTest::onEepromToRegister);
}

void ComFuncTest::buildLayout()
{
    keyEdit_ = new QLineEdit(this);
    keyEdit_->setObjectName(QStringLiteral("key"));
    keyEdit_->setMaxLength(kDesDigits);
    dataEdit_ = new QLineEdit(this);
    dataEdit_->setObjectName(QStringLiteral("sourceData"));
    dataEdit_->setMaxLength(kDesDigits);
    for (QLineEdit *edit : {keyEdit_, dataEdit_})
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(kDesDigits + 2, '8')));
    resultEdit_ = new QPlainTextEdit(this);
    resultEdit_->setObjectName(QStringLiteral("result"));
    resultEdit_->setReadOnly(true);
    resultEdit_->setMaximumHeight(60);
    encrypt_ = pageButton(this, QStringLiteral("encry"), "encry");
    decrypt_ = pageButton(this, QStringLiteral("decry"), "decry");

    auto *desGroup = new QGroupBox(QStringLiteral("en/decry test"), this);
    desGroup->setObjectName(QStringLiteral("desGroup"));
    auto *desGrid = new QGridLayout(desGroup);
    desGrid->addWidget(captionLabel(this, QStringLiteral("key"), keyEdit_, "keyLabel"), 0, 0);
    desGrid->addWidget(keyEdit_, 0, 1);
    desGrid->addWidget(encrypt_, 0, 2);
    desGrid->addWidget(captionLabel(this, QStringLiteral("source data"), dataEdit_, "sourceDataLabel"), 1, 0);
    desGrid->addWidget(dataEdit_, 1, 1);
    desGrid->addWidget(decrypt_, 1, 2);
    desGrid->addWidget(captionLabel(this, QStringLiteral("result"), resultEdit_, "resultLabel"), 2, 0);
    desGrid->addWidget(resultEdit_, 2, 1, 1, 2);

    addressEdit_ = new QLineEdit(this);
    addressEdit_->setObjectName(QStringLiteral("address"));
    addressEdit_->setMaximumWidth(60);
    registerToEeprom_ = pageButton(this, QStringLiteral("Register-EEPROM"), "registerToEeprom");
    eepromToRegister_ = pageButton(this, QStringLiteral("EEPROM-Register"), "eepromToRegister");
    messages_ = new QListWidget(this);
    messages_->setObjectName(QStringLiteral("messages"));
    messages_->setAccessibleName(QStringLiteral("transfer result"));
    messages_->setMaximumHeight(60);

    auto *transferGroup = new QGroupBox(QStringLiteral("data transfer between EEPROM and Register"), this);
    transferGroup->setObjectName(QStringLiteral("transferGroup"));
    auto *transferGrid = new QGridLayout(transferGroup);
    transferGrid->addWidget(captionLabel(this, QStringLiteral("Addr"), addressEdit_, "addressLabel"), 0, 0);
    transferGrid->addWidget(addressEdit_, 0, 1);
    transferGrid->addWidget(registerToEeprom_, 0, 2);
    transferGrid->addWidget(eepromToRegister_, 0, 3);
    transferGrid->addWidget(messages_, 1, 0, 1, 4);
    // The room goes to the buttons, so "Addr" stays beside its edit.
    transferGrid->setColumnStretch(2, 1);
    transferGrid->setColumnStretch(3, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(desGroup);
    layout->addWidget(transferGroup);
    layout->addStretch();
}

void ComFuncTest::onEncrypt()
{
    runDes(1);
}

void ComFuncTest::onDecrypt()
{
    runDes(0);
}

void ComFuncTest::runDes(int mode)
{
    if (!fields_.read())
        return;
    if (dataText_.length() < kDesDigits || keyText_.length() < kDesDigits) {
        t7::panelBox(this, t7::device::notEnoughCharacters());
        return;
    }
    char key[kDesTextSize] = {};
    char data[kDesTextSize] = {};
    char result[kDesTextSize] = {};
    copyInto(key, keyText_.left(kDesDigits));
    copyInto(data, dataText_.left(kDesDigits));
    rz_des(key, data, result, mode);
    // Whatever the library left there, never past the buffer.
    resultText_ = QString::fromLatin1(result, static_cast<qsizetype>(strnlen(result, kDesTextSize)));
    fields_.write();
}

void ComFuncTest::onRegisterToEeprom()
{
    runTransfer(rz_transfer, QStringLiteral("rz_transfer"));
}

void ComFuncTest::onEepromToRegister()
{
    runTransfer(rz_restore, QStringLiteral("rz_restore"));
}

void ComFuncTest::runTransfer(const Transfer &entry, const QString &name)
{
    if (!fields_.read())
        return;
    messages_->clear();
    if (entry(t7::connection().deviceHandle, static_cast<unsigned char>(address_ & 0xFF)) != 0) {
        messages_->addItem(name + QStringLiteral(" ERROR!"));
        return;
    }
    messages_->addItem(name + QStringLiteral(" OK!"));
    fields_.write();
}
