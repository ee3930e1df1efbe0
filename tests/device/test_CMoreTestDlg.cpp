#include "panels/device/CMoreTestDlg.h"

#include "panels/device/ComFuncTest.h"
#include "panels/device/DevFunTestPage.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/QtPrinters.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

// Hex text to bytes as the library does it, for count bytes.
int convertHex(unsigned char *bytes, char *text, int count)
{
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(std::stoi(std::string(text + 2 * i, 2), nullptr, 16));
    return 0;
}

class MoreTestDlgTest : public ::testing::Test
{
protected:
    MoreTestDlgTest()
    {
        t7::connection().deviceHandle = 3;
        FAKE_ON(fake, a_hex, convertHex);
        FAKE_ON(fake, hex_a, [](char *text, unsigned char *bytes, int digits) {
            for (int i = 0; i < digits / 2; ++i)
                std::snprintf(text + 2 * i, 3, "%02X", bytes[i]);
            return 0;
        });
        dialog.show();
    }
    ~MoreTestDlgTest() override { t7::connection().deviceHandle = 0; }

    template <typename W> W *find(const char *name) { return dialog.findChild<W *>(name); }
    void set(const char *edit, const QString &text) { find<QLineEdit>(edit)->setText(text); }
    void click(const char *name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    QString log() { return dialog.deviceFunctionPage()->logText(); }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    CMoreTestDlg dialog;
};

TEST_F(MoreTestDlgTest, OpensOnTheDeviceFunctionsAfterTheCommonFunctions)
{
    EXPECT_EQ(dialog.windowTitle(), "More Test");
    QTabWidget *pages = find<QTabWidget>("pages");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(0), "Common function test");
    EXPECT_EQ(pages->tabText(pages->currentIndex()), "Device functions test");
}

TEST_F(MoreTestDlgTest, ReadingNoteMemoryLogsThreeLinesNewestFirstAndOffersTheData)
{
    FAKE_ON(fake, rz_srd_eeprom, [](int, int, int length, unsigned char *data) {
        for (int i = 0; i < length; ++i)
            data[i] = static_cast<unsigned char>(0xA0 + i);
        return 0;
    });
    set("offset", "16");
    set("length", "4");
    click("readEeprom");
    EXPECT_EQ(log(), QStringLiteral("Content(HEX)is\uFF1AA0A1A2A3\r\nThe First 4 chars\r\nTest success!\r\n"));
    EXPECT_EQ(find<QLineEdit>("eepromData")->text(), "A0A1A2A3");
    EXPECT_EQ(find<QPlainTextEdit>("log")->toPlainText(),
              QStringLiteral("Content(HEX)is\uFF1AA0A1A2A3\nThe First 4 chars\nTest success!\n"));
    EXPECT_THAT(fake.callsTo({"rz_srd_eeprom", "hex_a"}), ElementsAre("rz_srd_eeprom(3,16,4,*)", "hex_a(*,*,8)"));

    fake.on<PFN_rz_srd_eeprom>("rz_srd_eeprom", [](int, int, int, unsigned char *) { return 4; });
    click("readEeprom");
    EXPECT_TRUE(log().startsWith("Test failed!4\r\nContent"));
}

TEST_F(MoreTestDlgTest, WritingNeedsTwoDigitsPerByteAndShowsAFailureCode)
{
    std::vector<unsigned char> written;
    FAKE_ON(fake, rz_swr_eeprom, [&](int, int, int length, unsigned char *data) {
        written.assign(data, data + length);
        return written[0] == 0xEE ? 9 : 0;
    });
    set("length", "3");
    set("eepromData", "0102F");
    click("writeEeprom");
    EXPECT_EQ(boxes.texts(), QStringList{"Length of chars inserted not enough!"});
    EXPECT_EQ(fake.count("rz_swr_eeprom"), 0);

    set("eepromData", "0102FF");
    click("writeEeprom");
    EXPECT_THAT(written, ElementsAre(0x01, 0x02, 0xFF));
    set("eepromData", "EE02FF");
    click("writeEeprom");
    EXPECT_EQ(log(), "Test failed!\r\nTest success!\r\n");
    EXPECT_EQ(boxes.texts(), QStringList({"Length of chars inserted not enough!", "9"}));
}

