// "Device": the reader's buzzer, its 8-digit LED display and its clock, with
// the PC's local time shown live so it can be copied into the reader.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

class CDeviceDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kClockPeriodMs = 400;
    // The clock record of rz_settime and the pattern bytes of rz_LED_disp8.
    static constexpr int kClockRecordSize = 7;
    static constexpr int kLedDigits = 8;

    explicit CDeviceDlg(QWidget *parent = nullptr);

    void onBeep();
    void onLedShowTime();
    void onLedShowDate();
    void onLedShowDigit();
    void onRefreshLed();
    void onRefreshTime();
    // Each timer tick.
    void showPcTime();

    bool clockRunning() const;
    int ledMode() const { return ledMode_; }

    // The record for a four-digit year and the rest of the date and time:
    // packed BCD, year within the century first, then the century.
    static std::array<unsigned char, kClockRecordSize> clockRecord(int year, int month, int day, int hour, int minute,
                                                                   int second);

private:
    void buildLayout();
    void bindFields();
    void connectHandlers();
    void checkLedButton(QRadioButton *checked);
    void stopClock();
    void sendClock();
    void sendDigits();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_beep);
    QVD_ENTRY(lib_, rz_ctl_mode);
    QVD_ENTRY(lib_, rz_disp_mode);
    QVD_ENTRY(lib_, rz_settime);
    QVD_ENTRY(lib_, rz_LED_disp8);
    QVD_ENTRY(lib_, a_hex);

    int beepLength_ = 10;
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
    int hour_ = 0;
    int minute_ = 0;
    int second_ = 0;
    QString digitText_;
    int ledMode_ = -1; // 1 time, 2 date, 3 digits; unset until a button is clicked

    t7::FieldBinder fields_;
    t7::FieldBinder clockFields_;
    QTimer *clock_ = nullptr;

    QLineEdit *beepLengthEdit_ = nullptr;
    QLineEdit *yearEdit_ = nullptr;
    QLineEdit *monthEdit_ = nullptr;
    QLineEdit *dayEdit_ = nullptr;
    QLineEdit *hourEdit_ = nullptr;
    QLineEdit *minuteEdit_ = nullptr;
    QLineEdit *secondEdit_ = nullptr;
    QLineEdit *digitEdit_ = nullptr;
    QPushButton *beep_ = nullptr;
    QPushButton *refreshTime_ = nullptr;
    QPushButton *refreshLed_ = nullptr;
    QRadioButton *showTime_ = nullptr;
    QRadioButton *showDate_ = nullptr;
    QRadioButton *showDigit_ = nullptr;
};
