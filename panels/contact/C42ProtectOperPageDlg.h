// "Protect Zone" page of the SLE4442 sheet: reads the 32 protection bits and
// asks the card to protect bytes with the verified PSC.
#pragma once

#include "panels/contact/C42Page.h"
#include "ui/FieldBinding.h"

class QLabel;
class QLineEdit;
class QPushButton;

class C42ProtectOperPageDlg : public C42Page
{
    Q_OBJECT
public:
    explicit C42ProtectOperPageDlg(QWidget *parent = nullptr);

    // The handlers, as the buttons run them.
    void onReadProtection();
    void onWriteProtection();

protected:
    void firstShown() override;

private:
    void buildLayout();

    QVD_ENTRY(lib_, rz_getProtectData_4442);
    QVD_ENTRY(lib_, rz_setProtectData_4442);
    QVD_ENTRY(lib_, hex_a);

    t7::FieldBinder fields_;
    QString protectionBits_;

    QLineEdit *bitsEdit_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *write_ = nullptr;
    QLabel *result_ = nullptr;
};
