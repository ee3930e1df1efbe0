#include "panels/contactless/CAt88rf020Dlg.h"

#include "panels/contactless/At88Entries.h"
#include "panels/contactless/At88KeyFile.h"
#include "panels/contactless/CAt88rf020Dlg2.h"
#include "panels/contactless/ContactlessWidgets.h"
#include "reader/ConnectionState.h"
#include "reader/LibraryHex.h"
#include "reader/ReaderResult.h"
#include "ui/CrLfText.h"
#include "ui/ModalRunner.h"
#include "ui/NamedButton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <vector>

using t7::contactless::caption;

namespace
{

constexpr int kReplySize = 256;
// The library takes the command's length as one byte.
constexpr int kMaxCommandBytes = 255;

QString outcome(const QString &what, int result)
{
    return what + (t7::succeeded(result) ? QStringLiteral(" success!") : QStringLiteral(" failed!"));
}

} // namespace

const QStringList CAt88rf020Dlg::kExamples = {QStringLiteral("10000000000000000000"),
                                              QStringLiteral("50000000000000000000")};

CAt88rf020Dlg::CAt88rf020Dlg(QWidget *parent) : QDialog(parent), handle_(t7::connection().deviceHandle)
{
    buildLayout();
    connectSignals();
}

void CAt88rf020Dlg::buildLayout()
{
    setObjectName(QStringLiteral("CAt88rf020Dlg"));
    setWindowTitle(QStringLiteral("AT88RF020 CARD"));

    password_ = t7::contactless::lineField(this, "password", 16, QStringLiteral("Password:"), true);
    verify_ = t7::makeNamedButton(QStringLiteral("Verify"), "verify", this);
    examples_ = new QComboBox(this);
    examples_->setObjectName(QStringLiteral("examples"));
    examples_->setAccessibleName(QStringLiteral("Example commands"));
    examples_->addItem(QStringLiteral("[ example ]"));
    examples_->addItems(kExamples);
    command_ = new QPlainTextEdit(this);
    command_->setObjectName(QStringLiteral("command"));
    command_->setAccessibleName(QStringLiteral("Command"));
    command_->setTabChangesFocus(true);
    command_->setFixedHeight(3 * command_->fontMetrics().lineSpacing() + 12);
    transmit_ = t7::makeNamedButton(QStringLiteral("Transmit command"), "transmit", this);
    application_ = t7::makeNamedButton(QStringLiteral("A Application"), "application", this);
    newPassword_ = t7::contactless::lineField(this, "newPassword", 16, QStringLiteral("New password"), true);
    updatePassword_ = t7::makeNamedButton(QStringLiteral("Update password"), "updatePassword", this);
    logView_ = t7::contactless::reportView(this, "log", QStringLiteral("Log"));
    logView_->setMinimumHeight(8 * logView_->fontMetrics().lineSpacing());
    clear_ = t7::makeNamedButton(QStringLiteral("Clear"), "clear", this);
    exit_ = t7::makeNamedButton(QStringLiteral("Exit"), "exit", this);

    auto *grid = new QGridLayout;
    grid->addWidget(caption(this, QStringLiteral("Password:"), password_), 0, 0);
    grid->addWidget(password_, 0, 1);
    grid->addWidget(verify_, 0, 2);
    grid->addWidget(application_, 0, 3);
    grid->addWidget(examples_, 1, 1);
    grid->addWidget(command_, 2, 0, 1, 3);
    grid->addWidget(transmit_, 2, 3, Qt::AlignTop);
    grid->addWidget(newPassword_, 3, 1);
    grid->addWidget(updatePassword_, 3, 2);
    grid->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(clear_);
    buttons->addWidget(exit_);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(logView_, 1);
    layout->addLayout(buttons);
}

void CAt88rf020Dlg::connectSignals()
{
    connect(verify_, &QPushButton::clicked, this, &CAt88rf020Dlg::onVerify);
    connect(transmit_, &QPushButton::clicked, this, &CAt88rf020Dlg::onTransmit);
    connect(examples_, &QComboBox::currentIndexChanged, this, &CAt88rf020Dlg::onExampleChosen);
    connect(updatePassword_, &QPushButton::clicked, this, &CAt88rf020Dlg::onUpdatePassword);
    connect(clear_, &QPushButton::clicked, this, &CAt88rf020Dlg::onClear);
    connect(application_, &QPushButton::clicked, this, &CAt88rf020Dlg::onApplication);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}

