// "FCPU": resets an ISO 14443-4 CPU card of TYPE A or TYPE B, shows its reset
// information and exchanges raw command bytes with it; a log, newest first.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

class CGradientButton;
class CRedStatic;
class QPlainTextEdit;

class CFcpuDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kTypeB = 11;
    // Longer command texts are refused rather than cut.
    static constexpr int kMaxCommandCharacters = 500;

    // cardKind: 11 for TYPE B, anything else TYPE A.
    explicit CFcpuDlg(int cardKind, QWidget *parent = nullptr);

    // The handlers, as the buttons run them.
    void onCardReset();
    void onRfReset();
    void onSendCommand();
    void onClear();

    // Every line, newest first, separated by "\r\n".
    QString logText() const { return log_; }

private:
    void buildLayout();
    void appendLine(const QString &line);
    bool resetTypeA(int *length, unsigned char *information);
    bool resetTypeB(int *length, unsigned char *information);
    QString hexText(const unsigned char *bytes, int count);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, hex_a);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, rz_reset);
    QVD_ENTRY(lib_, rz_pro_reset);
    QVD_ENTRY(lib_, rz_pro_commandlink);
    QVD_ENTRY(lib_, rz_request_b);
    QVD_ENTRY(lib_, rz_attrib);
    // Resolved with the others, not called by this panel.
    QVD_ENTRY(lib_, rz_card);
    QVD_ENTRY(lib_, rz_check_at);
    QVD_ENTRY(lib_, rz_halt_at);
    QVD_ENTRY(lib_, rz_config_card);
    QVD_ENTRY(lib_, rz_beep);
    QVD_ENTRY(lib_, rz_CommandLink_at);

    const int cardKind_;
    t7::FieldBinder fields_;
    QString command_;
    QString log_;

    CGradientButton *cardReset_ = nullptr;
    CGradientButton *rfReset_ = nullptr;
    CGradientButton *sendCommand_ = nullptr;
    CGradientButton *clear_ = nullptr;
    CGradientButton *exit_ = nullptr;
    CRedStatic *note_ = nullptr;
    QPlainTextEdit *commandEdit_ = nullptr;
    QPlainTextEdit *logView_ = nullptr;
};
