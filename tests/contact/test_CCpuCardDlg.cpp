#include "panels/contact/CCpuCardDlg.h"

#include "tests/contact/ContactPanelTest.h"

#include <QRadioButton>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

class CCpuCardDlgTest : public contacttest::PanelTest<CCpuCardDlg>
{
protected:
    CCpuCardDlgTest()
    {
        FAKE_ON(fake, rz_cpureset, [](int, unsigned char *length, unsigned char *answer) {
            const unsigned char atr[] = {0x3b, 0x02, 0x14, 0x50};
            std::copy(std::begin(atr), std::end(atr), answer);
            *length = sizeof atr;
            return 0;
        });
        FAKE_ON(fake, rz_cpuapdu,
                [this](int, int length, unsigned char *command, unsigned char *replyLength, unsigned char *reply) {
                    sent.assign(command, command + length);
                    reply[0] = 0x90;
                    reply[1] = 0x00;
                    *replyLength = 2;
                    return 0;
                });
    }
    std::vector<unsigned char> sent;
};

TEST_F(CCpuCardDlgTest, OpeningAsksEveryReaderForSam1AndTheLastToAnswerWins)
{
    // Only the low 16 bits count: 0x10000 is an answer.
    FAKE_ON(fake, rz_setcpu, [](int h, unsigned char) { return h == 9 ? 1 : (h == 8 ? 0x10000 : 0); });
    open();
    EXPECT_THAT(fake.calls(), ElementsAre("rz_setcpu(7,13)", "rz_setcpu(8,13)", "rz_setcpu(9,13)"));
    EXPECT_EQ(t7::connection().deviceHandle, 8);
    EXPECT_TRUE(child<QRadioButton>("sam1")->isChecked());
    EXPECT_EQ(dialog->slotCode(), 0x0D);
}

TEST_F(CCpuCardDlgTest, ResetSelectsTheChosenSlotAndShowsTheAnswerOrItsFailure)
{
    open();
    fake.clearCalls();
    child<QRadioButton>("cpu")->click();
    setText("command", "typed, not sent");
    click("reset");
    EXPECT_THAT(fake.callsTo({"rz_setcpu", "rz_cpureset"}), ElementsAre("rz_setcpu(9,12)", "rz_cpureset(9,*,*)"));
    EXPECT_EQ(text("resetInfo"), "3B021450");
    EXPECT_EQ(text("command"), "typed, not sent");
    fake.returns("rz_setcpu", 1);
    click("reset");
    EXPECT_EQ(text("resetInfo"), "Reset failed!");
}

TEST_F(CCpuCardDlgTest, SendConvertsWholeDigitPairsOnlyAndRefusesWhatItCannotSend)
{
    open();
    struct Case {
        QString command;
        std::vector<unsigned char> sent; // empty: nothing sent
        QString box;
    };
    const Case cases[] = {
        {"0", {}, ""},
        {"00A4040005", {0x00, 0xA4, 0x04, 0x00, 0x05}, ""},
        {"00A40", {0x00, 0xA4}, ""},
        {"00 A4", {}, "Input data is incorrect!"},
        {QString(1026, '0'), {}, "The command is too long: at most 1024 hexadecimal digits!"},
    };
    for (const Case &c : cases) {
        fake.clearCalls();
        boxes.clear();
        sent.clear();
        setText("returned", "");
        setText("command", c.command);
        click("send");
        EXPECT_EQ(sent, c.sent) << c.command.toStdString();
        EXPECT_EQ(fake.count("rz_cpuapdu"), c.sent.empty() ? 0 : 1) << c.command.toStdString();
        EXPECT_EQ(text("returned"), c.sent.empty() ? "" : "9000") << c.command.toStdString();
        EXPECT_EQ(boxes.texts(), c.box.isEmpty() ? QStringList() : QStringList{c.box}) << c.command.toStdString();
    }
    EXPECT_THAT(fake.callsTo({"rz_setcpu"}), IsEmpty()) << "Send passes no slot";
    FAKE_ON(fake, rz_cpuapdu, [](int, int, unsigned char *, unsigned char *, unsigned char *) { return 3; });
    setText("command", "0084000008");
    click("send");
    EXPECT_EQ(text("returned"), "Command failed!");
}

TEST_F(CCpuCardDlgTest, ParametersAndPowerDownGoToTheChosenSlot)
{
    open();
    child<QRadioButton>("sam3")->click();
    setText("protocol", "257");
    click("setupParameter");
    click("powerDown");
    fake.returns("rz_setcpupara", 1);
    click("setupParameter");
    EXPECT_THAT(fake.callsTo({"rz_setcpupara", "rz_cpudown"}),
                ElementsAre("rz_setcpupara(9,15,1,92)", "rz_cpudown(9,15)", "rz_setcpupara(9,15,1,92)"));
    EXPECT_EQ(boxes.texts(),
              QStringList({"SetupParameter success!", "CPU power off success!", "SetupParameter failed!"}));
}

} // namespace
