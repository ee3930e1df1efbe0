#include "panels/mifare_one/AuthenPageDlg.h"

#include "panels/mifare_one/KeyChoice.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/ConnectionState.h"
#include "ui/Fonts.h"
#include "ui/HexEdits.h"
#include "ui/MessageSeam.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <tuple>

AuthenPageDlg::AuthenPageDlg(QWidget *parent) : CMifarePage(QStringLiteral("Verify Key"), parent)
{
    setObjectName(QStringLiteral("verifyKeyPage"));
    buildControls();
    fields_.bindComboIndex(keySet_, &keySetIndex_);
    fields_.bindInt(sectorEdit_, &sector_);
    fields_.write();
    connect(verifyButton_, &QPushButton::clicked, this, &AuthenPageDlg::onVerify);
}

void AuthenPageDlg::buildControls()
{
    auto *keyType = new QGroupBox(this);
    keyType->setObjectName(QStringLiteral("keyTypeGroup"));
    std::tie(keyA_, keyB_) = t7::mifare::makeKeyTypeButtons(keyType);
    auto *keyRow = new QHBoxLayout(keyType);
    keyRow->addWidget(keyA_);
    keyRow->addWidget(keyB_);

    keySet_ = t7::mifare::makeKeySetSelector(this);
    keySetLabel_ = captionLabel(QStringLiteral("Key-Serial Select:"), keySet_, "keySetLabel");
    keySet_->setVisible(false);
    keySetLabel_->setVisible(false);

    sectorEdit_ = new CDecEdit(this);
    sectorEdit_->setObjectName(QStringLiteral("sectorEdit"));
    sectorLabel_ = captionLabel(QStringLiteral("Sector Select:"), sectorEdit_, "sectorLabel");
    rangeLabel_ = new QLabel(QStringLiteral("(Range: 0-15)"), this);
    rangeLabel_->setObjectName(QStringLiteral("rangeLabel"));

    verifyButton_ = new QPushButton(QStringLiteral("Verify(&C)"), this);
    verifyButton_->setObjectName(QStringLiteral("verifyButton"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(keyType, 0, 0, 1, 3);
    grid->addWidget(keySetLabel_, 1, 0);
    grid->addWidget(keySet_, 1, 1);
    grid->addWidget(sectorLabel_, 2, 0);
    grid->addWidget(sectorEdit_, 2, 1);
    grid->addWidget(rangeLabel_, 2, 2);
    grid->addWidget(verifyButton_, 3, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);
}

void AuthenPageDlg::opening()
{
    keyA_->setChecked(true);
    for (QLabel *label : {keySetLabel_, sectorLabel_, rangeLabel_})
        label->setFont(t7::boldFont());
    if (t7::mifare::state().cardKind == t7::mifare::kCardKindS70)
        rangeLabel_->setText(QStringLiteral("(Sector: 0-39)"));
}

void AuthenPageDlg::onVerify()
{
    if (!fields_.read())
        return;
    // The limit follows the card kind known before this verification's request.
    const int limit = t7::mifare::state().cardKind == t7::mifare::kCardKindS70 ? 39 : 15;
    if (sector_ > limit) {
        t7::appBox(QStringLiteral("Sector out of range!\n Put in again please"));
        return;
    }
    const int keyMode = t7::mifare::MakeKeyMode(keyA_->isChecked(), keySetIndex_);
    if (!t7::mifare::FindCardAndAuthenticate(t7::connection().deviceHandle, sector_, keyMode))
        return;
    t7::mifare::state().verified = 1;
    t7::panelBox(this, QStringLiteral("Password authentication success!"));
    t7::mifare::state().verifiedSector = sector_;
}
