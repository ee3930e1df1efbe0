#include "panels/device/CDeviceDlg.h"

#include "panels/device/DevicePanels.h"
#include "panels/device/PcClock.h"
#include "reader/ConnectionState.h"
#include "ui/MessageSeam.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

using t7::device::captionLabel;

namespace
{

constexpr int kDigitTextLength = 2 * CDeviceDlg::kLedDigits;

unsigned char packedBcd(int value)
{
    return static_cast<unsigned char>((value / 10 % 10) << 4 | value % 10);
}

QLineEdit *clockEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setMaximumWidth(60);
    return edit;
}

QRadioButton *ledButton(QWidget *parent, const QString &caption, const char *name)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // The panel sets all three itself.
    button->setAutoExclusive(false);
    return button;
}

} // namespace

CDeviceDlg::CDeviceDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    bindFields();
    connectHandlers();
    checkLedButton(showTime_);
    onRefreshTime();
}

void CDeviceDlg::buildLayout()
{
    setObjectName(QStringLiteral("CDeviceDlg"));
    setWindowTitle(QStringLiteral("Device"));

    beepLengthEdit_ = new QLineEdit(this);
    beepLengthEdit_->setObjectName(QStringLiteral("beepLength"));
    beep_ = new QPushButton(QStringLiteral("Beep"), this);
    beep_->setObjectName(QStringLiteral("beep"));
    auto *beepGroup = new QGroupBox(this);
    beepGroup->setObjectName(QStringLiteral("beepGroup"));
    auto *beepRow = new QGridLayout(beepGroup);
    beepRow->addWidget(captionLabel(this, QStringLiteral("Time-Len(Unit 10ms)"), beepLengthEdit_, "beepLengthLabel"), 0,
                       0);
    beepRow->addWidget(beepLengthEdit_, 1, 0);
    beepRow->addWidget(beep_, 1, 1);

    yearEdit_ = clockEdit(this, "year");
    monthEdit_ = clockEdit(this, "month");
    dayEdit_ = clockEdit(this, "day");
    hourEdit_ = clockEdit(this, "hour");
    minuteEdit_ = clockEdit(this, "minute");
    secondEdit_ = clockEdit(this, "second");
    refreshTime_ = new QPushButton(QStringLiteral("Refresh time"), this);
    refreshTime_->setObjectName(QStringLiteral("refreshTime"));
    auto *timeGroup = new QGroupBox(this);
    timeGroup->setObjectName(QStringLiteral("timeGroup"));
    auto *timeGrid = new QGridLayout(timeGroup);
    const struct {
        const char *caption;
        QLineEdit *edit;
        const char *name;
    } clockFields[] = {{"Year", yearEdit_, "yearLabel"},       {"Month", monthEdit_, "monthLabel"},
                       {"Day", dayEdit_, "dayLabel"},          {"Hour", hourEdit_, "hourLabel"},
                       {"Minute", minuteEdit_, "minuteLabel"}, {"Secend", secondEdit_, "secondLabel"}};
    for (int i = 0; i < 6; ++i) {
        const int row = i / 3;
        const int column = 2 * (i % 3);
        timeGrid->addWidget(
            captionLabel(this, QString::fromLatin1(clockFields[i].caption), clockFields[i].edit, clockFields[i].name),
            row, column);
        timeGrid->addWidget(clockFields[i].edit, row, column + 1);
    }
    timeGrid->addWidget(refreshTime_, 2, 4, 1, 2);

    showTime_ = ledButton(this, QStringLiteral("LED show time"), "ledShowTime");
    showDate_ = ledButton(this, QStringLiteral("LED show date"), "ledShowDate");
    showDigit_ = ledButton(this, QStringLiteral("LED show digit"), "ledShowDigit");
    digitEdit_ = new QLineEdit(this);
    digitEdit_->setObjectName(QStringLiteral("digits"));
    digitEdit_->setMaxLength(kDigitTextLength);
    digitEdit_->setMinimumWidth(digitEdit_->fontMetrics().horizontalAdvance(QString(kDigitTextLength + 2, '8')));
    refreshLed_ = new QPushButton(QStringLiteral("Refresh LED"), this);
    refreshLed_->setObjectName(QStringLiteral("refreshLed"));
    auto *ledGroup = new QGroupBox(QStringLiteral("LED Test"), this);
    ledGroup->setObjectName(QStringLiteral("ledGroup"));
    auto *ledGrid = new QGridLayout(ledGroup);
    ledGrid->addWidget(showTime_, 0, 0);
    ledGrid->addWidget(showDate_, 0, 1);
    ledGrid->addWidget(showDigit_, 0, 2);
    ledGrid->addWidget(captionLabel(this, QStringLiteral("Enter digit: "), digitEdit_, "digitsLabel"), 1, 0, 1, 3);
    ledGrid->addWidget(digitEdit_, 2, 0, 1, 2);
    ledGrid->addWidget(refreshLed_, 2, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(beepGroup);
    layout->addWidget(timeGroup);
    layout->addWidget(ledGroup);
    layout->addLayout(t7::device::exitRow(this, QStringLiteral("Exit")));

    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("pcClock"));
}

