#include "panels/device/CMoreTestDlg.h"

#include "panels/device/ComFuncTest.h"
#include "panels/device/DevFunTestPage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CMoreTestDlg::CMoreTestDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CMoreTestDlg"));
    setWindowTitle(QStringLiteral("More Test"));

    common_ = new ComFuncTest(this);
    device_ = new DevFunTestPage(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->addTab(common_, ComFuncTest::caption());
    pages_->addTab(device_, DevFunTestPage::caption());
    pages_->setCurrentWidget(device_);

    exit_ = new QPushButton(QStringLiteral("Exit(&E)"), this);
    exit_->setObjectName(QStringLiteral("exit"));
    exit_->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exit_);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);

    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}
