#include "panels/mifare_one/CS70EasyDlg.h"

#include "panels/mifare_one/MifareOne.h"
#include "reader/ConnectionState.h"
#include "tests/mifare_one/FakeMifareCard.h"
#include "tests/support/FakeReader.h"
#include "tests/support/ListLines.h"
#include "tests/support/MessageRecorder.h"
#include "ui/HexEdits.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

constexpr int kHandle = 9;

class S70EasyDlgTest : public ::testing::Test
{
protected:
    S70EasyDlgTest() { t7::connection().deviceHandle = kHandle; }
    ~S70EasyDlgTest() override { t7::connection().deviceHandle = 0; }

    // Opens the panel; with a card on the reader it shows sector 0.
    void open()
    {
        dialog = std::make_unique<CS70EasyDlg>();
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
    }
    template <typename T> T *child(const QString &name)
    {
        T *found = dialog->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QListWidget *lines() { return child<QListWidget>(QStringLiteral("lines")); }
    CHexKeyEdit *editor() { return child<CHexKeyEdit>(QStringLiteral("lineEditor")); }
    QString labels() { return child<QLabel>(QStringLiteral("blockLabels"))->text(); }
    QStringList lineTexts()
    {
        QStringList texts;
        for (int i = 0; i < lines()->count(); ++i)
            texts << lines()->item(i)->text();
        return texts;
    }
    void chooseSector(int sector) { child<QComboBox>(QStringLiteral("sector"))->setCurrentIndex(sector); }
    QPoint centreOf(int line) { return lines()->visualItemRect(lines()->item(line)).center(); }
    void clickLine(int line) { QTest::mouseClick(lines()->viewport(), Qt::LeftButton, {}, centreOf(line)); }
    void doubleClickLine(int line)
    {
        clickLine(line);
        QTest::mouseDClick(lines()->viewport(), Qt::LeftButton, {}, centreOf(line));
    }
    void typeIntoEditor(const QString &text)
    {
        editor()->selectAll();
        QTest::keyClick(editor(), Qt::Key_Delete);
        QTest::keyClicks(editor(), text);
    }
    void clickWrite() { QTest::mouseClick(child<QPushButton>(QStringLiteral("write")), Qt::LeftButton); }
    static QString upper(int block) { return fake::patternText(block).toUpper(); }

    fake::FakeReader fake;
    fake::FakeMifareCard card{fake};
    fake::MessageRecorder boxes;
    std::unique_ptr<CS70EasyDlg> dialog;
};

TEST_F(S70EasyDlgTest, OpeningReadsSectorZeroWithTheFirstKeySetAndKeyA)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), "S70 easy operate");
    EXPECT_EQ(child<QComboBox>("keySet")->currentText(), "第一套密码");
    EXPECT_EQ(child<QComboBox>("sector")->count(), 40);
    EXPECT_EQ(child<QComboBox>("sector")->itemText(39), "39扇区");
    EXPECT_TRUE(child<QRadioButton>("keyA")->isChecked());
    EXPECT_THAT(fake.callsTo({"rz_authentication", "rz_read"}),
                ElementsAre("rz_authentication(9,0,0)", "rz_read(9,0,*)", "rz_read(9,1,*)", "rz_read(9,2,*)",
                            "rz_read(9,3,*)"));
    EXPECT_EQ(lineTexts(), QStringList({upper(0), upper(1), upper(2), upper(3)}));
    EXPECT_EQ(labels(), "0\n1\n2\n3");
    EXPECT_FALSE(editor()->isVisible());
}

TEST_F(S70EasyDlgTest, OpeningWithNoCardSaysSoAndKeepsTheFirstLabels)
{
    fake.returns("rz_card", 1);
    open();
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(boxes.messages()[0].text, "Find card error!");
    EXPECT_EQ(labels(), "00\n01\n02\n03");
    EXPECT_EQ(lines()->count(), 0);
    EXPECT_EQ(fake.count("rz_authentication"), 0);
}

TEST_F(S70EasyDlgTest, FailedAuthenticationNamesTheSectorAndLeavesNoLines)
{
    open();
    fake.returns("rz_authentication", 1);
    chooseSector(5);
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(boxes.messages()[0].text, "5Sector authentication error!");
    EXPECT_EQ(lines()->count(), 0);
    EXPECT_EQ(fake.count("rz_read"), 4); // sector 0 at opening only
}

