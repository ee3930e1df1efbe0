// "AT88RF020 CARD", the command panel: verifies the card's password (kept in
// the keys file), sends raw command frames, changes the password and opens
// the page panel.
#pragma once

#include "reader/QvdLibrary.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CAt88rf020Dlg : public QDialog
{
    Q_OBJECT
public:
    // Read page 0 (the card's identity) and count once: both show on the card.
    static const QStringList kExamples;
    static constexpr int kMaxCommandText = 1024;

    explicit CAt88rf020Dlg(QWidget *parent = nullptr);

    void onVerify();
    void onTransmit();
    void onExampleChosen(int index);
    void onUpdatePassword();
    void onClear();
    void onApplication();

    // Every line since opening, each followed by CR LF.
    QString logText() const { return log_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void connectSignals();
    void opening();
    void appendLog(const QString &line);
    void setGatedEnabled(bool enabled);
    void sendCommand(const QString &text);
    int convert(const QString &text, unsigned char *bytes, int count);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_request_b);
    QVD_ENTRY(lib_, rz_attrib);
    QVD_ENTRY(lib_, rz_check_at);
    QVD_ENTRY(lib_, rz_read_at);
    QVD_ENTRY(lib_, rz_write_at);
    QVD_ENTRY(lib_, rz_lock_at);
    QVD_ENTRY(lib_, rz_halt_at);
    QVD_ENTRY(lib_, rz_count_at);
    QVD_ENTRY(lib_, rz_config_card);
    QVD_ENTRY(lib_, rz_beep);
    QVD_ENTRY(lib_, hex_a);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, rz_changekey_at);
    QVD_ENTRY(lib_, rz_CommandLink_at);

    const int handle_;
    QString log_;
    bool opened_ = false;

    QLineEdit *password_ = nullptr;
    QPushButton *verify_ = nullptr;
    QComboBox *examples_ = nullptr;
    QPlainTextEdit *command_ = nullptr;
    QPushButton *transmit_ = nullptr;
    QPushButton *application_ = nullptr;
    QLineEdit *newPassword_ = nullptr;
    QPushButton *updatePassword_ = nullptr;
    QPlainTextEdit *logView_ = nullptr;
    QPushButton *clear_ = nullptr;
    QPushButton *exit_ = nullptr;
};
