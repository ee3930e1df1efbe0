#include "panels/contact/C4442Dlg.h"

#include "panels/contact/C42CrwDlg.h"
#include "panels/contact/C42ProtectOperPageDlg.h"
#include "panels/contact/C42authenPageDlg.h"
#include "ui/NamedButton.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

C4442Dlg::C4442Dlg(int startPage, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("C4442Dlg"));
    setWindowTitle(QStringLiteral("4442 CARD"));

    password_ = new C42authenPageDlg(this);
    commonData_ = new C42CrwDlg(this);
    protect_ = new C42ProtectOperPageDlg(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("pages"));
    for (C42Page *page : std::initializer_list<C42Page *>{password_, commonData_, protect_})
        tabs_->addTab(page, page->caption());
    if (startPage >= 0 && startPage < tabs_->count())
        tabs_->setCurrentIndex(startPage);

    exit_ = t7::makeNamedButton(QStringLiteral("Exit(&E)"), "exit", this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exit_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}
