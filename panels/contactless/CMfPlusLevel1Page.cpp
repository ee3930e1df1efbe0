#include "panels/contactless/CMfPlusLevel1Page.h"

#include "panels/contactless/ContactlessWidgets.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

CMfPlusLevel1Page::CMfPlusLevel1Page(CMfPlusCard &card, Log log, QWidget *parent)
    : CMfPlusPage(card, std::move(log), parent)
{
    setObjectName(QStringLiteral("level1"));
    level1Key_ = keyField("level1Key", QStringLiteral("Key for Verify Key Level-1"));
    level2Key_ = keyField("level2Key", QStringLiteral("Key for Verify and upgrade to Level-2"));
    level3Key_ = keyField("level3Key", QStringLiteral("Key for Verify and upgrade to Level-3"));
    QPushButton *verify = t7::makeNamedButton(QStringLiteral("Verify Key Level-1"), "verifyLevel1", this);
    QPushButton *toLevel2 =
        t7::makeNamedButton(QStringLiteral("Verify and upgrade to Level-2"), "upgradeToLevel2", this);
    QPushButton *toLevel3 =
        t7::makeNamedButton(QStringLiteral("Verify and upgrade to Level-3"), "upgradeToLevel3", this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(level1Key_, 0, 0);
    layout->addWidget(verify, 0, 1);
    layout->addWidget(level2Key_, 1, 0);
    layout->addWidget(toLevel2, 1, 1);
    layout->addWidget(level3Key_, 2, 0);
    layout->addWidget(toLevel3, 2, 1);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(0, 1);

    connect(verify, &QPushButton::clicked, this, &CMfPlusLevel1Page::onVerifyLevel1Key);
    connect(toLevel2, &QPushButton::clicked, this, &CMfPlusLevel1Page::onUpgradeToLevel2);
    connect(toLevel3, &QPushButton::clicked, this, &CMfPlusLevel1Page::onUpgradeToLevel3);
}

void CMfPlusLevel1Page::onVerifyLevel1Key()
{
    if (const std::optional<QByteArray> key = keyFrom(level1Key_))
        logOutcome(card().verifyLevel1Key(*key));
}

void CMfPlusLevel1Page::onUpgradeToLevel2()
{
    if (const std::optional<QByteArray> key = keyFrom(level2Key_))
        logOutcome(card().switchLevel1To2(*key));
}

void CMfPlusLevel1Page::onUpgradeToLevel3()
{
    if (const std::optional<QByteArray> key = keyFrom(level3Key_))
        logOutcome(card().switchLevel1To3(*key));
}
