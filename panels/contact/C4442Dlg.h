// "4442 CARD": the SLE4442 sheet with its Password, Common data and Protect
// Zone pages.
#pragma once

#include <QDialog>

class C42authenPageDlg;
class C42CrwDlg;
class C42ProtectOperPageDlg;
class QPushButton;
class QTabWidget;

class C4442Dlg : public QDialog
{
    Q_OBJECT
public:
    // startPage 0, 1 or 2 opens that page; any other the first.
    explicit C4442Dlg(int startPage, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return tabs_; }
    C42authenPageDlg *passwordPage() const { return password_; }
    C42CrwDlg *commonDataPage() const { return commonData_; }
    C42ProtectOperPageDlg *protectPage() const { return protect_; }

private:
    QTabWidget *tabs_ = nullptr;
    C42authenPageDlg *password_ = nullptr;
    C42CrwDlg *commonData_ = nullptr;
    C42ProtectOperPageDlg *protect_ = nullptr;
    QPushButton *exit_ = nullptr;
};
