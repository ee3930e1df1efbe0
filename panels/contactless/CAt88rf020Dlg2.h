// "AT88RF020 CARD", the page panel: reads and writes the card's 32 pages of
// 8 bytes after verification, changes the password, counts and halts. Each
// read, each completed write and each password change ends the verification.
#pragma once

#include "panels/contactless/At88Entries.h"

#include <QDialog>

class HexLineList;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CAt88rf020Dlg2 : public QDialog
{
    Q_OBJECT
public:
    static const QString kMaskedPassword;

    explicit CAt88rf020Dlg2(QWidget *parent = nullptr);

    void onVerify();
    void onReadLow();
    void onReadHigh();
    void onWrite();
    void onUpdateKeyToggled();
    void onUpdatePassword();
    void onCount();
    void onHalt();

    QString reportText() const { return report_; }
    int pageRange() const { return pageRange_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void connectSignals();
    void opening();
    void disableGated();
    void enableGated();
    void readButton(int first, int end, int range);
    void showReport(const QString &text);

    t7::contactless::At88Entries at88_;

    const int handle_;
    t7::contactless::At88Password password_{};
    int pageRange_ = 1;
    QString report_;
    bool opened_ = false;

    QLineEdit *passwordField_ = nullptr;
    QPushButton *verify_ = nullptr;
    HexLineList *pages_ = nullptr;
    QPlainTextEdit *reportView_ = nullptr;
    QPushButton *readLow_ = nullptr;
    QPushButton *readHigh_ = nullptr;
    QPushButton *write_ = nullptr;
    QCheckBox *updateKey_ = nullptr;
    QLineEdit *newKey_ = nullptr;
    QPushButton *updatePassword_ = nullptr;
    QPushButton *count_ = nullptr;
    QPushButton *halt_ = nullptr;
};
