#include "panels/contactless/CUltralightCDlg.h"

#include "reader/ConnectionState.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <set>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

constexpr int kHandle = 6;

class UltralightCDlgTest : public ::testing::Test
{
protected:
    UltralightCDlgTest()
    {
        t7::connection().deviceHandle = kHandle;
        fake::installLibraryHex(fake);
        for (int page = 0; page < 44; ++page)
            for (int byte = 0; byte < 4; ++byte)
                card[static_cast<size_t>(page)][static_cast<size_t>(byte)] = static_cast<unsigned char>(page + byte);
        // The configuration pages: nothing locked, nothing protected.
        card[2] = {0x11, 0x48, 0x00, 0x00};
        card[40] = {0, 0, 0, 0};
        card[42] = {0x30, 0, 0, 0};
        card[43] = {0, 0, 0, 0};
        FAKE_ON(fake, rz_read_ultralt, [this](int, unsigned char page, unsigned char *data) {
            if (unreadable.count(page))
                return 1;
            std::copy_n(card[page].begin(), 4, data);
            return 0;
        });
        dialog.show();
    }
    ~UltralightCDlgTest() override { t7::connection().deviceHandle = 0; }

    template <typename T> T *child(const char *name) { return dialog.findChild<T *>(name); }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QTreeWidget *list() { return child<QTreeWidget>("pages"); }
    void selectRow(int row) { list()->setCurrentItem(list()->topLevelItem(row)); }
    QStringList logLines()
    {
        QStringList lines = dialog.logText().split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
    QStringList rowTexts(int row)
    {
        QStringList texts;
        for (int column = 0; column < 5; ++column)
            texts << list()->topLevelItem(row)->text(column);
        return texts;
    }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    std::array<std::array<unsigned char, 4>, 44> card{};
    std::set<int> unreadable;
    CUltralightCDlg dialog;
};

TEST_F(UltralightCDlgTest, ReadCardListsFortyFourPagesAndFindsTheCardAgainAfterAnUnreadableOne)
{
    unreadable = {30};
    click("readCard");
    ASSERT_EQ(list()->topLevelItemCount(), 44);
    EXPECT_EQ(rowTexts(29), QStringList({"29", "1D", "1E", "1F", "20"}));
    EXPECT_EQ(rowTexts(30), QStringList({"30", "??", "??", "??", "??"}));
    EXPECT_EQ(logLines(), QStringList{"Read PAGE:30 Error"});
    EXPECT_EQ(fake.count("rz_card"), 1);
    EXPECT_EQ(fake.count("rz_read_ultralt"), 44 + 4) << "the pages, then 2, 40, 42 and 43 for the attributes";
}

TEST_F(UltralightCDlgTest, KeysOfTheWrongLengthNeverReachTheCard)
{
    for (const QString &key : {QString(31, QLatin1Char('A')), QString()}) {
        child<QLineEdit>("key")->setText(key);
        click("verifyKey");
    }
    EXPECT_EQ(logLines(),
              QStringList({"Length of chars inserted not enough!", "Length of chars inserted not enough!"}));
    EXPECT_EQ(fake.count("rz_ultralt_C_authen"), 0);
    child<QLineEdit>("key")->setText(QStringLiteral("8F03B6D25EA1749C0D3BE6587A21C49F"));
    click("verifyKey");
    fake.returns("rz_ultralt_C_authen", 2);
    click("verifyKey");
    EXPECT_EQ(logLines().mid(2), QStringList({"Password authentication success!", "Password authtication failed!"}));
}

TEST_F(UltralightCDlgTest, PageDataWithBlanksIsWrittenAndAShortTextIsRefusedTwice)
{
    click("readCard");
    selectRow(7);
    EXPECT_EQ(child<QLineEdit>("pageData")->text(), "07 08 09 0A ");
    EXPECT_EQ(child<QLabel>("pageValue")->text(), "7");
    std::array<unsigned char, 4> written{};
    FAKE_ON(fake, rz_write_ultralt, [&](int, unsigned char, unsigned char *data) {
        std::copy_n(data, 4, written.begin());
        return 0;
    });
    child<QLineEdit>("pageData")->setText(QStringLiteral("AB 02 03 04"));
    click("writePage");
    EXPECT_THAT(fake.callsTo({"rz_write_ultralt"}), ElementsAre("rz_write_ultralt(6,7,*)"));
    EXPECT_EQ(written, (std::array<unsigned char, 4>{0xAB, 2, 3, 4}));
    EXPECT_EQ(rowTexts(7), QStringList({"7", "ab", "02", "03", "04"}));
    EXPECT_EQ(dialog.selectedPage(), 7);
    EXPECT_TRUE(list()->topLevelItem(7)->isSelected());

    child<QLineEdit>("pageData")->setText(QStringLiteral("0102030"));
    click("writePage");
    EXPECT_EQ(logLines(),
              QStringList({"Write success!", "Length of chars inserted not enough!", "Input data is incorrect!"}));
    EXPECT_EQ(fake.count("rz_write_ultralt"), 1);
}

TEST_F(UltralightCDlgTest, NoPageRowChosenMeansNoCallAndALine)
{
    fake.clearCalls();
    const std::set<std::string> pageCalls = {"rz_write_ultralt", "rz_ultralt_C_lockPage", "rz_ultralt_C_setSafePage"};
    for (const char *button : {"writePage", "lockPage", "setSafePage"})
        click(button); // before any selection: page -1
    click("readCard");
    selectRow(5);
    list()->clearSelection(); // the selected page becomes the row count, 44
    ASSERT_EQ(dialog.selectedPage(), 44);
    EXPECT_EQ(child<QLabel>("description")->text(), "");
    for (const char *button : {"writePage", "lockPage", "setSafePage"})
        click(button);
    EXPECT_THAT(fake.callsTo(pageCalls), IsEmpty());
    EXPECT_EQ(logLines().count(QStringLiteral("Please select a page in the list first!")), 6);
    EXPECT_THAT(boxes.texts(), IsEmpty()) << "not even the lock question";
}

TEST_F(UltralightCDlgTest, LockPageAsksThenSendsTheGroupsFirstPage)
{
    click("readCard");
    struct Case {
        int row;
        const char *call;
    };
    for (const Case &c : {Case{37, "rz_ultralt_C_lockPage(6,37)"}, Case{22, "rz_ultralt_C_lockPage(6,20)"},
                          Case{35, "rz_ultralt_C_lockPage(6,32)"}}) {
        selectRow(c.row);
        fake.clearCalls();
        click("lockPage");
        EXPECT_THAT(fake.callsTo({"rz_ultralt_C_lockPage"}), ElementsAre(c.call));
    }
    EXPECT_EQ(boxes.texts().first(), "Once locked,you will never write this block,continue?");
    EXPECT_EQ(boxes.messages().front().kind, t7::BoxKind::Question);
    boxes.answer(false);
    fake.clearCalls();
    const QStringList before = logLines();
    click("lockPage");
    EXPECT_EQ(fake.count("rz_ultralt_C_lockPage"), 0);
    EXPECT_EQ(logLines(), before);
    EXPECT_EQ(before.last(), "Lock block success!");
}

TEST_F(UltralightCDlgTest, DescriptionsTellKindLockAndProtection)
{
    card[2][2] = 0x20;  // L5
    card[40][0] = 0x0C; // bit 2 (shown as page 2) and pages 24-27
    card[40][1] = 0x10; // counter
    card[42][0] = 30;   // protected from page 30
    card[43][0] = 1;    // writing only
    click("readCard");
    struct Case {
        int page;
        const char *text;
    };
    const Case cases[] = {
        {0, "Card number:Pg"},
        {2, "SetupPg, Lock"},
        {5, "dataPg, Lock"},
        {21, "dataPg"},
        {25, "dataPg, Lock"},
        {29, "dataPg"},
        {35, "dataPg, SafePg, WriteProtect"},
        {41, "CNTPg, Lock, SafePg, WriteProtect"},
        {43, "SetupPg, SafePg, WriteProtect"},
    };
    for (const Case &c : cases) {
        selectRow(c.page);
        EXPECT_EQ(child<QLabel>("description")->text(), c.text) << c.page;
    }
    card[43][0] = 0; // reading too
    child<QCheckBox>("readProtect")->setChecked(true);
    click("setSafePage");
    EXPECT_THAT(fake.callsTo({"rz_ultralt_C_setSafePage"}), ElementsAre("rz_ultralt_C_setSafePage(6,43,1)"));
    EXPECT_EQ(logLines().last(), "Setup success!");
    EXPECT_EQ(dialog.describePage(35), "dataPg, SafePg, ReadWriteProtect");
    EXPECT_EQ(child<QLabel>("description")->text(), "SetupPg, SafePg, WriteProtect") << "until the next selection";
}

TEST_F(UltralightCDlgTest, FindCardAndUpdateKeyReportTheirOutcome)
{
    fake.returns("rz_card", 1);
    click("findCard");
    click("updateKey");
    fake.returns("rz_ultralt_C_changePwd", 2);
    click("updateKey");
    child<QLineEdit>("newKey")->setText(QStringLiteral("1234"));
    click("updateKey");
    EXPECT_EQ(logLines(), QStringList({"Find NO Card.", "passwordUpdate success!", "passwordUpdate failed!",
                                       "Length of chars inserted not enough!"}));
    EXPECT_EQ(fake.count("rz_ultralt_C_changePwd"), 2);
}

} // namespace
