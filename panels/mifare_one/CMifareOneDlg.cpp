#include "panels/mifare_one/CMifareOneDlg.h"

#include "panels/mifare_one/AuthenPageDlg.h"
#include "panels/mifare_one/AutoTestPageDlg.h"
#include "panels/mifare_one/CLoadKeyPageDlg.h"
#include "panels/mifare_one/ChangKeyPageDlg.h"
#include "panels/mifare_one/MifareOne.h"
#include "panels/mifare_one/RwOperPageDlg.h"
#include "panels/mifare_one/ValOperPageDlg.h"
#include "ui/DialogLook.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

CMifareOneDlg::CMifareOneDlg(int startPage, QWidget *parent) : QDialog(parent), startPage_(startPage)
{
    setObjectName(QStringLiteral("mifareOneDialog"));
    setWindowTitle(QStringLiteral("Mifare One CARD"));
    QPalette look = palette();
    look.setColor(QPalette::Window, t7::kDialogBackground);
    setPalette(look);

    verifyKey_ = new AuthenPageDlg(this);
    readWrite_ = new RwOperPageDlg(this);
    autoTest_ = new AutoTestPageDlg(this);
    updateKey_ = new ChangKeyPageDlg(this);
    value_ = new ValOperPageDlg(this);
    loadKey_ = new CLoadKeyPageDlg(this);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("pages"));
    // In tab order, so the sheet is sized for its pages before it opens.
    for (CMifarePage *page : tabOrder())
        tabs_->addTab(page, page->caption());
    // Every tab in sight (no page behind the tab bar's scroll arrows) and
    // every page whole.
    int width = tabs_->tabBar()->sizeHint().width() + 8;
    for (CMifarePage *page : tabOrder())
        width = std::max(width, page->minimumSizeHint().width() + 8);
    tabs_->setMinimumWidth(width);
    exitButton_ = new QPushButton(QStringLiteral("Exit(&E)"), this);
    exitButton_->setObjectName(QStringLiteral("exitButton"));
    exitButton_->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exitButton_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);

    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);
}

int CMifareOneDlg::tabForStartPage(int startPage)
{
    switch (startPage) {
    case 0:
        return 1; // Verify Key
    case 1:
        return 2; // Read and write
    case 2:
        return 3; // Auto Test
    case 4:
        return 4; // Value Operate
    case 6:
        return 5; // Update Key
    default:
        return 0; // Load key (7 and anything unknown)
    }
}

std::vector<CMifarePage *> CMifareOneDlg::tabOrder() const
{
    return {loadKey_, verifyKey_, readWrite_, autoTest_, value_, updateKey_};
}

void CMifareOneDlg::showEvent(QShowEvent *event)
{
    if (!opened_) {
        opened_ = true;
        openSheet();
    }
    QDialog::showEvent(event);
}

void CMifareOneDlg::openSheet()
{
    for (CMifarePage *page : tabOrder())
        page->opening();
    tabs_->setCurrentIndex(tabForStartPage(startPage_));
    connect(tabs_, &QTabWidget::currentChanged, this, &CMifareOneDlg::onCurrentChanged);
    onCurrentChanged(tabs_->currentIndex());
    if (t7::mifare::state().cardKind == t7::mifare::kCardKindS70)
        setWindowTitle(QStringLiteral("S70 operation"));
}

void CMifareOneDlg::onCurrentChanged(int index)
{
    if (auto *page = qobject_cast<CMifarePage *>(tabs_->widget(index)))
        page->activated();
}

void CMifareOneDlg::done(int result)
{
    // No Auto Test worker may outlive the sheet.
    autoTest_->stopWorker();
    QDialog::done(result);
}
