// "Common function test": single DES of one block computed by the reader
// library, and copies between the reader's register and its EEPROM.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class ComFuncTest : public QWidget
{
    Q_OBJECT
public:
    // Key and block: 16 hex digits each; the library's texts fit 256 characters.
    static constexpr int kDesDigits = 16;
    static constexpr int kDesTextSize = 256;

    explicit ComFuncTest(QWidget *parent = nullptr);

    static QString caption() { return QStringLiteral("Common function test"); }

    void onEncrypt();
    void onDecrypt();
    void onRegisterToEeprom();
    void onEepromToRegister();

private:
    void buildLayout();
    void runDes(int mode);
    using Transfer = qvd::Entry<PFN_rz_transfer>;
    void runTransfer(const Transfer &entry, const QString &name);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_des);
    QVD_ENTRY(lib_, rz_transfer);
    QVD_ENTRY(lib_, rz_restore);

    QString keyText_;
    QString dataText_;
    QString resultText_;
    int address_ = 0;
    t7::FieldBinder fields_;

    QLineEdit *keyEdit_ = nullptr;
    QLineEdit *dataEdit_ = nullptr;
    QPlainTextEdit *resultEdit_ = nullptr;
    QLineEdit *addressEdit_ = nullptr;
    QListWidget *messages_ = nullptr;
    QPushButton *encrypt_ = nullptr;
    QPushButton *decrypt_ = nullptr;
    QPushButton *registerToEeprom_ = nullptr;
    QPushButton *eepromToRegister_ = nullptr;
};
