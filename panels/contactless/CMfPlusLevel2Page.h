// "Level 2": the switch to level 3.
#pragma once

#include "panels/contactless/CMfPlusPage.h"

class CMfPlusLevel2Page : public CMfPlusPage
{
    Q_OBJECT
public:
    CMfPlusLevel2Page(CMfPlusCard &card, Log log, QWidget *parent = nullptr);

    void onUpgradeToLevel3();

private:
    QLineEdit *key_ = nullptr;
};
