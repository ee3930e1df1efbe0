#include "panels/device/DevFunTestPage.h"

#include "panels/device/DevicePanels.h"
#include "reader/ConnectionState.h"
#include "ui/DialogLook.h"
#include "ui/MessageSeam.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include <cctype>
#include <cstring>
#include <vector>

using t7::device::captionLabel;

namespace
{

// The note memory the reader can hand over in one read.
constexpr size_t kEepromReadBuffer = 64 * 1024;

QString testLine(int result)
{
    return t7::device::outcome(QStringLiteral("Test"), result);
}

// Hex digits only, shown in upper case.
class UpperHexValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        for (const QChar c : input)
            if (c.unicode() > 127 || !std::isxdigit(c.unicode()))
                return Invalid;
        input = input.toUpper();
        return Acceptable;
    }
};

QLineEdit *pageEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

// Every button of the page says only "read", "write" or "test"; the
// accessible name tells them apart.
QPushButton *pageButton(QWidget *parent, const QString &caption, const char *name, const QString &accessible)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessible);
    return button;
}

QLabel *hint(QWidget *parent, const QString &text, const char *name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QGroupBox *group(QWidget *parent, const QString &title, const char *name)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

DevFunTestPage::DevFunTestPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DevFunTestPage"));
    t7::useDialogBackground(this);
    buildLayout();
    bindFields();
    connectHandlers();
}

