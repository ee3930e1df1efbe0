#include "panels/mifare_one/KeyChoice.h"

#include <QComboBox>
#include <QRadioButton>

namespace t7::mifare
{

std::pair<QRadioButton *, QRadioButton *> makeKeyTypeButtons(QWidget *parent)
{
    auto *keyA = new QRadioButton(QStringLiteral("KeyA"), parent);
    keyA->setObjectName(QStringLiteral("keyA"));
    auto *keyB = new QRadioButton(QStringLiteral("KeyB"), parent);
    keyB->setObjectName(QStringLiteral("keyB"));
    return {keyA, keyB};
}

QComboBox *makeKeySetSelector(QWidget *parent)
{
    auto *keySet = new QComboBox(parent);
    keySet->setObjectName(QStringLiteral("keySet"));
    keySet->addItems({QStringLiteral("第一套密码"), QStringLiteral("第二套密码"), QStringLiteral("第三套密码")});
    keySet->setCurrentIndex(0);
    return keySet;
}

} // namespace t7::mifare
