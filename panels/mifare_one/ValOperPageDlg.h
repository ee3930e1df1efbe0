// "Value Operate": initialise, read, increase and decrease value blocks.
#pragma once

#include "panels/mifare_one/CMifarePage.h"
#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

class CBlueStatic;
class CDecEdit;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ValOperPageDlg : public CMifarePage
{
    Q_OBJECT
public:
    explicit ValOperPageDlg(QWidget *parent = nullptr);

    void opening() override;

    int absoluteBlock() const { return absoluteBlock_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void bindFields();
    void connectHandlers();

    void onSectorLeft();
    void onBlockChosen();
    void onInitialValue();
    void onReadValue();
    void onAddValue();
    void onSubtractValue();

    bool sectorFitsCard() const;
    // Shows "This is the code block!" when the block is a trailer.
    bool refuseCodeBlock() const;
    // Find the card and authenticate the sector with the current key mode.
    bool findAndAuthenticate();
    bool increase();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_authentication);
    QVD_ENTRY(lib_, rz_initval);
    QVD_ENTRY(lib_, rz_readval);
    QVD_ENTRY(lib_, rz_increment);
    QVD_ENTRY(lib_, rz_decrement);
    QVD_ENTRY(lib_, rz_transfer);

    int sector_ = 1;
    int blockIndex_ = 0;
    int absoluteBlock_ = 0;
    int initialValue_ = 0;
    int addValue_ = 0;
    int subtractValue_ = 0;
    QString readValueText_;
    QString wordInitial_, wordIncrease_, wordDecrease_, wordSuccess_, wordFailed_;
    bool readingSector_ = false;

    QRadioButton *keyA_ = nullptr;
    QRadioButton *keyB_ = nullptr;
    QLabel *sectorLabel_ = nullptr;
    CDecEdit *sectorEdit_ = nullptr;
    QLabel *blockLabel_ = nullptr;
    QComboBox *blockList_ = nullptr;
    CBlueStatic *addressLabel_ = nullptr;
    QPushButton *initialButton_ = nullptr;
    CDecEdit *initialEdit_ = nullptr;
    QPushButton *readButton_ = nullptr;
    QLineEdit *readEdit_ = nullptr;
    QPushButton *addButton_ = nullptr;
    CDecEdit *addEdit_ = nullptr;
    QPushButton *subtractButton_ = nullptr;
    CDecEdit *subtractEdit_ = nullptr;
    t7::FieldBinder fields_;
};
