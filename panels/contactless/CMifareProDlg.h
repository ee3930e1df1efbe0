// "Mifare Pro  CARD": resets a Mifare Pro card and sends it command APDUs
// typed in hexadecimal; every answer goes into one transcript.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CMifareProDlg : public QDialog
{
    Q_OBJECT
public:
    // A command's length goes to the reader in one byte.
    static constexpr int kMaxCommandBytes = 255;

    explicit CMifareProDlg(QWidget *parent = nullptr);

    // The handlers, as the buttons run them.
    void onReset();
    void onSend();
    void onClear();
    void onHalt();

    // Lines end in "\r\n".
    QString transcript() const { return transcript_; }

private:
    void buildLayout();
    void writeBack();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_reset_mifarepro);
    QVD_ENTRY(lib_, rz_apdu_mifarepro);
    QVD_ENTRY(lib_, rz_halt_mifarepro);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, hex_a);

    t7::FieldBinder fields_;
    QString command_;
    QString transcript_;

    QPushButton *reset_ = nullptr;
    QPushButton *send_ = nullptr;
    QLineEdit *commandEdit_ = nullptr;
    QPlainTextEdit *transcriptView_ = nullptr;
    QPushButton *clear_ = nullptr;
    QPushButton *halt_ = nullptr;
    QPushButton *exit_ = nullptr;
};