void CDeviceDlg::bindFields()
{
    fields_.bindInt(beepLengthEdit_, &beepLength_);
    clockFields_.bindInt(yearEdit_, &year_);
    clockFields_.bindInt(monthEdit_, &month_);
    clockFields_.bindInt(dayEdit_, &day_);
    clockFields_.bindInt(hourEdit_, &hour_);
    clockFields_.bindInt(minuteEdit_, &minute_);
    clockFields_.bindInt(secondEdit_, &second_);
    fields_.bindText(digitEdit_, &digitText_);
    fields_.write();
    clockFields_.write();
}

void CDeviceDlg::connectHandlers()
{
    connect(beep_, &QPushButton::clicked, this, &CDeviceDlg::onBeep);
    connect(refreshTime_, &QPushButton::clicked, this, &CDeviceDlg::onRefreshTime);
    connect(refreshLed_, &QPushButton::clicked, this, &CDeviceDlg::onRefreshLed);
    connect(showTime_, &QRadioButton::clicked, this, &CDeviceDlg::onLedShowTime);
    connect(showDate_, &QRadioButton::clicked, this, &CDeviceDlg::onLedShowDate);
    connect(showDigit_, &QRadioButton::clicked, this, &CDeviceDlg::onLedShowDigit);
    // The ticks would overwrite what the operator types.
    connect(beepLengthEdit_, &QLineEdit::textEdited, this, &CDeviceDlg::stopClock);
    connect(digitEdit_, &QLineEdit::textEdited, this, &CDeviceDlg::stopClock);
    connect(clock_, &QTimer::timeout, this, &CDeviceDlg::showPcTime);
}

bool CDeviceDlg::clockRunning() const
{
    return clock_->isActive();
}

void CDeviceDlg::showPcTime()
{
    const QDateTime now = t7::device::pcLocalTime();
    year_ = now.date().year();
    month_ = now.date().month();
    day_ = now.date().day();
    hour_ = now.time().hour();
    minute_ = now.time().minute();
    second_ = now.time().second();
    // Only the clock fields: text typed but not yet sent stays.
    clockFields_.write();
}

void CDeviceDlg::stopClock()
{
    clock_->stop();
}

void CDeviceDlg::onRefreshTime()
{
    clock_->start(kClockPeriodMs);
}

void CDeviceDlg::onBeep()
{
    // A refused length keeps the one before, and the reader beeps with that.
    fields_.read();
    rz_beep(t7::connection().deviceHandle, beepLength_);
}

void CDeviceDlg::checkLedButton(QRadioButton *checked)
{
    for (QRadioButton *button : {showTime_, showDate_, showDigit_})
        button->setChecked(button == checked);
}

void CDeviceDlg::onLedShowTime()
{
    checkLedButton(showTime_);
    rz_ctl_mode(t7::connection().deviceHandle, 1);
    rz_disp_mode(t7::connection().deviceHandle, 1);
    ledMode_ = 1;
}

void CDeviceDlg::onLedShowDate()
{
    checkLedButton(showDate_);
    rz_ctl_mode(t7::connection().deviceHandle, 1);
    rz_disp_mode(t7::connection().deviceHandle, 0);
    ledMode_ = 2;
}

void CDeviceDlg::onLedShowDigit()
{
    checkLedButton(showDigit_);
    rz_ctl_mode(t7::connection().deviceHandle, 0);
    ledMode_ = 3;
}

void CDeviceDlg::onRefreshLed()
{
    if (ledMode_ == 1 || ledMode_ == 2)
        sendClock();
    else if (ledMode_ == 3)
        sendDigits();
}

std::array<unsigned char, CDeviceDlg::kClockRecordSize> CDeviceDlg::clockRecord(int year, int month, int day, int hour,
                                                                                int minute, int second)
{
    return {packedBcd(year % 100), packedBcd(year / 100 % 100), packedBcd(month), packedBcd(day),
            packedBcd(hour),       packedBcd(minute),           packedBcd(second)};
}

void CDeviceDlg::sendClock()
{
    if (!fields_.read() || !clockFields_.read())
        return;
    auto record = clockRecord(year_, month_, day_, hour_, minute_, second_);
    if (rz_settime(t7::connection().deviceHandle, record.data()) != 0)
        t7::panelBox(this, QStringLiteral("Refrush LED error!"));
}

void CDeviceDlg::sendDigits()
{
    if (!fields_.read())
        return;
    if (digitText_.length() < kDigitTextLength) {
        t7::panelBox(this, t7::device::notEnoughCharacters());
        return;
    }
    // One more than the digits, so the text handed on is always terminated.
    char digits[kDigitTextLength + 1] = {};
    const QByteArray typed = digitText_.left(kDigitTextLength).toLatin1();
    std::memcpy(digits, typed.constData(), static_cast<size_t>(std::min<qsizetype>(typed.size(), kDigitTextLength)));
    unsigned char pattern[kLedDigits] = {};
    a_hex(pattern, digits, kLedDigits);
    if (rz_LED_disp8(t7::connection().deviceHandle, kLedDigits, pattern) != 0)
        t7::panelBox(this, QStringLiteral("Refrush LED error!"));
}