void DevFunTestPage::buildLayout()
{
    offsetEdit_ = pageEdit(this, "offset");
    lengthEdit_ = pageEdit(this, "length");
    for (QLineEdit *edit : {offsetEdit_, lengthEdit_})
        edit->setFixedWidth(60);
    eepromEdit_ = pageEdit(this, "eepromData");
    eepromEdit_->setValidator(new UpperHexValidator(eepromEdit_));
    eepromEdit_->setAccessibleName(QStringLiteral("note info data"));
    readEeprom_ = pageButton(this, QStringLiteral("read"), "readEeprom", QStringLiteral("read note info"));
    writeEeprom_ = pageButton(this, QStringLiteral("write"), "writeEeprom", QStringLiteral("write note info"));
    auto *eeprom = group(this, QStringLiteral("note info"), "eepromGroup");
    auto *eepromGrid = new QGridLayout(eeprom);
    eepromGrid->addWidget(captionLabel(this, QStringLiteral("addr-offset"), offsetEdit_, "offsetLabel"), 0, 0);
    eepromGrid->addWidget(offsetEdit_, 0, 1);
    eepromGrid->addWidget(hint(this, QStringLiteral("( 0-1278 )"), "offsetHint"), 0, 2);
    eepromGrid->addWidget(captionLabel(this, QStringLiteral("setup length"), lengthEdit_, "lengthLabel"), 0, 3);
    eepromGrid->addWidget(lengthEdit_, 0, 4);
    eepromGrid->addWidget(hint(this, QStringLiteral("(1-512)"), "lengthHint"), 0, 5);
    eepromGrid->addWidget(eepromEdit_, 1, 0, 1, 6);
    eepromGrid->addWidget(readEeprom_, 2, 4);
    eepromGrid->addWidget(writeEeprom_, 2, 5);

    resetTimeEdit_ = pageEdit(this, "resetTime");
    resetRf_ = pageButton(this, QStringLiteral("test"), "resetRf", QStringLiteral("RF reset test"));
    auto *reset = group(this, QStringLiteral("RF reset"), "resetGroup");
    auto *resetGrid = new QGridLayout(reset);
    resetGrid->addWidget(captionLabel(this, QStringLiteral("setup Reset-Time"), resetTimeEdit_, "resetTimeLabel"), 0,
                         0);
    resetGrid->addWidget(resetTimeEdit_, 0, 1);
    resetGrid->addWidget(resetRf_, 0, 2);
    auto *note =
        new QLabel(QStringLiteral("(MS as unit,case 0 means close RF,case 1,2...\nmeans reset 1ms,2ms...)"), this);
    note->setObjectName(QStringLiteral("resetNote"));
    resetGrid->addWidget(note, 1, 0, 1, 3);

    readVersion_ = pageButton(this, QStringLiteral("test"), "readVersion", QStringLiteral("read device version test"));
    auto *versionLabel = new QLabel(QStringLiteral("read device version"), this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    auto *versionRow = new QHBoxLayout;
    versionRow->addWidget(versionLabel);
    versionRow->addWidget(readVersion_);
    versionRow->addStretch();

    hexSourceEdit_ = pageEdit(this, "hexSource");
    hexSourceEdit_->setMaxLength(kConversionSize);
    byteCountEdit_ = pageEdit(this, "byteCount");
    hexToAscii_ =
        pageButton(this, QStringLiteral("test"), "hexToAscii", QStringLiteral("HEX-String to ASC-array test"));
    auto *hexToAscii = group(this, QStringLiteral("transform (HEX-String to ASC-array)"), "hexToAsciiGroup");
    auto *hexGrid = new QGridLayout(hexToAscii);
    hexGrid->addWidget(captionLabel(this, QStringLiteral("source data"), hexSourceEdit_, "hexSourceLabel"), 0, 0);
    hexGrid->addWidget(hexSourceEdit_, 0, 1, 1, 3);
    hexGrid->addWidget(captionLabel(this, QStringLiteral("length of ASC-Array"), byteCountEdit_, "byteCountLabel"), 1,
                       0);
    hexGrid->addWidget(byteCountEdit_, 1, 1);
    hexGrid->addWidget(hexToAscii_, 1, 3);

    asciiSourceEdit_ = pageEdit(this, "asciiSource");
    asciiToHex_ =
        pageButton(this, QStringLiteral("test"), "asciiToHex", QStringLiteral("ASC-Array to HEX-String test"));
    auto *asciiToHex = group(this, QStringLiteral("transform (ASC-Array to HEX-String)"), "asciiToHexGroup");
    auto *asciiGrid = new QGridLayout(asciiToHex);
    asciiGrid->addWidget(captionLabel(this, QStringLiteral("source data"), asciiSourceEdit_, "asciiSourceLabel"), 0, 0);
    asciiGrid->addWidget(asciiSourceEdit_, 0, 1);
    asciiGrid->addWidget(asciiToHex_, 0, 2);

    logEdit_ = new QPlainTextEdit(this);
    logEdit_->setObjectName(QStringLiteral("log"));
    logEdit_->setReadOnly(true);
    logEdit_->setAccessibleName(QStringLiteral("result"));
    logEdit_->setMinimumWidth(260);
    auto *result = group(this, QStringLiteral(" result "), "resultGroup");
    auto *resultBox = new QVBoxLayout(result);
    resultBox->addWidget(logEdit_);

    auto *left = new QVBoxLayout;
    left->addWidget(eeprom);
    left->addWidget(reset);
    left->addLayout(versionRow);
    left->addWidget(hexToAscii);
    left->addWidget(asciiToHex);
    left->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addWidget(result, 2);
}

void DevFunTestPage::bindFields()
{
    fields_.bindInt(offsetEdit_, &offset_, 0, kMaxOffset);
    fields_.bindInt(lengthEdit_, &length_, 1, kMaxLength);
    fields_.bindText(eepromEdit_, &eepromText_);
    fields_.bindInt(resetTimeEdit_, &resetTime_);
    fields_.bindText(hexSourceEdit_, &hexSource_);
    fields_.bindInt(byteCountEdit_, &byteCount_);
    fields_.bindText(asciiSourceEdit_, &asciiSource_);
    refreshFields();
}

void DevFunTestPage::connectHandlers()
{
    eepromEdit_->installEventFilter(this);
    connect(readEeprom_, &QPushButton::clicked, this, &DevFunTestPage::onReadEeprom);
    connect(writeEeprom_, &QPushButton::clicked, this, &DevFunTestPage::onWriteEeprom);
    connect(resetRf_, &QPushButton::clicked, this, &DevFunTestPage::onResetRf);
    connect(readVersion_, &QPushButton::clicked, this, &DevFunTestPage::onReadVersion);
    connect(hexToAscii_, &QPushButton::clicked, this, &DevFunTestPage::onHexToAscii);
    connect(asciiToHex_, &QPushButton::clicked, this, &DevFunTestPage::onAsciiToHex);
}

bool DevFunTestPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == eepromEdit_ && event->type() == QEvent::FocusIn)
        limitEepromData();
    return QWidget::eventFilter(watched, event);
}

void DevFunTestPage::limitEepromData()
{
    // A refused field takes the focus with its message; one report is enough.
    if (limiting_)
        return;
    limiting_ = true;
    if (fields_.read())
        eepromEdit_->setMaxLength(2 * length_);
    limiting_ = false;
}

