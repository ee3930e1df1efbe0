#include "panels/contactless/CMfPlusLevel0Page.h"

#include "panels/contactless/ContactlessWidgets.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using t7::contactless::caption;

CMfPlusLevel0Page::CMfPlusLevel0Page(CMfPlusCard &card, Log log, QWidget *parent)
    : CMfPlusPage(card, std::move(log), parent)
{
    setObjectName(QStringLiteral("level0"));
    key_ = keyField("key", QStringLiteral("Key:"));
    keyNumber_ = numberField("keyNumber", QStringLiteral("Key Number:"));
    keySetting_ = t7::makeNamedButton(QStringLiteral("Key-Setting"), "keySetting", this);
    upgrade_ = t7::makeNamedButton(QStringLiteral("Upgrade to Level-1"), "upgradeToLevel1", this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(caption(this, QStringLiteral("Key:"), key_), 0, 0);
    layout->addWidget(key_, 0, 1, 1, 2);
    layout->addWidget(caption(this, QStringLiteral("Key Number:"), keyNumber_), 1, 0);
    layout->addWidget(keyNumber_, 1, 1);
    layout->addWidget(keySetting_, 1, 2);
    layout->addWidget(upgrade_, 3, 2);
    layout->setRowMinimumHeight(2, 16);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(2, 1);

    connect(keySetting_, &QPushButton::clicked, this, &CMfPlusLevel0Page::onKeySetting);
    connect(upgrade_, &QPushButton::clicked, this, &CMfPlusLevel0Page::onUpgradeToLevel1);
}

void CMfPlusLevel0Page::onKeySetting()
{
    const std::optional<QByteArray> key = keyFrom(key_);
    if (!key)
        return;
    const std::optional<unsigned short> address = numberFrom(keyNumber_);
    if (!address)
        return;
    logOutcome(card().writePerso(*key, *address));
}

void CMfPlusLevel0Page::onUpgradeToLevel1()
{
    logOutcome(card().commitPerso());
}
