#include "panels/contact/C42authenPageDlg.h"

#include "panels/contact/ContactCards.h"
#include "reader/LibraryHex.h"
#include "ui/Fonts.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

using t7::contact::deviceHandle;

namespace
{

constexpr int kPscBytes = 3;
constexpr int kPscDigits = 2 * kPscBytes;

} // namespace

C42authenPageDlg::C42authenPageDlg(QWidget *parent) : C42Page(QStringLiteral("Password"), parent)
{
    setObjectName(QStringLiteral("C42authenPageDlg"));
    t7::contact::sle4442().pscVerified = false;
    buildLayout();
    fields_.bindText(verifyEdit_, &verifyPsc_);
    fields_.bindText(newEdit_, &newPsc_);
    fields_.write();
    connect(verify_, &QPushButton::clicked, this, &C42authenPageDlg::onVerify);
    connect(update_, &QPushButton::clicked, this, &C42authenPageDlg::onUpdate);
}

void C42authenPageDlg::buildLayout()
{
    verifyEdit_ = new QLineEdit(this);
    verifyEdit_->setObjectName(QStringLiteral("verifyPsc"));
    verifyEdit_->setMaxLength(kPscDigits);
    auto *verifyLabel = captionLabel(QStringLiteral("Verify password"), verifyEdit_, "verifyPscLabel");
    verify_ = t7::makeNamedButton(QStringLiteral("Verify(&A)"), "verify", this);

    newEdit_ = new QLineEdit(this);
    newEdit_->setObjectName(QStringLiteral("newPsc"));
    newEdit_->setMaxLength(kPscDigits);
    auto *newLabel = captionLabel(QStringLiteral("New Password:"), newEdit_, "newPscLabel");
    update_ = t7::makeNamedButton(QStringLiteral("Update(&C)"), "update", this);

    lockNote_ = new QLabel(QStringLiteral("Note: three wrong passwords in a row lock the card for ever!"), this);
    lockNote_->setObjectName(QStringLiteral("lockNote"));
    lockNote_->setWordWrap(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("updateStatus"));
    for (QLabel *label : {lockNote_, status_})
        label->setFont(t7::boldFont());

    auto *grid = new QGridLayout(this);
    grid->addWidget(verifyLabel, 0, 0);
    grid->addWidget(verifyEdit_, 0, 1);
    grid->addWidget(verify_, 0, 2);
    grid->addWidget(newLabel, 1, 0);
    grid->addWidget(newEdit_, 1, 1);
    grid->addWidget(update_, 1, 2);
    grid->addWidget(status_, 2, 1, 1, 3);
    grid->addWidget(lockNote_, 3, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);
}

void C42authenPageDlg::firstShown()
{
    chooseReader();
}

void C42authenPageDlg::onVerify()
{
    fields_.read();
    // Only a whole code goes to the card: a short or non-hex one would spend
    // an attempt on bytes nobody typed.
    const auto psc = t7::libraryHexBytes(a_hex, verifyPsc_, kPscBytes);
    if (!psc) {
        t7::appBox(QStringLiteral("Input data is incorrect!"));
        return;
    }
    std::vector<unsigned char> bytes = *psc;
    if (rz_authentikey_4442(deviceHandle(), 0, kPscBytes, bytes.data()) != 0) {
        t7::appBox(QStringLiteral("Password authtication failed!"));
        return;
    }
    t7::appBox(QStringLiteral("Password authentication success!"));
    t7::contact::Sle4442State &state = t7::contact::sle4442();
    state.pscVerified = true;
    std::copy(bytes.begin(), bytes.end(), state.verifiedPsc.begin());
}

void C42authenPageDlg::onUpdate()
{
    fields_.read();
    if (newPsc_.size() < kPscDigits) {
        t7::appBox(QStringLiteral("Length of chars inserted not enough!"));
        return;
    }
    auto psc = t7::libraryHexBytes(a_hex, newPsc_.left(kPscDigits), kPscBytes);
    if (!psc) {
        t7::appBox(QStringLiteral("Input data is incorrect!"));
        return;
    }
    const bool changed = rz_changkey_4442(deviceHandle(), 0, kPscBytes, psc->data()) == 0;
    status_->setText(QStringLiteral("password") + QStringLiteral("Update") +
                     (changed ? QStringLiteral(" success!") : QStringLiteral(" failed!")));
    fields_.write();
}
