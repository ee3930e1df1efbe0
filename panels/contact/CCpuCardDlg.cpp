#include "panels/contact/CCpuCardDlg.h"

#include "panels/contact/ContactCards.h"
#include "reader/LibraryHex.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using t7::contact::deviceHandle;

namespace
{

constexpr unsigned char kCpuSlot = 0x0C;
constexpr unsigned char kSam1Slot = 0x0D;
constexpr unsigned char kSam2Slot = 0x0E;
constexpr unsigned char kSam3Slot = 0x0F;
constexpr int kAnswerToResetBytes = 255;
constexpr int kResponseBytes = 1024;

// Results are tested as 16-bit values.
bool succeeded(int result)
{
    return (result & 0xFFFF) == 0;
}

QString outcome(bool ok)
{
    return ok ? QStringLiteral(" success!") : QStringLiteral(" failed!");
}

unsigned char lowByte(int value)
{
    return static_cast<unsigned char>(value & 0xFF);
}

} // namespace

CCpuCardDlg::CCpuCardDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    bindFields();
    connectSignals();
}

void CCpuCardDlg::buildLayout()
{
    setObjectName(QStringLiteral("CCpuCardDlg"));
    setWindowTitle(QStringLiteral("CPU card operation"));

    auto *slotBox = new QGroupBox(this);
    slotBox->setObjectName(QStringLiteral("slotGroup"));
    slotBox->setAccessibleName(QStringLiteral("Slot"));
    auto *slotRow = new QHBoxLayout(slotBox);
    auto *group = new QButtonGroup(this);
    auto radio = [&](const QString &caption, const char *name) {
        auto *button = new QRadioButton(caption, slotBox);
        button->setObjectName(QString::fromLatin1(name));
        group->addButton(button);
        slotRow->addWidget(button);
        return button;
    };
    cpu_ = radio(QStringLiteral("CPU"), "cpu");
    sam1_ = radio(QStringLiteral("SAM1"), "sam1");
    sam2_ = radio(QStringLiteral("SAM2"), "sam2");
    sam3_ = radio(QStringLiteral("SAM3"), "sam3");
    slotRow->addStretch();

    auto *grid = new QGridLayout;
    int row = 0;
    auto field = [&](const QString &caption, const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        auto *label = new QLabel(caption, this);
        label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
        return edit;
    };
    resetEdit_ = field(QStringLiteral("reset info: "), "resetInfo");
    protocolEdit_ = field(QStringLiteral("Protocol: "), "protocol");
    timeEdit_ = field(QStringLiteral("time-para"), "timeParameter");
    commandEdit_ = field(QStringLiteral("data of command"), "command");
    returnedEdit_ = field(QStringLiteral("returned:"), "returned");
    grid->setColumnStretch(1, 1);

    reset_ = t7::makeNamedButton(QStringLiteral("Card Reset(&R)"), "reset", this);
    setup_ = t7::makeNamedButton(QStringLiteral("setup parameter "), "setupParameter", this);
    send_ = t7::makeNamedButton(QStringLiteral("Send(&S)"), "send", this);
    powerDown_ = t7::makeNamedButton(QStringLiteral("power down(&D)"), "powerDown", this);
    exit_ = t7::makeNamedButton(QStringLiteral("Exit(&E)"), "exit", this);
    grid->addWidget(reset_, 0, 2);
    grid->addWidget(setup_, 1, 2, 2, 1);
    grid->addWidget(send_, 3, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(powerDown_);
    buttons->addWidget(exit_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(slotBox);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(560);
}

void CCpuCardDlg::bindFields()
{
    fields_.bindText(commandEdit_, &command_);
    fields_.bindText(resetEdit_, &resetInfo_);
    fields_.bindText(returnedEdit_, &returned_);
    fields_.bindInt(protocolEdit_, &protocol_);
    fields_.bindInt(timeEdit_, &timeParameter_);
    fields_.write();
}

void CCpuCardDlg::connectSignals()
{
    connect(reset_, &QPushButton::clicked, this, &CCpuCardDlg::onReset);
    connect(setup_, &QPushButton::clicked, this, &CCpuCardDlg::onSetParameters);
    connect(send_, &QPushButton::clicked, this, &CCpuCardDlg::onSend);
    connect(powerDown_, &QPushButton::clicked, this, &CCpuCardDlg::onPowerDown);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}

void CCpuCardDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        opening();
    }
}

void CCpuCardDlg::opening()
{
    sam1_->setChecked(true);
    // Every reader with a card in SAM1 is asked; the last to answer stays.
    t7::contact::chooseReader([this](int handle) { return succeeded(rz_setcpu(handle, kSam1Slot)); },
                              t7::contact::ReaderChoice::LastAnswering);
}

unsigned char CCpuCardDlg::slotCode() const
{
    if (sam1_->isChecked())
        return kSam1Slot;
    if (sam2_->isChecked())
        return kSam2Slot;
    if (sam3_->isChecked())
        return kSam3Slot;
    if (cpu_->isChecked())
        return kCpuSlot;
    return 0;
}

void CCpuCardDlg::onReset()
{
    unsigned char length = 0;
    unsigned char answer[kAnswerToResetBytes] = {};
    const bool reset =
        succeeded(rz_setcpu(deviceHandle(), slotCode())) && succeeded(rz_cpureset(deviceHandle(), &length, answer));
    resetInfo_ = reset ? t7::libraryHexText(hex_a, answer, length).toUpper()
                       : QStringLiteral("Reset") + QStringLiteral(" failed!");
    // Only the answer: what is typed in the other fields stays.
    resetEdit_->setText(resetInfo_);
}

void CCpuCardDlg::onSetParameters()
{
    if (!fields_.read())
        return;
    const bool set = succeeded(rz_setcpupara(deviceHandle(), slotCode(), lowByte(protocol_), lowByte(timeParameter_)));
    t7::appBox(QStringLiteral("Setup") + QStringLiteral("Parameter") + outcome(set));
}

void CCpuCardDlg::onSend()
{
    if (!fields_.read())
        return;
    if (command_.size() > kMaxCommandCharacters) {
        t7::appBox(
            QStringLiteral("The command is too long: at most %1 hexadecimal digits!").arg(kMaxCommandCharacters));
        return;
    }
    const int count = int(command_.size() / 2);
    if (count == 0)
        return;
    auto command = t7::libraryHexBytes(a_hex, command_.left(2 * count), count);
    if (!command) {
        t7::appBox(QStringLiteral("Input data is incorrect!"));
        return;
    }
    unsigned char replyLength = 0;
    std::vector<unsigned char> reply(kResponseBytes, 0);
    if (succeeded(rz_cpuapdu(deviceHandle(), count, command->data(), &replyLength, reply.data())))
        returned_ = t7::libraryHexText(hex_a, reply.data(), replyLength);
    else
        returned_ = QStringLiteral("Command") + QStringLiteral(" failed!");
    fields_.write();
}

void CCpuCardDlg::onPowerDown()
{
    const bool down = succeeded(rz_cpudown(deviceHandle(), slotCode()));
    t7::appBox(QStringLiteral("CPU power off") + outcome(down));
}
