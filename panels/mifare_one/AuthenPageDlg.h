// "Verify Key": authenticates one sector with the key the reader holds and
// remembers the success for the Read and write page.
#pragma once

#include "panels/mifare_one/CMifarePage.h"
#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

class CDecEdit;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

class AuthenPageDlg : public CMifarePage
{
    Q_OBJECT
public:
    explicit AuthenPageDlg(QWidget *parent = nullptr);

    void opening() override;

private:
    void buildControls();
    void onVerify();

    // The card access sequence resolves its own calls; the page keeps the library loaded.
    qvd::LibraryRef lib_ = qvd::Library::load();

    int keySetIndex_ = 0;
    int sector_ = 0;

    QRadioButton *keyA_ = nullptr;
    QRadioButton *keyB_ = nullptr;
    QLabel *keySetLabel_ = nullptr;
    QComboBox *keySet_ = nullptr;
    QLabel *sectorLabel_ = nullptr;
    CDecEdit *sectorEdit_ = nullptr;
    QLabel *rangeLabel_ = nullptr;
    QPushButton *verifyButton_ = nullptr;
    t7::FieldBinder fields_;
};
