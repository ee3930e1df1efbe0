#include "panels/contactless/CMfPlusLevel2Page.h"

#include "panels/contactless/ContactlessWidgets.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

CMfPlusLevel2Page::CMfPlusLevel2Page(CMfPlusCard &card, Log log, QWidget *parent)
    : CMfPlusPage(card, std::move(log), parent)
{
    setObjectName(QStringLiteral("level2"));
    key_ = keyField("key", QStringLiteral("Key for Verify and upgrade to Level-3"));
    QPushButton *toLevel3 =
        t7::makeNamedButton(QStringLiteral("Verify and upgrade to Level-3"), "upgradeToLevel3", this);
    auto *layout = new QGridLayout(this);
    layout->addWidget(key_, 0, 0);
    layout->addWidget(toLevel3, 0, 1);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 1);
    connect(toLevel3, &QPushButton::clicked, this, &CMfPlusLevel2Page::onUpgradeToLevel3);
}

void CMfPlusLevel2Page::onUpgradeToLevel3()
{
    if (const std::optional<QByteArray> key = keyFrom(key_))
        logOutcome(card().switchLevel2To3(*key));
}
