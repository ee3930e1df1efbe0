#include "panels/contact/C4442Dlg.h"

#include "tests/contact/ContactPanelTest.h"

#include <QLabel>
#include <QTabWidget>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

class C4442DlgTest : public contacttest::PanelTest<C4442Dlg>
{
protected:
    C4442DlgTest()
    {
        FAKE_ON(fake, rz_read_4442, [](int, int address, unsigned char *data, int length) {
            for (int i = 0; i < length; ++i)
                data[i] = contacttest::patternByte(address + i);
            return 0;
        });
        FAKE_ON(fake, rz_write_4442, [this](int, int, unsigned char *data, int length) {
            written.assign(data, data + length);
            return 0;
        });
    }
    void showPage(int index) { dialog->tabs()->setCurrentIndex(index); }
    QString status(const char *name) const { return child<QLabel>(name)->text(); }
    // A successful verification on the Password page, then back to the page shown before.
    void verify()
    {
        const int shown = dialog->tabs()->currentIndex();
        showPage(0);
        click("verify");
        ASSERT_TRUE(t7::contact::sle4442().pscVerified);
        showPage(shown);
        boxes.clear();
        fake.clearCalls();
    }

    std::vector<unsigned char> written;
};

TEST_F(C4442DlgTest, WritesBeforeAVerificationAreRefusedWithoutAReaderCall)
{
    open(1);
    fake.clearCalls();
    click("write");
    showPage(2);
    fake.clearCalls();
    click("writeProtection");
    EXPECT_EQ(boxes.texts(),
              QStringList({"Password authentication first please!", "Password authentication first please!"}));
    EXPECT_THAT(fake.calls(), IsEmpty());
}

TEST_F(C4442DlgTest, VerifyAndUpdateSendOnlyWholeHexCodes)
{
    struct Case {
        const char *field;
        const char *button;
        QString typed;
        QString box; // empty: none
        bool cardCall;
    };
    const Case cases[] = {
        {"verifyPsc", "verify", "7E25A", "Input data is incorrect!", false},
        {"verifyPsc", "verify", "7E25AZ", "Input data is incorrect!", false},
        {"verifyPsc", "verify", "7e25a1", "Password authentication success!", true},
        {"newPsc", "update", "12345", "Length of chars inserted not enough!", false},
        {"newPsc", "update", "12 456", "Input data is incorrect!", false},
        {"newPsc", "update", "ABCDEF", "", true},
    };
    open(0);
    for (const Case &c : cases) {
        fake.clearCalls();
        boxes.clear();
        setText(c.field, c.typed);
        click(c.button);
        EXPECT_EQ(boxes.texts(), c.box.isEmpty() ? QStringList() : QStringList{c.box}) << c.typed.toStdString();
        EXPECT_EQ(fake.count("rz_authentikey_4442") + fake.count("rz_changkey_4442"), c.cardCall ? 1 : 0)
            << c.typed.toStdString();
    }
    EXPECT_EQ(t7::contact::sle4442().verifiedPsc, (std::array<unsigned char, 3>{0x7E, 0x25, 0xA1}));
    EXPECT_EQ(status("updateStatus"), "passwordUpdate success!");
}

TEST_F(C4442DlgTest, AFailedVerificationKeepsAnEarlierSuccess)
{
    open(0);
    click("verify");
    fake.returns("rz_authentikey_4442", 2);
    click("verify");
    EXPECT_EQ(boxes.texts(), QStringList({"Password authentication success!", "Password authtication failed!"}));
    EXPECT_TRUE(t7::contact::sle4442().pscVerified);
    EXPECT_THAT(fake.callsTo({"rz_authentikey_4442"}),
                ElementsAre("rz_authentikey_4442(7,0,3,*)", "rz_authentikey_4442(7,0,3,*)"));
}

TEST_F(C4442DlgTest, EachPageTakesTheFirstReaderOnWhichAnSle4442Answers)
{
    FAKE_ON(fake, rz_cntReadError_4442, [](int h, unsigned char *) { return h == 7 ? 1 : 0; });
    open(2);
    EXPECT_THAT(fake.callsTo({"rz_cntReadError_4442"}),
                ElementsAre("rz_cntReadError_4442(7,*)", "rz_cntReadError_4442(8,*)"));
    EXPECT_EQ(t7::connection().deviceHandle, 8);
    click("readProtection");
    EXPECT_EQ(fake.callsTo({"rz_getProtectData_4442"}), std::vector<std::string>{"rz_getProtectData_4442(8,0,*,4)"});
}

TEST_F(C4442DlgTest, TheMemoryIsReadWhenThePageOpensAndAFailedReadLeavesOneLine)
{
    open(1);
    EXPECT_EQ(calls({"rz_read_4442", "rz_cntReadError_4442"}).front(), "rz_read_4442(7,0,*,256)");
    const QStringList lines = view()->lines();
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(lines[15], contacttest::patternLine(240) + " ");
    EXPECT_TRUE(child<QLabel>("rowLabels")->text().endsWith("08\n09\n1A\n1B\n1C\n1D\n1E\n1F"));
    FAKE_ON(fake, rz_read_4442, [](int, int, unsigned char *, int) { return 1; });
    click("read");
    EXPECT_EQ(view()->lines(), QStringList{"Read card  failed!"});
    verify();
    click("write");
    EXPECT_EQ(boxes.texts(), QStringList{"Input data is incorrect!"});
    EXPECT_EQ(fake.count("rz_write_4442"), 0);
}

TEST_F(C4442DlgTest, OnlyLinesTwoToFifteenAreEditedAndAlwaysAllOfThemAreWritten)
{
    open(1);
    verify();
    editLine(0, "00");
    editLine(1, "00");
    EXPECT_FALSE(view()->edit()->isVisible());
    editLine(5, "0102030405060708090A0B0C0D0E0F10");
    ASSERT_TRUE(view()->edit()->isVisible());
    click("write");
    EXPECT_EQ(calls({"rz_write_4442"}), std::vector<std::string>{"rz_write_4442(7,32,*,224)"});
    ASSERT_EQ(written.size(), 224u);
    for (int i = 0; i < 224; ++i) {
        const int address = 32 + i;
        const unsigned char expected =
            address / 16 == 5 ? static_cast<unsigned char>(address % 16 + 1) : contacttest::patternByte(address);
        ASSERT_EQ(written[static_cast<size_t>(i)], expected) << address;
    }
    EXPECT_EQ(status("writeStatus"), "Write card  success!");
}

TEST_F(C4442DlgTest, AShortLineStopsTheWriteBeforeAnyCardCall)
{
    open(1);
    verify();
    editLine(9, "0102");
    click("write");
    EXPECT_EQ(boxes.texts(), QStringList{"Input data is incorrect!"});
    EXPECT_EQ(fake.count("rz_write_4442"), 0);
    EXPECT_EQ(view()->selectedRow(), 9);
}

} // namespace
