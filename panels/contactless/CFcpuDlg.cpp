#include "panels/contactless/CFcpuDlg.h"

#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "reader/LibraryHex.h"
#include "reader/ReaderResult.h"
#include "ui/CGradientButton.h"
#include "ui/ColoredControls.h"
#include "ui/CrLfText.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

constexpr int kBufferSize = 256;
constexpr int kAtqbBuffer = 36;
constexpr int kAtqbLength = 14;
// The link's frame waiting time and frame size arguments, as the reader expects them.
constexpr unsigned char kCommandTimeout = 7;
constexpr unsigned char kCommandFrameSize = 52;
constexpr unsigned short kRfResetDuration = 2;

int deviceHandle()
{
    return t7::connection().deviceHandle;
}

CGradientButton *makeButton(const QString &caption, const char *name, QWidget *parent)
{
    auto *button = new CGradientButton(parent);
    button->setText(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setMinimumSize(110, 30);
    return button;
}

} // namespace

CFcpuDlg::CFcpuDlg(int cardKind, QWidget *parent) : QDialog(parent), cardKind_(cardKind)
{
    buildLayout();
    fields_.bindText(commandEdit_, &command_);
    connect(cardReset_, &QPushButton::clicked, this, &CFcpuDlg::onCardReset);
    connect(rfReset_, &QPushButton::clicked, this, &CFcpuDlg::onRfReset);
    connect(sendCommand_, &QPushButton::clicked, this, &CFcpuDlg::onSendCommand);
    connect(clear_, &QPushButton::clicked, this, &CFcpuDlg::onClear);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}

void CFcpuDlg::buildLayout()
{
    setObjectName(QStringLiteral("CFcpuDlg"));
    setWindowTitle(cardKind_ == kTypeB ? QStringLiteral("CPU") + QStringLiteral(" card ") + QStringLiteral(" [ TYPEB ]")
                                       : QStringLiteral("FCPU"));

    // Made in the order they stand, which is the order the focus takes.
    rfReset_ = makeButton(QStringLiteral("RF reset"), "rfReset", this);
    cardReset_ = makeButton(QStringLiteral("Card reset"), "cardReset", this);
    sendCommand_ = makeButton(QStringLiteral("sent command"), "sendCommand", this);
    clear_ = makeButton(QStringLiteral("clear"), "clear", this);
    exit_ = makeButton(QStringLiteral("exit"), "exit", this);

    note_ = new CRedStatic(this);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setText(QStringLiteral(
        "Please click the \u201cRF reset\u201d BUTTON before card reset,otherwise operate maybe faile."));

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    commandEdit_ = new QPlainTextEdit(this);
    commandEdit_->setObjectName(QStringLiteral("command"));
    commandEdit_->setAccessibleName(QStringLiteral("Command"));
    commandEdit_->setFont(fixed);
    commandEdit_->setFixedHeight(70);
    logView_ = new QPlainTextEdit(this);
    logView_->setObjectName(QStringLiteral("log"));
    logView_->setAccessibleName(QStringLiteral("Log"));
    logView_->setReadOnly(true);
    logView_->setFont(fixed);
    logView_->setMinimumSize(520, 260);

    auto *buttons = new QHBoxLayout;
    for (CGradientButton *button : {rfReset_, cardReset_, sendCommand_, clear_, exit_})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note_);
    layout->addLayout(buttons);
    layout->addWidget(commandEdit_);
    layout->addWidget(logView_, 1);
}

void CFcpuDlg::appendLine(const QString &line)
{
    log_ = line + QStringLiteral("\r\n") + log_;
    t7::showCrLfText(logView_, log_);
}

QString CFcpuDlg::hexText(const unsigned char *bytes, int count)
{
    return t7::libraryHexText(hex_a, bytes, count);
}

void CFcpuDlg::onRfReset()
{
    appendLine(t7::succeeded(rz_reset(deviceHandle(), kRfResetDuration)) ? QStringLiteral("rz_reset OK!")
                                                                         : QStringLiteral("rz_reset Error!"));
}

void CFcpuDlg::onCardReset()
{
    unsigned char information[kBufferSize] = {};
    int length = 0;
    const bool reset = cardKind_ == kTypeB ? resetTypeB(&length, information) : resetTypeA(&length, information);
    if (!reset)
        return;
    appendLine(QStringLiteral("Card reset OK!"));
    appendLine(QStringLiteral("Reset Information: ") + hexText(information, length));
}

// A card that gives no serial number may still answer the reset.
bool CFcpuDlg::resetTypeA(int *length, unsigned char *information)
{
    unsigned int serial = 0;
    if (t7::GetCardSerial(deviceHandle(), serial).isEmpty()) {
        appendLine(QStringLiteral("rz_card Error!"));
    } else {
        appendLine(QStringLiteral("rz_card OK!"));
        appendLine(QString::asprintf("Card Serial Number: %u", serial));
    }
    unsigned char n = 0;
    if (!t7::succeeded(rz_pro_reset(deviceHandle(), &n, information))) {
        appendLine(QStringLiteral("rz_pro_reset Error!"));
        return false;
    }
    *length = n;
    return true;
}

// The reset information of a TYPE B card is its answer to the request.
bool CFcpuDlg::resetTypeB(int *length, unsigned char *information)
{
    unsigned char answer[kAtqbBuffer] = {};
    if (!t7::succeeded(rz_request_b(deviceHandle(), 0, 0, 0, answer))) {
        appendLine(QStringLiteral("Find card failed!"));
        return false;
    }
    unsigned char identifier[4];
    std::copy(answer + 1, answer + 5, identifier);
    if (!t7::succeeded(rz_attrib(deviceHandle(), identifier, 0))) {
        appendLine(QStringLiteral("Find card error!"));
        return false;
    }
    std::copy(answer, answer + kAtqbLength, information);
    *length = kAtqbLength;
    return true;
}

void CFcpuDlg::onSendCommand()
{
    fields_.read();
    if (command_.size() > kMaxCommandCharacters) {
        appendLine(QStringLiteral("Command too long! At most %1 characters.").arg(kMaxCommandCharacters));
        return;
    }
    const int length = static_cast<int>(command_.size() / 2);
    unsigned char command[kBufferSize] = {};
    QByteArray text = command_.toLatin1();
    a_hex(command, text.data(), length);
    unsigned char replyLength = 0;
    unsigned char reply[kBufferSize] = {};
    if (!t7::succeeded(rz_pro_commandlink(deviceHandle(), static_cast<unsigned char>(length), command, &replyLength,
                                          reply, kCommandTimeout, kCommandFrameSize))) {
        appendLine(QStringLiteral("Command Error!"));
        return;
    }
    appendLine(QStringLiteral("Command OK!"));
    appendLine(QStringLiteral("Returned Information: ") + hexText(reply, replyLength));
}

void CFcpuDlg::onClear()
{
    log_.clear();
    t7::showCrLfText(logView_, log_);
}
