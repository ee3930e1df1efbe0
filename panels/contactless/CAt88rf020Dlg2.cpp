#include "panels/contactless/CAt88rf020Dlg2.h"

#include "panels/contactless/At88Entries.h"
#include "panels/contactless/At88KeyFile.h"
#include "panels/contactless/ContactlessWidgets.h"
#include "panels/contactless/HexLineList.h"
#include "reader/ConnectionState.h"
#include "reader/HexText.h"
#include "reader/LibraryHex.h"
#include "reader/ReaderResult.h"
#include "ui/CrLfText.h"
#include "ui/Fonts.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

using t7::contactless::caption;

namespace
{

constexpr int kPageDigits = 16;
constexpr int kPasswordPage = 3;

QString pageNumber(int page)
{
    return QStringLiteral("%1").arg(page, 2, 10, QLatin1Char('0'));
}

} // namespace

const QString CAt88rf020Dlg2::kMaskedPassword = QStringLiteral("** ** ** ** ** ** ** **");

CAt88rf020Dlg2::CAt88rf020Dlg2(QWidget *parent) : QDialog(parent), handle_(t7::connection().deviceHandle)
{
    buildLayout();
    connectSignals();
}

void CAt88rf020Dlg2::buildLayout()
{
    setObjectName(QStringLiteral("CAt88rf020Dlg2"));
    setWindowTitle(QStringLiteral("AT88RF020 CARD"));

    passwordField_ = t7::contactless::lineField(this, "password", 16, QStringLiteral("Password"));
    verify_ = t7::makeNamedButton(QStringLiteral("Verify"), "verify", this);
    auto *verifyNote = new QLabel(QStringLiteral("Note: Verify before Read and Write!"), this);
    verifyNote->setObjectName(QStringLiteral("verifyNote"));
    auto *replaceNote = new QLabel(QStringLiteral("Before Verify,card off reader,then replace it!"), this);
    replaceNote->setObjectName(QStringLiteral("replaceNote"));
    for (QLabel *note : {verifyNote, replaceNote})
        note->setFont(t7::boldFont());

    pages_ = new HexLineList(kPageDigits, 16, QStringLiteral("Page"), this);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->setLabels(0, 16);
    // The identity, counter and password pages are never written.
    pages_->setEditable([this](int line) { return pageRange_ != 1 || (line != 0 && line != 2 && line != 3); });
    reportView_ = t7::contactless::reportView(this, "report", QStringLiteral("Report"));
    reportView_->setMinimumWidth(
        reportView_->fontMetrics().horizontalAdvance(QStringLiteral("Write the00page success!")) + 40);

    readLow_ = t7::makeNamedButton(QStringLiteral("Read(0-15)"), "readLow", this);
    readHigh_ = t7::makeNamedButton(QStringLiteral("Read(16-31)"), "readHigh", this);
    write_ = t7::makeNamedButton(QStringLiteral("Write"), "write", this);
    updateKey_ = new QCheckBox(QStringLiteral("update key"), this);
    updateKey_->setObjectName(QStringLiteral("updateKey"));
    newKey_ = t7::contactless::lineField(this, "newKey", 16, QStringLiteral("New key"), true);
    updatePassword_ = t7::makeNamedButton(QStringLiteral("update PWD"), "updatePwd", this);
    count_ = t7::makeNamedButton(QStringLiteral("COUNT"), "count", this);
    halt_ = t7::makeNamedButton(QStringLiteral("HALT"), "halt", this);

    auto *top = new QGridLayout;
    top->addWidget(caption(this, QStringLiteral("Password"), passwordField_), 0, 0);
    top->addWidget(passwordField_, 0, 1);
    top->addWidget(verify_, 0, 2);
    top->addWidget(verifyNote, 1, 0, 1, 4);
    top->addWidget(replaceNote, 2, 0, 1, 4);
    top->setColumnStretch(3, 1);

    auto *strengthen = new QGroupBox(QStringLiteral("Strengthen test"), this);
    strengthen->setObjectName(QStringLiteral("strengthenTest"));
    auto *strengthenLayout = new QHBoxLayout(strengthen);
    strengthenLayout->addWidget(count_);
    strengthenLayout->addWidget(halt_);

    auto *side = new QVBoxLayout;
    side->addWidget(readLow_);
    side->addWidget(readHigh_);
    side->addWidget(write_);
    side->addSpacing(12);
    side->addWidget(updateKey_);
    side->addWidget(newKey_);
    side->addWidget(updatePassword_);
    side->addSpacing(12);
    side->addWidget(strengthen);
    side->addStretch();

    auto *middle = new QHBoxLayout;
    middle->addWidget(pages_, 0, Qt::AlignTop);
    middle->addWidget(reportView_, 1);
    middle->addLayout(side);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
}

void CAt88rf020Dlg2::connectSignals()
{
    connect(verify_, &QPushButton::clicked, this, &CAt88rf020Dlg2::onVerify);
    connect(readLow_, &QPushButton::clicked, this, &CAt88rf020Dlg2::onReadLow);
    connect(readHigh_, &QPushButton::clicked, this, &CAt88rf020Dlg2::onReadHigh);
    connect(write_, &QPushButton::clicked, this, &CAt88rf020Dlg2::onWrite);
    connect(updateKey_, &QCheckBox::toggled, this, &CAt88rf020Dlg2::onUpdateKeyToggled);
    connect(updatePassword_, &QPushButton::clicked, this, &CAt88rf020Dlg2::onUpdatePassword);
    connect(count_, &QPushButton::clicked, this, &CAt88rf020Dlg2::onCount);
    connect(halt_, &QPushButton::clicked, this, &CAt88rf020Dlg2::onHalt);
    connect(pages_, &HexLineList::editRefused, this, [this](int line) {
        showReport(
            QStringLiteral("Line %1 kept: a page needs %2 hexadecimal digits!").arg(pageNumber(line)).arg(kPageDigits));
    });
}

