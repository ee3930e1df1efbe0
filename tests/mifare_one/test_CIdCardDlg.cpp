#include "panels/mifare_one/CIdCardDlg.h"

#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

class IdCardDlgTest : public ::testing::Test
{
protected:
    IdCardDlgTest()
    {
        t7::connection().deviceHandle = 4;
        // Each read hands out the next number; none left means no card.
        FAKE_ON(fake, rz_read_SerialNumberID, [this](int, unsigned char, unsigned char *buffer) {
            if (cards.empty())
                return 1;
            std::memcpy(buffer, cards.front().data(), cards.front().size());
            cards.pop_front();
            return 0;
        });
        dialog.show();
    }
    ~IdCardDlgTest() override { t7::connection().deviceHandle = 0; }

    QString shown() { return dialog.findChild<QPlainTextEdit *>("log")->toPlainText(); }
    void click(const char *name) { QTest::mouseClick(dialog.findChild<QPushButton *>(name), Qt::LeftButton); }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    std::deque<std::string> cards;
    CIdCardDlg dialog;
};

TEST_F(IdCardDlgTest, NumbersAreLoggedNewestFirstOnePerLine)
{
    cards = {"0001234567", "0007654321", "4294967295"};
    click("read");
    click("read");
    click("read");
    EXPECT_EQ(dialog.logText(), "4294967295\r\n0007654321\r\n0001234567\r\n");
    EXPECT_EQ(shown(), "4294967295\n0007654321\n0001234567\n");
    EXPECT_THAT(fake.callsTo({"rz_read_SerialNumberID"}),
                ElementsAre("rz_read_SerialNumberID(4,10,*)", "rz_read_SerialNumberID(4,10,*)",
                            "rz_read_SerialNumberID(4,10,*)"));
}

TEST_F(IdCardDlgTest, AFailedReadChangesNothingAndSaysNothing)
{
    cards = {"0000000042"};
    click("read");
    click("read");
    EXPECT_EQ(dialog.logText(), "0000000042\r\n");
    EXPECT_EQ(shown(), "0000000042\n");
    EXPECT_THAT(boxes.texts(), IsEmpty());
}

TEST_F(IdCardDlgTest, ClearThenReadShowsOnlyTheNewNumber)
{
    cards = {"0000000001", "0000000002"};
    click("read");
    click("clear");
    EXPECT_EQ(dialog.logText(), "");
    EXPECT_EQ(shown(), "");
    click("read");
    EXPECT_EQ(dialog.logText(), "0000000002\r\n");
}

TEST_F(IdCardDlgTest, ANumberWithoutItsZeroByteIsCutAtTheBuffersEnd)
{
    // The whole buffer filled, no zero byte left.
    FAKE_ON(fake, rz_read_SerialNumberID, [](int, unsigned char, unsigned char *buffer) {
        std::memset(buffer, '7', 12);
        return 0;
    });
    click("read");
    EXPECT_EQ(dialog.logText(), "777777777777\r\n");
}

TEST(IdCardDlgOpening, ResolvesTheReaderWhenItOpensNotWhenConstructed)
{
    CIdCardDlg dialog;
    fake::FakeReader fake; // installed only after construction
    fake::MessageRecorder boxes;
    FAKE_ON(fake, rz_read_SerialNumberID, [](int, unsigned char, unsigned char *buffer) {
        std::memcpy(buffer, "0000000099", 11);
        return 0;
    });
    dialog.show();
    dialog.onRead();
    EXPECT_EQ(dialog.logText(), "0000000099\r\n");
}

TEST(IdCardDlgOpening, AMissingEntryPointLeavesTheLogAndShowsNothing)
{
    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    fake.remove("rz_read_SerialNumberID");
    CIdCardDlg dialog;
    dialog.show();
    dialog.onRead();
    EXPECT_EQ(dialog.logText(), "");
    EXPECT_THAT(boxes.texts(), IsEmpty());
}

} // namespace
