// "Device functions test": the reader's note memory (user EEPROM), an RF
// field reset, the reader's version and the library's two hex conversions.
// Every outcome is logged, newest line first.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class DevFunTestPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxOffset = 1278;
    static constexpr int kMaxLength = 512;
    // The conversion test's buffers: source text and converted bytes.
    static constexpr int kConversionSize = 1024;
    static constexpr int kVersionSize = 255;

    explicit DevFunTestPage(QWidget *parent = nullptr);

    static QString caption() { return QStringLiteral("Device functions test"); }

    void onReadEeprom();
    void onWriteEeprom();
    void onResetRf();
    void onReadVersion();
    void onHexToAscii();
    void onAsciiToHex();

    // Lines joined by "\r\n", newest first.
    QString logText() const { return log_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void bindFields();
    void connectHandlers();
    void limitEepromData();
    void addLog(const QString &line);
    void refreshFields();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_srd_eeprom);
    QVD_ENTRY(lib_, rz_swr_eeprom);
    QVD_ENTRY(lib_, rz_reset);
    QVD_ENTRY(lib_, rz_getver);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, hex_a);

    int offset_ = 0;
    int length_ = 1;
    QString eepromText_;
    int resetTime_ = 0;
    QString hexSource_;
    int byteCount_ = 0;
    QString asciiSource_;
    QString log_;
    t7::FieldBinder fields_;
    bool limiting_ = false;

    QLineEdit *offsetEdit_ = nullptr;
    QLineEdit *lengthEdit_ = nullptr;
    QLineEdit *eepromEdit_ = nullptr;
    QLineEdit *resetTimeEdit_ = nullptr;
    QLineEdit *hexSourceEdit_ = nullptr;
    QLineEdit *byteCountEdit_ = nullptr;
    QLineEdit *asciiSourceEdit_ = nullptr;
    QPlainTextEdit *logEdit_ = nullptr;
    QPushButton *readEeprom_ = nullptr;
    QPushButton *writeEeprom_ = nullptr;
    QPushButton *resetRf_ = nullptr;
    QPushButton *readVersion_ = nullptr;
    QPushButton *hexToAscii_ = nullptr;
    QPushButton *asciiToHex_ = nullptr;
};