TEST_F(S70EasyDlgTest, SectorTwoShowsItsFourBlocksAndWritesAllButTheTrailer)
{
    open();
    chooseSector(2);
    EXPECT_EQ(lineTexts(), QStringList({upper(8), upper(9), upper(10), upper(11)}));
    EXPECT_EQ(labels(), "8\n9\n10\n11");
    fake.clearCalls();
    clickWrite();
    EXPECT_THAT(fake.callsTo({"rz_write_S70", "rz_write"}),
                ElementsAre("rz_write_S70(9,8,*)", "rz_write_S70(9,9,*)", "rz_write_S70(9,10,*)"));
    EXPECT_EQ(card.block(9), fake::patternBlock(9));
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(boxes.messages()[0].text, "Write success!");
}

TEST_F(S70EasyDlgTest, SectorThirtyFiveShowsSixteenBlocksInThreeDigitsAndWritesFifteen)
{
    open();
    fake.clearCalls();
    chooseSector(35);
    std::vector<std::string> expectedReads;
    QStringList expectedLines;
    for (int block = 176; block <= 191; ++block) {
        expectedReads.push_back("rz_read_S70(9," + std::to_string(block) + ",*)");
        expectedLines << upper(block);
    }
    EXPECT_EQ(fake.callsTo({"rz_read_S70", "rz_read"}), expectedReads);
    EXPECT_EQ(lineTexts(), expectedLines);
    EXPECT_EQ(labels(), "176\n177\n178\n179\n180\n181\n182\n183\n184\n185\n186\n187\n188\n189\n190\n191");
    fake.clearCalls();
    clickWrite();
    const std::vector<std::string> writes = fake.callsTo({"rz_write_S70"});
    ASSERT_EQ(writes.size(), 15u);
    EXPECT_EQ(writes.front(), "rz_write_S70(9,176,*)");
    EXPECT_EQ(writes.back(), "rz_write_S70(9,190,*)");
}

TEST_F(S70EasyDlgTest, SmallSectorsOfAnS70UseTheFourBlockLayout)
{
    open();
    chooseSector(31);
    EXPECT_EQ(labels(), "124\n125\n126\n127");
    fake.clearCalls();
    clickWrite();
    EXPECT_THAT(fake.callsTo({"rz_write_S70"}),
                ElementsAre("rz_write_S70(9,124,*)", "rz_write_S70(9,125,*)", "rz_write_S70(9,126,*)"));
}

TEST_F(S70EasyDlgTest, KeyTypeAndKeySetMakeTheKeyModeOfTheNextRead)
{
    open();
    fake.clearCalls();
    child<QRadioButton>("keyB")->setChecked(true);
    chooseSector(1);
    child<QRadioButton>("keyA")->setChecked(true);
    child<QComboBox>("keySet")->setCurrentIndex(1);
    chooseSector(2);
    child<QRadioButton>("keyB")->setChecked(true);
    chooseSector(3);
    EXPECT_THAT(fake.callsTo({"rz_authentication"}),
                ElementsAre("rz_authentication(9,4,1)", "rz_authentication(9,1,2)", "rz_authentication(9,5,3)"));
    EXPECT_EQ(t7::mifare::state().currentKeyMode, 5);
}

TEST_F(S70EasyDlgTest, DoubleClickOpensTheEditorOverTheLine)
{
    open();
    chooseSector(2);
    doubleClickLine(1);
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), upper(9));
    EXPECT_EQ(editor()->geometry(), fake::lineRectIn(editor()->parentWidget(), lines(), 1));
    EXPECT_TRUE(editor()->hasFocus());
}

TEST_F(S70EasyDlgTest, TrailerLinesNeverOpenTheEditor)
{
    open();
    chooseSector(2);
    doubleClickLine(3);
    chooseSector(35);
    doubleClickLine(15);
    EXPECT_EQ(boxes.texts(), QStringList({"This is the code block!", "This is the code block!"}));
    EXPECT_FALSE(editor()->isVisible());
}

TEST_F(S70EasyDlgTest, DoubleClickWithoutASelectedLineNamesTheSelection)
{
    open();
    dialog->onLineDoubleClicked();
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(boxes.messages()[0].text, "ERRor :-1");
}

