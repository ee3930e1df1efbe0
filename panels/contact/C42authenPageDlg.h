// "Password" page of the SLE4442 sheet: presents the PSC and changes it.
#pragma once

#include "panels/contact/C42Page.h"
#include "ui/FieldBinding.h"

class QLabel;
class QLineEdit;
class QPushButton;

class C42authenPageDlg : public C42Page
{
    Q_OBJECT
public:
    // Every opening of the sheet starts unverified.
    explicit C42authenPageDlg(QWidget *parent = nullptr);

    // The handlers, as the buttons run them.
    void onVerify();
    void onUpdate();

protected:
    void firstShown() override;

private:
    void buildLayout();

    QVD_ENTRY(lib_, rz_authentikey_4442);
    QVD_ENTRY(lib_, rz_changkey_4442);
    QVD_ENTRY(lib_, a_hex);

    t7::FieldBinder fields_;
    QString verifyPsc_ = QStringLiteral("7E25A1");
    QString newPsc_;

    QLineEdit *verifyEdit_ = nullptr;
    QLineEdit *newEdit_ = nullptr;
    QPushButton *verify_ = nullptr;
    QPushButton *update_ = nullptr;
    QLabel *lockNote_ = nullptr;
    QLabel *status_ = nullptr;
};