void CAt88rf020Dlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        opening();
    }
}

void CAt88rf020Dlg::opening()
{
    password_->setText(t7::contactless::storedAt88Password());
    onClear();
    {
        const QSignalBlocker quiet(examples_);
        examples_->setCurrentIndex(0);
    }
    setGatedEnabled(false);
}

void CAt88rf020Dlg::setGatedEnabled(bool enabled)
{
    for (QWidget *gated : std::initializer_list<QWidget *>{examples_, newPassword_, updatePassword_, transmit_})
        gated->setEnabled(enabled);
}

void CAt88rf020Dlg::appendLog(const QString &line)
{
    log_ += line + QStringLiteral("\r\n");
    t7::showCrLfText(logView_, log_);
}

void CAt88rf020Dlg::onVerify()
{
    using Verification = t7::contactless::At88Entries::Verification;
    const std::optional<QString> password = t7::contactless::at88PasswordText(password_->text());
    if (!password)
        return;
    t7::contactless::At88Password key{};
    switch (at88_.verify(handle_, *password, key)) {
    case Verification::FindFailed:
        appendLog(QStringLiteral("Find card failed!"));
        return;
    case Verification::FindError:
        appendLog(QStringLiteral("Find card error!"));
        return;
    case Verification::Refused:
        appendLog(QStringLiteral("Authenticate failed!"));
        setGatedEnabled(false);
        return;
    case Verification::Accepted:
        appendLog(QStringLiteral("Authenticate success!"));
        setGatedEnabled(true);
        return;
    }
}

void CAt88rf020Dlg::onTransmit()
{
    sendCommand(command_->toPlainText());
}

void CAt88rf020Dlg::onExampleChosen(int index)
{
    if (index > 0)
        sendCommand(examples_->itemText(index));
}

void CAt88rf020Dlg::sendCommand(const QString &text)
{
    if (text.isEmpty()) {
        appendLog(QStringLiteral("The median is not enough!"));
        return;
    }
    if (text.size() > kMaxCommandText) {
        appendLog(QStringLiteral("The command is longer than %1 characters!").arg(kMaxCommandText));
        return;
    }
    const int count = static_cast<int>(text.size() / 2);
    if (count > kMaxCommandBytes) {
        appendLog(QStringLiteral("The command is longer than %1 bytes!").arg(kMaxCommandBytes));
        return;
    }
    // An odd last character is left out.
    std::optional<std::vector<unsigned char>> command = t7::libraryHexBytes(at88_.a_hex, text.left(2 * count), count);
    if (!command) {
        appendLog(QStringLiteral("Input data is incorrect!"));
        return;
    }
    unsigned char reply[kReplySize] = {};
    unsigned char replyLength = 0;
    const int result =
        rz_CommandLink_at(handle_, command->data(), static_cast<unsigned char>(count), reply, &replyLength);
    appendLog(outcome(QStringLiteral("Command"), result));
    if (!t7::succeeded(result))
        return;
    // Sized to the reply, however long it is.
    appendLog(t7::libraryHexText(at88_.hex_a, reply, replyLength));
}

void CAt88rf020Dlg::onUpdatePassword()
{
    const std::optional<QString> password = t7::contactless::at88PasswordText(newPassword_->text());
    if (!password)
        return;
    t7::contactless::At88Password key = at88_.passwordBytes(*password);
    const int result = at88_.rz_changekey_at(handle_, key.data());
    appendLog(outcome(QStringLiteral("Update"), result));
    if (!t7::succeeded(result))
        return;
    using t7::contactless::KeyRecord;
    const KeyRecord record = t7::contactless::recordAt88Password(*password);
    if (record != KeyRecord::NotOpened)
        setGatedEnabled(false); // the new password must be verified
    if (record != KeyRecord::Written)
        appendLog(t7::contactless::passwordNotRecordedText());
}

void CAt88rf020Dlg::onClear()
{
    log_.clear();
    logView_->clear();
}

void CAt88rf020Dlg::onApplication()
{
    CAt88rf020Dlg2 pages(this);
    t7::runModal(pages);
}