void CAt88rf020Dlg2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        opening();
    }
}

void CAt88rf020Dlg2::opening()
{
    disableGated();
    passwordField_->setText(t7::contactless::storedAt88Password());
    passwordField_->setFocus(Qt::OtherFocusReason);
}

void CAt88rf020Dlg2::disableGated()
{
    for (QWidget *gated :
         std::initializer_list<QWidget *>{updateKey_, newKey_, updatePassword_, readLow_, readHigh_, write_})
        gated->setEnabled(false);
}

void CAt88rf020Dlg2::enableGated()
{
    for (QWidget *gated : std::initializer_list<QWidget *>{updateKey_, readLow_, readHigh_, write_})
        gated->setEnabled(true);
    onUpdateKeyToggled();
}

void CAt88rf020Dlg2::onUpdateKeyToggled()
{
    const bool unlocked = updateKey_->isEnabled() && updateKey_->isChecked();
    newKey_->setEnabled(unlocked);
    updatePassword_->setEnabled(unlocked);
}

void CAt88rf020Dlg2::showReport(const QString &text)
{
    report_ = text;
    t7::showCrLfText(reportView_, report_);
}

void CAt88rf020Dlg2::onVerify()
{
    using Verification = t7::contactless::At88Entries::Verification;
    const std::optional<QString> password = t7::contactless::at88PasswordText(passwordField_->text());
    if (!password)
        return;
    switch (at88_.verify(handle_, *password, password_)) {
    case Verification::FindFailed:
        showReport(QStringLiteral("Find card failed!"));
        return;
    case Verification::FindError:
        showReport(QStringLiteral("Find card error!"));
        return;
    case Verification::Refused:
        showReport(QStringLiteral("Authenticate failed!"));
        disableGated();
        return;
    case Verification::Accepted:
        showReport(QStringLiteral("Authenticate success!"));
        enableGated();
        return;
    }
}

void CAt88rf020Dlg2::readButton(int first, int end, int range)
{
    pages_->clear();
    showReport(QString());
    QString report;
    for (int page = first; page < end; ++page) {
        QString line = QStringLiteral("Read the") + pageNumber(page);
        unsigned char data[8] = {};
        if (t7::succeeded(at88_.rz_read_at(handle_, static_cast<unsigned char>(page), password_.data(), data))) {
            pages_->addLine(page == kPasswordPage ? kMaskedPassword
                                                  : t7::InsertHexSpaces(t7::libraryHexText(at88_.hex_a, data, 8)));
            line += QStringLiteral("page success!");
        } else {
            pages_->addLine(QString());
            line += QStringLiteral("page failed!");
        }
        if (page != end - 1)
            line += QStringLiteral("\r\n");
        report += line;
    }
    showReport(report);
    pageRange_ = range;
    pages_->setLabels(first, end - first);
    disableGated();
}

void CAt88rf020Dlg2::onReadLow()
{
    readButton(0, 16, 1);
}

void CAt88rf020Dlg2::onReadHigh()
{
    readButton(16, 32, 2);
}

void CAt88rf020Dlg2::onWrite()
{
    pages_->commitEdit();
    const int first = pageRange_ == 1 ? 0 : 16;
    QString report;
    for (int page = first; page < first + 16; ++page) {
        if (pageRange_ == 1 && page <= kPasswordPage) {
            report += QStringLiteral("\r\n");
            continue;
        }
        QString text = pages_->line(page - first);
        text.remove(QLatin1Char(' '));
        if (text.isEmpty())
            return; // the report and the controls stay as they are
        std::optional<std::vector<unsigned char>> data = t7::libraryHexBytes(at88_.a_hex, text.left(kPageDigits), 8);
        const bool written =
            data && t7::succeeded(at88_.rz_write_at(handle_, static_cast<unsigned char>(page), data->data()));
        report += QStringLiteral("Write the") + pageNumber(page) +
                  (written ? QStringLiteral("page success!") : QStringLiteral("page failed!")) + QStringLiteral("\r\n");
    }
    showReport(report);
    disableGated();
}

void CAt88rf020Dlg2::onUpdatePassword()
{
    const std::optional<QString> password = t7::contactless::at88PasswordText(newKey_->text());
    if (!password)
        return;
    t7::contactless::At88Password key = at88_.passwordBytes(*password);
    const int result = at88_.rz_changekey_at(handle_, key.data());
    const bool changed = t7::succeeded(result);
    const bool recorded =
        changed && t7::contactless::recordAt88Password(*password) == t7::contactless::KeyRecord::Written;
    t7::appBox(QStringLiteral("Update") + (changed ? QStringLiteral(" success!") : QStringLiteral(" failed!")));
    if (changed && !recorded)
        t7::appBox(t7::contactless::passwordNotRecordedText());
    disableGated();
}

void CAt88rf020Dlg2::onCount()
{
    showReport(t7::succeeded(at88_.rz_count_at(handle_, 0, password_.data())) ? QStringLiteral("rz_count_at OK!")
                                                                              : QStringLiteral("rz_count_at Error!"));
}

void CAt88rf020Dlg2::onHalt()
{
    showReport(t7::succeeded(at88_.rz_halt_at(handle_, 0, password_.data())) ? QStringLiteral("rz_halt_at OK!")
                                                                             : QStringLiteral("rz_halt_at Error!"));
}
