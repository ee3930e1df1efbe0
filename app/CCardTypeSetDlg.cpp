#include "app/CCardTypeSetDlg.h"

#include "reader/ConnectionState.h"
#include "ui/ColoredControls.h"
#include "ui/Fonts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CCardTypeSetDlg::CCardTypeSetDlg(QWidget *parent) : QDialog(parent), handle_(t7::connection().deviceHandle.load())
{
    buildLayout();
}

void CCardTypeSetDlg::buildLayout()
{
    setObjectName(QStringLiteral("CCardTypeSetDlg"));
    setWindowTitle(QStringLiteral("Card type setting"));

    auto *group = new QGroupBox(QStringLiteral("Contactless card setting"), this);
    group->setObjectName(QStringLiteral("contactlessGroup"));
    typeA_ = new QPushButton(QStringLiteral("TYPEA"), group);
    typeA_->setObjectName(QStringLiteral("typeA"));
    typeB_ = new QPushButton(QStringLiteral("TYPEB"), group);
    typeB_->setObjectName(QStringLiteral("typeB"));
    iso15693_ = new QPushButton(QStringLiteral("ISO15693"), group);
    iso15693_->setObjectName(QStringLiteral("iso15693"));
    result_ = new CBlueStatic(group);
    result_->setObjectName(QStringLiteral("result"));
    result_->setFont(t7::boldFont());
    result_->setMinimumWidth(320);
    result_->setMinimumHeight(QFontMetrics(t7::boldFont()).height() + 6);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(typeA_);
    buttons->addWidget(typeB_);
    buttons->addWidget(iso15693_);
    auto *inGroup = new QVBoxLayout(group);
    inGroup->addLayout(buttons);
    inGroup->addWidget(result_);

    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setObjectName(QStringLiteral("close"));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(bottom);

    connect(typeA_, &QPushButton::clicked, this, [this] { setupCardType('A', QStringLiteral("TYPEA"), t7::kTypeA); });
    connect(typeB_, &QPushButton::clicked, this, [this] { setupCardType('B', QStringLiteral("TYPEB"), t7::kTypeB); });
    connect(iso15693_, &QPushButton::clicked, this,
            [this] { setupCardType('1', QStringLiteral("ISO15693"), t7::kIso15693); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

void CCardTypeSetDlg::setupCardType(unsigned char protocol, const QString &name, int setting)
{
    const int result = rz_config_card(handle_, protocol);
    const bool switched = (result & 0xFFFF) == 0;
    result_->setText(QStringLiteral("Setup card type") + name +
                     (switched ? QStringLiteral(" success!") : QStringLiteral(" failed!")));
    if (switched)
        t7::connection().cardTypeSetting = setting;
}

QString CCardTypeSetDlg::resultLine() const
{
    return result_->text();
}
