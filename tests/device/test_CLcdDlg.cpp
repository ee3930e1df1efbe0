#include "panels/device/CLcdDlg.h"

#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/QtPrinters.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace
{

class LcdDlgTest : public ::testing::Test
{
protected:
    LcdDlgTest()
    {
        t7::connection().deviceHandle = 6;
        FAKE_ON(fake, rz_lcd_dispstr, [this](int, char *text) {
            shown.push_back(text);
            return 0;
        });
        dialog.show();
    }
    ~LcdDlgTest() override { t7::connection().deviceHandle = 0; }

    void click(const char *name) { QTest::mouseClick(dialog.findChild<QPushButton *>(name), Qt::LeftButton); }

    std::vector<std::string> shown;
    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    CLcdDlg dialog;
};

TEST_F(LcdDlgTest, EachButtonMakesOneCallAndSaysHowItWent)
{
    click("lightOn");
    click("lightOff");
    click("show");
    click("clear");
    fake.returns("rz_lcd_setbright", 1);
    fake.returns("rz_lcd_dispclear", 1);
    click("lightOn");
    click("lightOff");
    click("clear");
    EXPECT_THAT(fake.calls(), ElementsAre("rz_lcd_setbright(6,15)", "rz_lcd_setbright(6,0)", "rz_lcd_dispstr(6,*)",
                                          "rz_lcd_dispclear(6)", "rz_lcd_setbright(6,15)", "rz_lcd_setbright(6,0)",
                                          "rz_lcd_dispclear(6)"));
    EXPECT_EQ(boxes.texts(), QStringList({"Light success!", "Backlight off success!", "Show success!", "Clear success!",
                                          "Light failed!", "Backlight off failed!", "Clear failed!"}));
    EXPECT_EQ(boxes.messages().front().kind, t7::BoxKind::Panel);
}

TEST_F(LcdDlgTest, ATwoLineTextIsSentWithItsCarriageReturnAndLineFeed)
{
    click("show"); // empty
    QTest::keyClicks(dialog.findChild<QPlainTextEdit *>("displayText"), "KORVANE");
    QTest::keyClick(dialog.findChild<QPlainTextEdit *>("displayText"), Qt::Key_Return);
    QTest::keyClicks(dialog.findChild<QPlainTextEdit *>("displayText"), "T7");
    click("show");
    EXPECT_THAT(shown, ElementsAre("", "KORVANE\r\nT7"));
}

} // namespace
