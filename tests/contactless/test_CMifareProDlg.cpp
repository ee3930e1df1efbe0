#include "panels/contactless/CMifareProDlg.h"

#include "reader/ConnectionState.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::IsEmpty;

namespace
{

class MifareProDlgTest : public ::testing::Test
{
protected:
    MifareProDlgTest()
    {
        t7::connection().deviceHandle = 8;
        fake::installLibraryHex(fake);
        FAKE_ON(fake, rz_apdu_mifarepro,
                [this](int, unsigned char n, unsigned char *, unsigned char *length, unsigned char *response) {
                    sent = n;
                    for (int i = 0; i < responseLength; ++i)
                        response[i] = static_cast<unsigned char>(i);
                    *length = static_cast<unsigned char>(responseLength);
                    return 0;
                });
        dialog.show();
    }
    ~MifareProDlgTest() override { t7::connection().deviceHandle = 0; }

    void click(const char *name) { QTest::mouseClick(dialog.findChild<QPushButton *>(name), Qt::LeftButton); }
    void send(const QString &text)
    {
        dialog.findChild<QLineEdit *>("command")->setText(text);
        click("send");
    }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    int responseLength = 2;
    int sent = -1;
    CMifareProDlg dialog;
};

TEST_F(MifareProDlgTest, ResetAppendsTheAnswerOrWhatFailedAndALineBreak)
{
    EXPECT_EQ(dialog.windowTitle(), "Mifare Pro  CARD");
    fake.returns("rz_card", 1);
    click("reset");
    fake.returns("rz_card", 0);
    FAKE_ON(fake, rz_reset_mifarepro, [](int, unsigned char *length, unsigned char *answer) {
        answer[0] = 0x0B;
        answer[1] = 0x78;
        *length = 2;
        return 0;
    });
    click("reset");
    FAKE_ON(fake, rz_reset_mifarepro, [](int, unsigned char *, unsigned char *) { return 3; });
    click("reset");
    EXPECT_EQ(dialog.transcript(), "Find card failed!\r\n0B78\r\n card Reset failed!\r\n");
    EXPECT_EQ(dialog.findChild<QPlainTextEdit *>("transcript")->toPlainText(),
              "Find card failed!\n0B78\n card Reset failed!\n");
}

TEST_F(MifareProDlgTest, ACommandShowsFourLinesAndAOneCharacterOneIsRefused)
{
    send(QStringLiteral("0"));
    EXPECT_EQ(boxes.texts(), QStringList{"Please enter commands!"});
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(dialog.transcript(), "");
    EXPECT_EQ(fake.count("rz_apdu_mifarepro"), 0);
    send(QStringLiteral("00a4000002"));
    EXPECT_EQ(sent, 5);
    EXPECT_EQ(dialog.transcript(), "Send :\r\n00a4000002\r\nReceive:\r\n0001\r\n");
    FAKE_ON(fake, rz_apdu_mifarepro,
            [](int, unsigned char, unsigned char *, unsigned char *, unsigned char *) { return 0x20001; });
    dialog.onClear();
    send(QStringLiteral("00a4000002"));
    EXPECT_EQ(dialog.transcript(), "Send command error!\r\n");
}

TEST_F(MifareProDlgTest, LongCommandsAreRefusedAndLongAnswersShownWhole)
{
    send(QString(512, QLatin1Char('A')));
    EXPECT_EQ(sent, -1);
    EXPECT_EQ(dialog.transcript(), "Command too long! At most 255 bytes (510 hexadecimal characters).\r\n");
    responseLength = 255;
    dialog.onClear();
    send(QString(510, QLatin1Char('A')));
    EXPECT_EQ(sent, 255);
    const QString received = dialog.transcript().section(QStringLiteral("\r\n"), 3, 3);
    EXPECT_EQ(received.size(), 510);
    EXPECT_TRUE(received.endsWith("FCFDFE"));
}

TEST_F(MifareProDlgTest, TheHiddenHaltSaysOkInItsOwnBoxAndErrorsInTheApplicationsBox)
{
    EXPECT_FALSE(dialog.findChild<QPushButton *>("halt")->isVisible());
    EXPECT_EQ(dialog.findChild<QPushButton *>("halt")->text(), "&HALT");
    dialog.onHalt();
    fake.returns("rz_halt_mifarepro", 1);
    dialog.onHalt();
    ASSERT_EQ(boxes.messages().size(), 2u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(boxes.messages()[0].text, "Halt OK!");
    EXPECT_EQ(boxes.messages()[1].kind, t7::BoxKind::Application);
    EXPECT_EQ(boxes.messages()[1].text, "Halt Error!");
}

} // namespace
