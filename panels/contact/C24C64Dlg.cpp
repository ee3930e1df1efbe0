#include "panels/contact/C24C64Dlg.h"

#include "panels/contact/ContactCards.h"
#include "panels/contact/MemoryLinesView.h"
#include "ui/HexEdits.h"
#include "ui/InPlaceLineEditor.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using t7::contact::deviceHandle;

namespace
{

constexpr int kPageBytes = 256;
constexpr int kPages = 32;

QString summary(const QString &operation, bool allLines)
{
    return operation + QStringLiteral(" card ") +
           (allLines ? QStringLiteral(" complete!") : QStringLiteral(" failed!"));
}

} // namespace

C24C64Dlg::C24C64Dlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    fields_.bindInt(pageEdit_, &page_, 1, kPages);
    fields_.write();
    view_->setLines(t7::contact::placeholderLines());
    connect(read_, &QPushButton::clicked, this, &C24C64Dlg::onReadPage);
    connect(write_, &QPushButton::clicked, this, &C24C64Dlg::onWritePage);
}

void C24C64Dlg::buildLayout()
{
    setObjectName(QStringLiteral("C24C64Dlg"));
    setWindowTitle(QStringLiteral("24C64 CARD"));

    pageEdit_ = new CDecEdit(this);
    pageEdit_->setObjectName(QStringLiteral("page"));
    pageEdit_->setMaxLength(2);
    auto *pageLabel = new QLabel(QStringLiteral("page:"), this);
    pageLabel->setObjectName(QStringLiteral("pageLabel"));
    pageLabel->setBuddy(pageEdit_);
    auto *hint = new QLabel(QStringLiteral("(1-32)"), this);
    hint->setObjectName(QStringLiteral("pageHint"));
    read_ = t7::makeNamedButton(QStringLiteral("Read"), "read", this);
    write_ = t7::makeNamedButton(QStringLiteral("Write"), "write", this);
    view_ = new MemoryLinesView(t7::contact::lineNumbers(), 0, this);
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("result"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(view_, 0, 0, 5, 1, Qt::AlignTop);
    grid->addWidget(pageLabel, 0, 1);
    grid->addWidget(pageEdit_, 0, 2);
    grid->addWidget(hint, 0, 3);
    grid->addWidget(read_, 1, 1, 1, 3);
    grid->addWidget(write_, 2, 1, 1, 3);
    grid->addWidget(result_, 5, 0, 1, 4);
    grid->setRowStretch(4, 1);
}

bool C24C64Dlg::cardAndPageReady()
{
    if (rz_check_24c64(deviceHandle()) != 0) {
        t7::appBox(QStringLiteral("Please check whether or not have card insert!"));
        return false;
    }
    return fields_.read();
}

int C24C64Dlg::pageAddress() const
{
    return kPageBytes * (page_ - 1);
}

void C24C64Dlg::onReadPage()
{
    if (!cardAndPageReady())
        return;
    const std::vector<int> failed = view_->readLines(
        pageAddress(),
        [this](int address, unsigned char *bytes) {
            return rz_read_24c64(deviceHandle(), address, t7::contact::kLineBytes, bytes) == 0;
        },
        hex_a);
    t7::appBox(summary(QStringLiteral("Read"), failed.empty()));
}

void C24C64Dlg::onWritePage()
{
    if (!cardAndPageReady())
        return;
    view_->commitEdit();
    // No line goes to the card unless every line holds its 16 bytes.
    if (!view_->holdsWholeLines()) {
        t7::appBox(QStringLiteral("Input data is incorrect!"));
        return;
    }
    const std::vector<int> failed = view_->writeLines(
        pageAddress(),
        [this](int address, unsigned char *bytes) {
            return rz_write_24c64(deviceHandle(), address, t7::contact::kLineBytes, bytes) == 0;
        },
        a_hex);
    t7::appBox(summary(QStringLiteral("Write"), failed.empty()));
}
