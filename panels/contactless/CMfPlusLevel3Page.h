// "Level 3": key verification and update by key number, sector
// authentication, plain block reads and writes, and value operations on
// the block in "Block:".
#pragma once

#include "panels/contactless/CMfPlusPage.h"
#include "ui/FieldBinding.h"

class QComboBox;

class CMfPlusLevel3Page : public CMfPlusPage
{
    Q_OBJECT
public:
    // The read buffer holds 16 blocks.
    static constexpr int kMaxBlocks = CMfPlusCard::kReadBufferSize / 16;

    CMfPlusLevel3Page(CMfPlusCard &card, Log log, QWidget *parent = nullptr);

    void onVerify();
    void onUpdate();
    void onVerifySectorKey();
    void onRead();
    void onReadResultChosen(int index);
    void onWrite();
    void onInitValue();
    void onIncrement();
    void onDecrement();
    void onReadValue();

private:
    void buildLayout();
    void bindFields();
    void connectButtons();
    QLineEdit *numberEdit(const char *name, const QString &accessibleName);

    t7::FieldBinder fields_;
    int sector_ = 0;
    int blockStart_ = 0;
    int blocks_ = 1;
    int block_ = 0;
    int initAmount_ = 1000;
    int incrementAmount_ = 10;
    int decrementAmount_ = 10;
    int readAmount_ = 0;

    QLineEdit *key_ = nullptr;
    QLineEdit *keyNumber_ = nullptr;
    QLineEdit *sectorEdit_ = nullptr;
    QLineEdit *sectorKey_ = nullptr;
    QLineEdit *blockStartEdit_ = nullptr;
    QLineEdit *blocksEdit_ = nullptr;
    QLineEdit *blockEdit_ = nullptr;
    QLineEdit *writeData_ = nullptr;
    QComboBox *readResult_ = nullptr;
    QLineEdit *initEdit_ = nullptr;
    QLineEdit *incrementEdit_ = nullptr;
    QLineEdit *decrementEdit_ = nullptr;
    QLineEdit *readValueEdit_ = nullptr;
    QPushButton *verify_ = nullptr;
    QPushButton *update_ = nullptr;
    QPushButton *verifySector_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *write_ = nullptr;
    QPushButton *init_ = nullptr;
    QPushButton *increment_ = nullptr;
    QPushButton *decrement_ = nullptr;
    QPushButton *readValue_ = nullptr;
};
