#include "panels/contactless/CAt88rf020Dlg.h"

#include "tests/contactless/DialogDriver.h"
#include "tests/contactless/KeysFileFolder.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalScript.h"

#include <QComboBox>
#include <QPlainTextEdit>

#include <gmock/gmock.h>

#include <algorithm>
#include <memory>

using fake::child;
using fake::click;
using ::testing::ElementsAre;

namespace
{

constexpr int kHandle = 9;
const QByteArray kRecord = "AT88RF020 verify key: 0123456789ABCDEF";

class At88rf020DlgTest : public ::testing::Test
{
protected:
    At88rf020DlgTest()
    {
        fake::installLibraryHex(reader);
        FAKE_ON(reader, rz_CommandLink_at,
                [this](int, unsigned char *command, unsigned char length, unsigned char *reply, unsigned char *n) {
                    sent.assign(command, command + length);
                    std::fill(reply, reply + replyLength, 0xC4);
                    reply[0] = 0x00;
                    *n = static_cast<unsigned char>(replyLength);
                    return 0;
                });
    }
    void open()
    {
        dialog = std::make_unique<CAt88rf020Dlg>();
        fake::showActive(dialog.get());
    }
    QLineEdit *field(const char *name) { return child<QLineEdit>(dialog.get(), name); }
    bool gatedEnabled() { return child<QPushButton>(dialog.get(), "transmit")->isEnabled(); }
    QStringList logLines() { return dialog->logText().split("\r\n", Qt::SkipEmptyParts); }
    void verify()
    {
        field("password")->setText("0123456789ABCDEF");
        click(dialog.get(), "verify");
    }
    void transmit(const QString &text)
    {
        child<QPlainTextEdit>(dialog.get(), "command")->setPlainText(text);
        click(dialog.get(), "transmit");
    }

