#include "panels/contactless/CFcpuDlg.h"

#include "reader/ConnectionState.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace
{

constexpr int kHandle = 7;

class FcpuDlgTest : public ::testing::Test
{
protected:
    FcpuDlgTest()
    {
        t7::connection().deviceHandle = kHandle;
        fake::installLibraryHex(fake);
        FAKE_ON(fake, rz_pro_commandlink,
                [this](int, unsigned char length, unsigned char *, unsigned char *replyLength, unsigned char *reply,
                       unsigned char, unsigned char) {
                    sentLength = length;
                    reply[0] = 0x90;
                    reply[1] = 0x00;
                    *replyLength = 2;
                    return 0;
                });
    }
    ~FcpuDlgTest() override { t7::connection().deviceHandle = 0; }

    void open(int kind)
    {
        dialog = std::make_unique<CFcpuDlg>(kind);
        dialog->show();
    }
    void click(const char *name) { QTest::mouseClick(dialog->findChild<QPushButton *>(name), Qt::LeftButton); }
    void send(const QString &text)
    {
        dialog->findChild<QPlainTextEdit *>("command")->setPlainText(text);
        click("sendCommand");
    }
    QString shownLog() { return dialog->findChild<QPlainTextEdit *>("log")->toPlainText(); }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    std::unique_ptr<CFcpuDlg> dialog;
    int sentLength = -1;
};

TEST_F(FcpuDlgTest, TypeAWithNoCardLogsBothFailuresNewestFirst)
{
    fake.returns("rz_card", 1);
    fake.returns("rz_pro_reset", 1);
    open(10);
    EXPECT_EQ(dialog->windowTitle(), "FCPU");
    EXPECT_EQ(dialog->findChild<QPushButton *>("rfReset")->nextInFocusChain(),
              dialog->findChild<QPushButton *>("cardReset"))
        << "the focus goes the way the buttons stand";
    click("cardReset");
    EXPECT_EQ(dialog->logText(), "rz_pro_reset Error!\r\nrz_card Error!\r\n");
    EXPECT_EQ(shownLog(), "rz_pro_reset Error!\nrz_card Error!\n");
}

TEST_F(FcpuDlgTest, TypeBResetGivesTheFourteenAnswerBytes)
{
    unsigned char attributed[4] = {};
    FAKE_ON(fake, rz_request_b, [](int, unsigned char, unsigned char, unsigned char, unsigned char *answer) {
        for (int i = 0; i < 36; ++i)
            answer[i] = static_cast<unsigned char>(0x50 + i);
        return 0;
    });
    FAKE_ON(fake, rz_attrib, [&](int, unsigned char *pupi, unsigned char) {
        std::copy(pupi, pupi + 4, attributed);
        return 0;
    });
    open(11);
    EXPECT_EQ(dialog->windowTitle(), "CPU card  [ TYPEB ]");
    click("cardReset");
    const QString information = dialog->logText().section(QStringLiteral("\r\n"), 0, 0);
    EXPECT_EQ(information, "Reset Information: 505152535455565758595A5B5C5D");
    EXPECT_EQ(information.size() - QStringLiteral("Reset Information: ").size(), 28);
    EXPECT_EQ(attributed[0], 0x51);
    EXPECT_EQ(attributed[3], 0x54);
    EXPECT_EQ(fake.count("rz_card"), 0);

    FAKE_ON(fake, rz_attrib, [](int, unsigned char *, unsigned char) { return 1; });
    click("clear");
    click("cardReset");
    FAKE_ON(fake, rz_request_b, [](int, unsigned char, unsigned char, unsigned char, unsigned char *) { return 1; });
    click("cardReset");
    EXPECT_EQ(dialog->logText(), "Find card failed!\r\nFind card error!\r\n");
}

TEST_F(FcpuDlgTest, CommandsSendHalfTheTextAndLongOnesAreRefused)
{
    open(10);
    struct Case {
        QString text;
        int length; // -1: nothing sent
    };
    const Case cases[] = {
        {QStringLiteral("00A4000"), 3},
        {QString(), 0},
        {QString(500, QLatin1Char('0')), 250},
        {QString(501, QLatin1Char('0')), -1},
    };
    for (const Case &c : cases) {
        sentLength = -1;
        send(c.text);
        EXPECT_EQ(sentLength, c.length) << c.text.size();
    }
    EXPECT_TRUE(dialog->logText().startsWith("Command too long! At most 500 characters.\r\n"
                                             "Returned Information: 9000\r\nCommand OK!\r\n"));
    FAKE_ON(fake, rz_pro_commandlink,
            [](int, unsigned char, unsigned char *, unsigned char *, unsigned char *, unsigned char, unsigned char) {
                return 1;
            });
    click("clear");
    send(QStringLiteral("00A40000023F00"));
    EXPECT_EQ(dialog->logText(), "Command Error!\r\n");
    EXPECT_EQ(dialog->findChild<QPlainTextEdit *>("command")->toPlainText(), "00A40000023F00");
}

} // namespace
