#include "panels/contact/C42ProtectOperPageDlg.h"

#include "panels/contact/ContactCards.h"
#include "reader/LibraryHex.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using t7::contact::deviceHandle;

namespace
{

constexpr int kProtectionBytes = 4;
// The last protectable byte; the card compares the data given from there on.
constexpr int kProtectAddress = 31;

} // namespace

C42ProtectOperPageDlg::C42ProtectOperPageDlg(QWidget *parent) : C42Page(QStringLiteral("Protect Zone"), parent)
{
    setObjectName(QStringLiteral("C42ProtectOperPageDlg"));
    buildLayout();
    fields_.bindText(bitsEdit_, &protectionBits_);
    connect(read_, &QPushButton::clicked, this, &C42ProtectOperPageDlg::onReadProtection);
    connect(write_, &QPushButton::clicked, this, &C42ProtectOperPageDlg::onWriteProtection);
}

void C42ProtectOperPageDlg::buildLayout()
{
    read_ = t7::makeNamedButton(QStringLiteral("Read protect bit"), "readProtection", this);
    write_ = t7::makeNamedButton(QStringLiteral("Write protect bit"), "writeProtection", this);
    bitsEdit_ = new QLineEdit(this);
    bitsEdit_->setObjectName(QStringLiteral("protectionBits"));
    bitsEdit_->setMaxLength(3 * kProtectionBytes);
    bitsEdit_->setAccessibleName(QStringLiteral("Protection bits"));
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("result"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(read_, 0, 0);
    grid->addWidget(write_, 1, 0);
    grid->addWidget(bitsEdit_, 1, 1);
    grid->addWidget(result_, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
}

void C42ProtectOperPageDlg::firstShown()
{
    chooseReader();
}

void C42ProtectOperPageDlg::onReadProtection()
{
    fields_.read();
    unsigned char bits[kProtectionBytes] = {};
    if (rz_getProtectData_4442(deviceHandle(), 0, bits, kProtectionBytes) != 0) {
        result_->setText(QStringLiteral("Read") + QStringLiteral(" protection bits") + QStringLiteral(" failed!"));
        return;
    }
    protectionBits_ = t7::contact::pairsEachFollowedByBlank(t7::libraryHexText(hex_a, bits, kProtectionBytes));
    fields_.write();
}

void C42ProtectOperPageDlg::onWriteProtection()
{
    t7::contact::Sle4442State &state = t7::contact::sle4442();
    if (!state.pscVerified) {
        t7::appBox(QStringLiteral("Password authentication first please!"));
        return;
    }
    std::array<unsigned char, 3> psc = state.verifiedPsc;
    const bool done = rz_setProtectData_4442(deviceHandle(), kProtectAddress, psc.data(), int(psc.size())) == 0;
    result_->setText(QStringLiteral("Write") + QStringLiteral(" protection bits") +
                     (done ? QStringLiteral(" success!") : QStringLiteral(" failed!")));
}
