// "ID CARD    read card serial number": reads the number of a 125 kHz ID card
// on each press and keeps a log of the numbers read, newest first.
#pragma once

#include "reader/QvdLibrary.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class CIdCardDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CIdCardDlg(QWidget *parent = nullptr);

    void onRead();
    void onClear();

    // Every number read, newest first, each followed by "\r\n".
    QString logText() const { return log_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void opening();
    void showLog();

    // Resolved when the dialog opens, not at construction.
    qvd::LibraryRef lib_;
    QVD_ENTRY(lib_, rz_read_SerialNumberID);

    QString log_;
    bool opened_ = false;

    QPlainTextEdit *logEdit_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *clear_ = nullptr;
};
