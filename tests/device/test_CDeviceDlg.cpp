#include "panels/device/CDeviceDlg.h"

#include "panels/device/PcClock.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/QtPrinters.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

class DeviceDlgTest : public ::testing::Test
{
protected:
    DeviceDlgTest()
    {
        t7::connection().deviceHandle = 4;
        t7::device::setPcClock([this] { return now; });
        FAKE_ON(fake, rz_settime, [this](int, unsigned char *record) {
            sentClock.assign(record, record + CDeviceDlg::kClockRecordSize);
            return 0;
        });
        FAKE_ON(fake, a_hex, [this](unsigned char *bytes, char *text, int count) {
            digitsHandedOn = text;
            for (int i = 0; i < count; ++i)
                bytes[i] = static_cast<unsigned char>(std::stoi(std::string(text + 2 * i, 2), nullptr, 16));
            return 0;
        });
        FAKE_ON(fake, rz_LED_disp8, [this](int, unsigned char length, unsigned char *pattern) {
            sentPattern.assign(pattern, pattern + length);
            return 0;
        });
        dialog.show();
    }
    ~DeviceDlgTest() override
    {
        t7::device::setPcClock(nullptr);
        t7::connection().deviceHandle = 0;
    }

    template <typename W = QPushButton> W *find(const char *name) { return dialog.findChild<W *>(name); }
    void click(const char *name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    QString field(const char *name) { return find<QLineEdit>(name)->text(); }

    QDateTime now{QDate(2026, 3, 7), QTime(9, 5, 2)};
    std::vector<unsigned char> sentClock;
    std::vector<unsigned char> sentPattern;
    std::string digitsHandedOn;
    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    CDeviceDlg dialog;
};

TEST_F(DeviceDlgTest, OpensShowingTimeModeWithTheClockRunningButNoModeSet)
{
    EXPECT_TRUE(find<QRadioButton>("ledShowTime")->isChecked());
    EXPECT_TRUE(dialog.clockRunning());
    EXPECT_EQ(dialog.ledMode(), -1);
    EXPECT_EQ(field("beepLength"), "10");
    click("refreshLed");
    EXPECT_THAT(fake.calls(), IsEmpty());
}

TEST_F(DeviceDlgTest, EitherClockModeSendsThePcTimeAsPackedBcdYearLowHalfFirst)
{
    for (const char *mode : {"ledShowTime", "ledShowDate"}) {
        sentClock.clear();
        dialog.showPcTime();
        click(mode);
        click("refreshLed");
        EXPECT_THAT(sentClock, ElementsAre(0x26, 0x20, 0x03, 0x07, 0x09, 0x05, 0x02)) << mode;
    }
    EXPECT_THAT(fake.callsTo({"rz_ctl_mode", "rz_disp_mode"}),
                ElementsAre("rz_ctl_mode(4,1)", "rz_disp_mode(4,1)", "rz_ctl_mode(4,1)", "rz_disp_mode(4,0)"));
    EXPECT_THAT(CDeviceDlg::clockRecord(1999, 12, 31, 23, 59, 58),
                ElementsAre(0x99, 0x19, 0x12, 0x31, 0x23, 0x59, 0x58));
    fake.on<PFN_rz_settime>("rz_settime", [](int, unsigned char *) { return 3; });
    click("refreshLed");
    EXPECT_EQ(boxes.texts(), QStringList{"Refrush LED error!"});
}

TEST_F(DeviceDlgTest, DigitModeNeedsSixteenDigitsAndHandsOnATerminatedText)
{
    click("ledShowDigit");
    EXPECT_THAT(fake.callsTo({"rz_ctl_mode", "rz_disp_mode"}), ElementsAre("rz_ctl_mode(4,0)"));
    QTest::keyClicks(find<QLineEdit>("digits"), "065B4FE66D7D077");
    click("refreshLed");
    EXPECT_EQ(boxes.texts(), QStringList{"Length of chars inserted not enough!"});
    EXPECT_EQ(fake.count("rz_LED_disp8"), 0);

    QTest::keyClicks(find<QLineEdit>("digits"), "F");
    click("refreshLed");
    EXPECT_EQ(digitsHandedOn, "065B4FE66D7D077F");
    EXPECT_THAT(sentPattern, ElementsAre(0x06, 0x5B, 0x4F, 0xE6, 0x6D, 0x7D, 0x07, 0x7F));
    EXPECT_EQ(boxes.texts().size(), 1);
}

TEST_F(DeviceDlgTest, TypingStopsTheClockAndRefreshTimeStartsItAgain)
{
    dialog.showPcTime();
    EXPECT_EQ(field("second"), "2");
    QTest::keyClicks(find<QLineEdit>("beepLength"), "0");
    EXPECT_FALSE(dialog.clockRunning());
    click("refreshTime");
    EXPECT_TRUE(dialog.clockRunning());
    QTest::keyClicks(find<QLineEdit>("digits"), "1");
    EXPECT_FALSE(dialog.clockRunning());
    // A tick leaves what was typed.
    now = now.addSecs(1);
    dialog.showPcTime();
    EXPECT_EQ(field("second"), "3");
    EXPECT_EQ(field("beepLength"), "100");
    EXPECT_EQ(field("digits"), "1");
}

TEST_F(DeviceDlgTest, BeepSendsTheLengthOrTheOneBeforeARefusedText)
{
    click("beep");
    find<QLineEdit>("beepLength")->setText("25");
    click("beep");
    find<QLineEdit>("beepLength")->setText("x");
    click("beep");
    EXPECT_THAT(fake.callsTo({"rz_beep"}), ElementsAre("rz_beep(4,10)", "rz_beep(4,25)", "rz_beep(4,25)"));
    EXPECT_EQ(boxes.texts(), QStringList{"Please enter an integer."});
}

} // namespace