TEST_F(S70EasyDlgTest, AnEditIsTakenOverWhenAnotherLineIsChosenAndThenWritten)
{
    open();
    chooseSector(2);
    doubleClickLine(1);
    typeIntoEditor("00112233445566778899aabbccddeeff");
    clickLine(0);
    EXPECT_EQ(lines()->item(1)->text(), "00112233445566778899AABBCCDDEEFF");
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(dialog->lineEditor().editedRow(), -1);
    clickWrite();
    const fake::Block expected{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                               0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(card.block(9), expected);
    EXPECT_EQ(card.block(8), fake::patternBlock(8));
}

TEST_F(S70EasyDlgTest, WriteTakesOverAnEditStillOpen)
{
    open();
    chooseSector(3);
    doubleClickLine(2);
    typeIntoEditor(QString(32, QLatin1Char('A')));
    clickWrite();
    fake::Block expected;
    expected.fill(0xAA);
    EXPECT_EQ(card.block(14), expected);
    EXPECT_EQ(lines()->item(2)->text(), QString(32, QLatin1Char('A')));
}

TEST_F(S70EasyDlgTest, AShortEditIsRefusedAndNotTakenOver)
{
    open();
    chooseSector(2);
    doubleClickLine(1);
    typeIntoEditor("0011223344");
    clickLine(0);
    EXPECT_EQ(boxes.texts(), QStringList({"Length of chars inserted not enough!"}));
    EXPECT_EQ(lines()->item(1)->text(), upper(9));
    fake.clearCalls();
    clickWrite();
    EXPECT_EQ(card.block(9), fake::patternBlock(9));
}

TEST_F(S70EasyDlgTest, EscapeCancelsAnEditWithoutComplainingAboutItsLength)
{
    open();
    chooseSector(2);
    doubleClickLine(1);
    typeIntoEditor("12");
    QTest::keyClick(editor(), Qt::Key_Escape);
    EXPECT_THAT(boxes.texts(), IsEmpty());
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_TRUE(lines()->hasFocus());
    EXPECT_EQ(lines()->item(1)->text(), upper(9));
}

TEST_F(S70EasyDlgTest, AnAcceptedEditOfOneLineDoesNotCarryOverToTheNextEdit)
{
    open();
    chooseSector(2);
    doubleClickLine(0);
    typeIntoEditor(QString(32, QLatin1Char('1')));
    clickLine(1);
    ASSERT_EQ(lines()->item(0)->text(), QString(32, QLatin1Char('1')));
    doubleClickLine(1);
    typeIntoEditor("22");
    clickLine(2);
    EXPECT_EQ(lines()->item(1)->text(), upper(9));
}

TEST_F(S70EasyDlgTest, ChoosingAnotherSectorDiscardsAPendingEdit)
{
    open();
    chooseSector(2);
    doubleClickLine(1);
    typeIntoEditor(QString(32, QLatin1Char('F')));
    child<QRadioButton>("keyA")->setFocus(); // leaves the edit without choosing a line
    ASSERT_TRUE(dialog->lineEditor().pending());
    chooseSector(3);
    clickLine(0);
    EXPECT_EQ(lineTexts(), QStringList({upper(12), upper(13), upper(14), upper(15)}));
    clickWrite();
    EXPECT_EQ(card.block(13), fake::patternBlock(13));
    EXPECT_EQ(card.block(9), fake::patternBlock(9));
}

TEST_F(S70EasyDlgTest, AFailedWriteNamesTheBlockAloneAndStops)
{
    open();
    chooseSector(2);
    card.failWriteOf(9);
    fake.clearCalls();
    clickWrite();
    EXPECT_THAT(fake.callsTo({"rz_write_S70"}), ElementsAre("rz_write_S70(9,8,*)", "rz_write_S70(9,9,*)"));
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(boxes.messages()[0].text, "9");
}

TEST_F(S70EasyDlgTest, AnUnreadableBlockKeepsItsLineAndIsNotWrittenBack)
{
    open();
    card.failReadOf(9);
    chooseSector(2);
    EXPECT_EQ(lineTexts(), QStringList({upper(8), CS70EasyDlg::kUnreadBlock, upper(10), upper(11)}));
    fake.clearCalls();
    clickWrite();
    EXPECT_THAT(fake.callsTo({"rz_write_S70"}), ElementsAre("rz_write_S70(9,8,*)", "rz_write_S70(9,10,*)"));
    EXPECT_EQ(boxes.texts(), QStringList({"Write success!"}));
}

TEST_F(S70EasyDlgTest, AnUnreadableBlockCanBeGivenNewDataAndWritten)
{
    open();
    card.failReadOf(9);
    chooseSector(2);
    doubleClickLine(1);
    EXPECT_EQ(editor()->text(), CS70EasyDlg::kUnreadBlock);
    typeIntoEditor(QString(32, QLatin1Char('0')));
    clickWrite();
    EXPECT_EQ(card.block(9), fake::Block{});
}

} // namespace