    fake::DeviceHandle handle{kHandle};
    fake::KeysFileFolder keys;
    fake::FakeReader reader;
    fake::MessageRecorder boxes;
    std::vector<unsigned char> sent;
    int replyLength = 2;
    std::unique_ptr<CAt88rf020Dlg> dialog;
};

TEST_F(At88rf020DlgTest, OpeningTakesThePasswordFromTheKeysFileWithTheGatedControlsOff)
{
    keys.write(kRecord + "tail");
    open();
    EXPECT_EQ(field("password")->text(), "0123456789ABCDEF");
    EXPECT_EQ(child<QComboBox>(dialog.get(), "examples")->currentText(), "[ example ]");
    for (const char *gated : {"transmit", "updatePassword"})
        EXPECT_FALSE(child<QPushButton>(dialog.get(), gated)->isEnabled()) << gated;
    EXPECT_FALSE(field("newPassword")->isEnabled());
    EXPECT_FALSE(child<QComboBox>(dialog.get(), "examples")->isEnabled());
}

TEST_F(At88rf020DlgTest, AFailedVerifyAfterAGoodOneTurnsTheGatedControlsOffAgain)
{
    open();
    verify();
    EXPECT_THAT(reader.callsTo({"rz_request_b", "rz_attrib", "rz_check_at"}),
                ElementsAre("rz_request_b(9,0,0,0,*)", "rz_attrib(9,*,0)", "rz_check_at(9,0,*)"));
    EXPECT_TRUE(gatedEnabled());
    reader.returns("rz_check_at", 2);
    verify();
    EXPECT_FALSE(gatedEnabled());
    EXPECT_EQ(logLines(), QStringList({"Authenticate success!", "Authenticate failed!"}));
}

TEST_F(At88rf020DlgTest, APasswordThatIsNotSixteenHexDigitsIsRefusedBeforeAnyCall)
{
    open();
    const std::pair<QString, QString> cases[] = {
        {"0123456789ABCDE", "Length of chars inserted not enough!"},
        {"0123456789ABCD F", "The password must be 16 hexadecimal digits!"},
        {"0123456789ABCDEG", "The password must be 16 hexadecimal digits!"},
    };
    for (const auto &[text, message] : cases) {
        boxes.clear();
        field("password")->setText(text);
        click(dialog.get(), "verify");
        EXPECT_EQ(boxes.texts(), QStringList({message})) << text.toStdString();
    }
    verify();
    boxes.clear();
    field("newPassword")->setText("FEDCBA98765432 1");
    click(dialog.get(), "updatePassword");
    EXPECT_EQ(boxes.texts(), QStringList({"The password must be 16 hexadecimal digits!"}));
    EXPECT_EQ(reader.count("rz_changekey_at"), 0);
    EXPECT_EQ(reader.count("rz_check_at"), 1);
}

TEST_F(At88rf020DlgTest, UpdateWritesThirtyEightBytesAtTheStartAndKeepsWhatFollows)
{
    keys.write(kRecord + "-rest of the file");
    open();
    verify();
    field("newPassword")->setText("FEDCBA9876543210");
    click(dialog.get(), "updatePassword");
    EXPECT_EQ(keys.content(), "AT88RF020 verify key: FEDCBA9876543210-rest of the file");
    EXPECT_EQ(logLines().last(), "Update success!");
    EXPECT_FALSE(gatedEnabled());
}

TEST_F(At88rf020DlgTest, AChangeTheKeysFileCannotRecordIsSaid)
{
    ASSERT_FALSE(keys.exists());
    open();
    verify();
    field("newPassword")->setText("FEDCBA9876543210");
    click(dialog.get(), "updatePassword");
    EXPECT_FALSE(keys.exists()); // never created here
    ASSERT_EQ(logLines().size(), 3);
    EXPECT_EQ(logLines()[1], "Update success!");
    EXPECT_TRUE(logLines()[2].contains("the new password is not recorded!"));
    EXPECT_TRUE(gatedEnabled());

    // A file that opens but takes no write: said as well, and the new
    // password must be verified all the same.
    keys.write("");
    QFile::remove(t7::keyFilePath());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), t7::keyFilePath()));
    open();
    verify();
    field("newPassword")->setText("FEDCBA9876543210");
    click(dialog.get(), "updatePassword");
    EXPECT_TRUE(logLines().last().contains("the new password is not recorded!"));
    EXPECT_FALSE(gatedEnabled());
}

TEST_F(At88rf020DlgTest, CommandsAreCheckedConvertedAndTheirRepliesLogged)
{
    open();
    verify();
    transmit("");
    transmit(QString(1026, 'A'));
    transmit("1G");
    EXPECT_EQ(reader.count("rz_CommandLink_at"), 0);
    transmit("ABC"); // odd: the last character is left out
    EXPECT_EQ(sent, (std::vector<unsigned char>{0xAB}));
    EXPECT_EQ(logLines(), QStringList({"Authenticate success!", "The median is not enough!",
                                       "The command is longer than 1024 characters!", "Input data is incorrect!",
                                       "Command success!", "00C4"}));
    // Over 255 bytes the one-byte length would lie about the command.
    transmit(QString(512, 'A'));
    EXPECT_EQ(logLines().last(), "The command is longer than 255 bytes!");

    child<QComboBox>(dialog.get(), "examples")->setCurrentIndex(2);
    EXPECT_EQ(sent, (std::vector<unsigned char>{0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    // A reply longer than 249 bytes is shown whole.
    replyLength = 255;
    transmit("10");
    EXPECT_EQ(logLines().last(), "00" + QString("C4").repeated(254));
}

TEST_F(At88rf020DlgTest, AApplicationOpensThePagePanel)
{
    fake::ModalScript modal;
    QString title;
    modal.on("CAt88rf020Dlg2", [&](QDialog &pages) {
        title = pages.windowTitle();
        return int(QDialog::Accepted);
    });
    open();
    click(dialog.get(), "application");
    EXPECT_EQ(modal.shown(), QStringList({"CAt88rf020Dlg2"}));
    EXPECT_EQ(title, "AT88RF020 CARD");
}

} // namespace
