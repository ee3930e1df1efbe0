// The Mifare One sheet: a modal dialog with the six Mifare One pages.
#pragma once

#include <QDialog>

#include <vector>

class AuthenPageDlg;
class AutoTestPageDlg;
class CLoadKeyPageDlg;
class CMifarePage;
class ChangKeyPageDlg;
class QPushButton;
class QTabWidget;
class RwOperPageDlg;
class ValOperPageDlg;

class CMifareOneDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CMifareOneDlg(int startPage, QWidget *parent = nullptr);

    int startPage() const { return startPage_; }
    // Tab index that a start page index opens on (Load key for unknown ones).
    static int tabForStartPage(int startPage);

    QTabWidget *tabs() const { return tabs_; }
    CLoadKeyPageDlg *loadKeyPage() const { return loadKey_; }
    AuthenPageDlg *verifyKeyPage() const { return verifyKey_; }
    RwOperPageDlg *readWritePage() const { return readWrite_; }
    AutoTestPageDlg *autoTestPage() const { return autoTest_; }
    ValOperPageDlg *valuePage() const { return value_; }
    ChangKeyPageDlg *updateKeyPage() const { return updateKey_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Once, when the dialog opens: the pages' opening, the start page, the title.
    void openSheet();
    std::vector<CMifarePage *> tabOrder() const;
    void onCurrentChanged(int index);

    const int startPage_;
    bool opened_ = false;
    QTabWidget *tabs_ = nullptr;
    QPushButton *exitButton_ = nullptr;
    // Constructed in this order; the Update Key page requests the card.
    AuthenPageDlg *verifyKey_ = nullptr;
    RwOperPageDlg *readWrite_ = nullptr;
    AutoTestPageDlg *autoTest_ = nullptr;
    ChangKeyPageDlg *updateKey_ = nullptr;
    ValOperPageDlg *value_ = nullptr;
    CLoadKeyPageDlg *loadKey_ = nullptr;
};
