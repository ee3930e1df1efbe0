#include "panels/device/CMoreTestDlg.h"

#include "panels/device/ComFuncTest.h"
#include "panels/device/DevFunTestPage.h"
#include "panels/device/DevicePanels.h"

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

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(pages_, 1);
    layout->addLayout(t7::device::exitRow(this, QStringLiteral("Exit(&E)")));
}
