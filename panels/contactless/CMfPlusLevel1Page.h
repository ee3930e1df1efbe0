// "Level 1": the card authentication key, and the switches to levels 2 and 3,
// each with its own key field.
#pragma once

#include "panels/contactless/CMfPlusPage.h"

class CMfPlusLevel1Page : public CMfPlusPage
{
    Q_OBJECT
public:
    CMfPlusLevel1Page(CMfPlusCard &card, Log log, QWidget *parent = nullptr);

    void onVerifyLevel1Key();
    void onUpgradeToLevel2();
    void onUpgradeToLevel3();

private:
    QLineEdit *level1Key_ = nullptr;
    QLineEdit *level2Key_ = nullptr;
    QLineEdit *level3Key_ = nullptr;
};