TEST_F(MoreTestDlgTest, TheDataEditTakesUpperCaseHexUpToTwoDigitsPerByte)
{
    set("length", "2");
    QLineEdit *data = find<QLineEdit>("eepromData");
    QApplication::setActiveWindow(&dialog);
    data->setFocus();
    QTest::keyClicks(data, "ab-c9d0e");
    EXPECT_EQ(data->text(), "ABC9");
}

TEST_F(MoreTestDlgTest, RfResetAndVersionLogTheirOutcome)
{
    FAKE_ON(fake, rz_getver, [](int, char *version) {
        std::strcpy(version, "T7-U1 V3.2 KORVANE");
        return 0;
    });
    click("resetRf");
    fake.returns("rz_reset", 0x10000); // only the low 16 bits count
    set("resetTime", "5");
    click("resetRf");
    click("readVersion");
    EXPECT_THAT(fake.callsTo({"rz_reset"}), ElementsAre("rz_reset(3,0)", "rz_reset(3,5)"));
    EXPECT_EQ(log(), "Device Verision:T7-U1 V3.2 KORVANE\r\nTest success!\r\nTest success!\r\nTest success!\r\n");
}

TEST_F(MoreTestDlgTest, HexToAsciiConvertsAndRefusesMoreBytesThanTheTextHolds)
{
    set("hexSource", "41424344");
    set("byteCount", "4");
    click("hexToAscii");
    EXPECT_EQ(log(), "Conversion result is:ABCD\r\nTest success!\r\n");

    for (const char *count : {"5", "600", "-1"}) {
        fake.clearCalls();
        set("byteCount", count);
        click("hexToAscii");
        EXPECT_TRUE(log().startsWith("Test failed! length of ASC-Array must be 0 to 4 for this source data\r\n"))
            << count;
        EXPECT_THAT(fake.calls(), IsEmpty()) << count;
    }
}

TEST_F(MoreTestDlgTest, AsciiToHexLogsTheDigits)
{
    set("asciiSource", "T7 ok");
    click("asciiToHex");
    EXPECT_EQ(log(), "Conversion result is:5437206F6B\r\n");
}

TEST_F(MoreTestDlgTest, DesNeedsSixteenDigitsOfKeyAndDataAndShowsWhatTheLibraryLeft)
{
    std::vector<std::string> calls;
    FAKE_ON(fake, rz_des, [&](char *key, char *data, char *result, int mode) {
        calls.push_back(std::string(key) + "/" + data + "/" + std::to_string(mode));
        std::strcpy(result, "3FA40E8A984D4815");
        return 0;
    });
    set("key", "0123456789ABCDEF");
    set("sourceData", "4E6F77206973207");
    click("encry");
    set("key", "0123456789ABCDE");
    set("sourceData", "4E6F772069732074");
    click("decry");
    EXPECT_EQ(boxes.texts(),
              QStringList({"Length of chars inserted not enough!", "Length of chars inserted not enough!"}));
    EXPECT_THAT(calls, IsEmpty());

    set("key", "0123456789ABCDEF");
    click("encry");
    click("decry");
    EXPECT_THAT(calls, ElementsAre("0123456789ABCDEF/4E6F772069732074/1", "0123456789ABCDEF/4E6F772069732074/0"));
    EXPECT_EQ(find<QPlainTextEdit>("result")->toPlainText(), "3FA40E8A984D4815");
}

TEST_F(MoreTestDlgTest, EachTransferLeavesOneLine)
{
    QListWidget *messages = find<QListWidget>("messages");
    set("address", "63");
    click("registerToEeprom");
    fake.returns("rz_restore", 2);
    click("eepromToRegister");
    ASSERT_EQ(messages->count(), 1);
    EXPECT_EQ(messages->item(0)->text(), "rz_restore ERROR!");
    fake.returns("rz_restore", 0);
    click("eepromToRegister");
    ASSERT_EQ(messages->count(), 1);
    EXPECT_EQ(messages->item(0)->text(), "rz_restore OK!");
    EXPECT_THAT(fake.callsTo({"rz_transfer", "rz_restore"}),
                ElementsAre("rz_transfer(3,63)", "rz_restore(3,63)", "rz_restore(3,63)"));
}

} // namespace
