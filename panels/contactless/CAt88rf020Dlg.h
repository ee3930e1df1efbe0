// "AT88RF020 CARD", the command panel: verifies the card's password (kept in
// the keys file), sends raw command frames, changes the password and opens
// the page panel.
#pragma once

#include "panels/contactless/At88Entries.h"
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

    t7::contactless::At88Entries at88_;
    QVD_ENTRY(at88_.lib, rz_CommandLink_at);

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
