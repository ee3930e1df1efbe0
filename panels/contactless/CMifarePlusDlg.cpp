#include "panels/contactless/CMifarePlusDlg.h"

#include "panels/contactless/CMfPlusLevel0Page.h"
#include "panels/contactless/CMfPlusLevel1Page.h"
#include "panels/contactless/CMfPlusLevel2Page.h"
#include "panels/contactless/CMfPlusLevel3Page.h"
#include "reader/ConnectionState.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>

CMifarePlusDlg::CMifarePlusDlg(QWidget *parent)
    : QDialog(parent), card_(std::make_unique<CMfPlusCard>(t7::connection().deviceHandle))
{
    setObjectName(QStringLiteral("CMifarePlusDlg"));
    setWindowTitle(QStringLiteral("MF-PLUS"));

    results_ = new QListWidget(this);
    results_->setObjectName(QStringLiteral("results"));
    results_->setAccessibleName(QStringLiteral("Results"));
    results_->setFocusPolicy(Qt::NoFocus);
    results_->setFixedHeight(QFontMetrics(results_->font()).lineSpacing() * kLogLines + 2 * results_->frameWidth() + 8);

    const CMfPlusPage::Log log = [this](const QString &line) { logLine(line); };
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->addTab(new CMfPlusLevel0Page(*card_, log), QStringLiteral("Level 0"));
    pages_->addTab(new CMfPlusLevel1Page(*card_, log), QStringLiteral("Level 1"));
    pages_->addTab(new CMfPlusLevel2Page(*card_, log), QStringLiteral("Level 2"));
    pages_->addTab(new CMfPlusLevel3Page(*card_, log), QStringLiteral("Level 3"));
    pages_->setCurrentIndex(0);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addWidget(results_);
}

void CMifarePlusDlg::logLine(const QString &line)
{
    if (results_->count() >= kLogLines)
        results_->clear();
    results_->addItem(line);
}