void DevFunTestPage::addLog(const QString &line)
{
    log_ = line + QStringLiteral("\r\n") + log_;
}

void DevFunTestPage::refreshFields()
{
    fields_.write();
    t7::device::showLog(logEdit_, log_);
}

void DevFunTestPage::onReadEeprom()
{
    if (!fields_.read())
        return;
    std::vector<unsigned char> bytes(kEepromReadBuffer, 0);
    const int result = rz_srd_eeprom(t7::connection().deviceHandle, offset_, length_, bytes.data());
    if (result != 0) {
        addLog(testLine(result) + QString::number(result));
        refreshFields();
        return;
    }
    addLog(testLine(result));
    std::vector<char> digits(2 * static_cast<size_t>(length_) + 1, '\0');
    hex_a(digits.data(), bytes.data(), 2 * length_);
    const QString text =
        QString::fromLatin1(digits.data(), static_cast<qsizetype>(strnlen(digits.data(), digits.size())));
    addLog(QStringLiteral("The First %1 chars").arg(length_));
    addLog(QStringLiteral("Content(HEX)is\uFF1A%1").arg(text));
    eepromText_ = text;
    // The edit holds what was read, ready to be changed and written back.
    eepromEdit_->setMaxLength(2 * length_);
    refreshFields();
}

void DevFunTestPage::onWriteEeprom()
{
    if (!fields_.read())
        return;
    if (eepromText_.length() < 2 * length_) {
        t7::panelBox(this, t7::device::notEnoughCharacters());
        return;
    }
    QByteArray digits = eepromText_.toLatin1();
    std::vector<unsigned char> bytes(static_cast<size_t>(length_), 0);
    a_hex(bytes.data(), digits.data(), length_);
    const int result = rz_swr_eeprom(t7::connection().deviceHandle, offset_, length_, bytes.data());
    addLog(testLine(result));
    refreshFields();
    if (result != 0)
        t7::panelBox(this, QString::number(result));
}

void DevFunTestPage::onResetRf()
{
    if (!fields_.read())
        return;
    const int result = rz_reset(t7::connection().deviceHandle, static_cast<unsigned short>(resetTime_));
    addLog(testLine(static_cast<short>(result)));
    refreshFields();
}

void DevFunTestPage::onReadVersion()
{
    if (!fields_.read())
        return;
    char version[kVersionSize] = {};
    const int result = rz_getver(t7::connection().deviceHandle, version);
    addLog(testLine(result));
    if (result == 0)
        addLog(QStringLiteral("Device Verision") + QStringLiteral(":") +
               QString::fromLocal8Bit(version, static_cast<qsizetype>(strnlen(version, kVersionSize))));
    refreshFields();
}

void DevFunTestPage::onHexToAscii()
{
    if (!fields_.read())
        return;
    const short count = static_cast<short>(byteCount_);
    const QByteArray source = hexSource_.toLatin1().left(kConversionSize);
    // More bytes than the source text has digit pairs would read past it
    // (and past the result for more than the result holds).
    if (count < 0 || 2 * count > source.size()) {
        addLog(QStringLiteral("Test") + QStringLiteral(" failed!") +
               QStringLiteral(" length of ASC-Array must be 0 to %1 for this source data").arg(source.size() / 2));
        refreshFields();
        return;
    }
    char text[kConversionSize + 1] = {};
    std::memcpy(text, source.constData(), static_cast<size_t>(source.size()));
    unsigned char bytes[kConversionSize + 1] = {};
    const int result = a_hex(bytes, text, count);
    addLog(testLine(static_cast<short>(result)));
    if (static_cast<short>(result) == 0)
        addLog(QStringLiteral("Conversion result is:") + QString::fromLocal8Bit(reinterpret_cast<const char *>(bytes)));
    refreshFields();
}

void DevFunTestPage::onAsciiToHex()
{
    if (!fields_.read())
        return;
    QByteArray source = asciiSource_.toLocal8Bit();
    const int n = static_cast<int>(source.size());
    std::vector<char> digits(2 * static_cast<size_t>(n) + 1, '\0');
    hex_a(digits.data(), reinterpret_cast<unsigned char *>(source.data()), 2 * n);
    addLog(QStringLiteral("Conversion result is:") +
           QString::fromLatin1(digits.data(), static_cast<qsizetype>(strnlen(digits.data(), digits.size()))));
    refreshFields();
}
