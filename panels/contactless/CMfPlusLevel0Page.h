// "Level 0": personalisation — any key or configuration block by its perso
// address, then the commit that takes the card to level 1.
#pragma once

#include "panels/contactless/CMfPlusPage.h"

class CMfPlusLevel0Page : public CMfPlusPage
{
    Q_OBJECT
public:
    CMfPlusLevel0Page(CMfPlusCard &card, Log log, QWidget *parent = nullptr);

    void onKeySetting();
    void onUpgradeToLevel1();

private:
    QLineEdit *key_ = nullptr;
    QLineEdit *keyNumber_ = nullptr;
    QPushButton *keySetting_ = nullptr;
    QPushButton *upgrade_ = nullptr;
};
