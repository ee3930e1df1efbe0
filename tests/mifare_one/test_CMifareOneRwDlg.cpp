#include "panels/mifare_one/CMifareOneRwDlg.h"

#include "panels/mifare_one/MifareOne.h"
#include "reader/ConnectionState.h"
#include "tests/mifare_one/FakeMifareCard.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace
{

constexpr int kHandle = 7;

class MifareOneRwDlgTest : public ::testing::Test
{
protected:
    MifareOneRwDlgTest()
    {
        t7::connection().deviceHandle = kHandle;
        t7::mifare::state().currentKeyMode = 0;
        dialog.show();
    }
    ~MifareOneRwDlgTest() override { t7::connection().deviceHandle = 0; }

    template <typename T> T *child(const QString &name)
    {
        T *found = dialog.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QCheckBox *sectorBox(int s) { return child<QCheckBox>(QStringLiteral("sectorBox%1").arg(s)); }
    QListWidget *sectorList(int s) { return child<QListWidget>(QStringLiteral("sectorList%1").arg(s)); }
    QListWidget *results() { return child<QListWidget>(QStringLiteral("results")); }
    QLineEdit *blockEdit() { return child<QLineEdit>(QStringLiteral("blockEdit")); }
    QProgressBar *progress() { return child<QProgressBar>(QStringLiteral("progress")); }

    static QStringList lines(QListWidget *list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    void click(const QString &button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void clickLine(int sector, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QListWidget *list = sectorList(sector);
        ASSERT_LT(row, list->count());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(list->item(row)).center());
    }
    void readSectors(std::initializer_list<int> sectors)
    {
        for (int s : sectors)
            sectorBox(s)->setChecked(true);
        click(QStringLiteral("read"));
    }

    fake::FakeReader fake;
    fake::FakeMifareCard card{fake};
    fake::MessageRecorder boxes;
    CMifareOneRwDlg dialog;
};

TEST_F(MifareOneRwDlgTest, OpensWithKeyANoSectorAndTheDialogsCaptions)
{
    EXPECT_EQ(dialog.windowTitle(), "Mifare One Read and Write");
    EXPECT_TRUE(child<QRadioButton>("keyA")->isChecked());
    for (int s = 0; s < CMifareOneRwDlg::kSectors; ++s) {
        EXPECT_FALSE(sectorBox(s)->isChecked()) << s;
        EXPECT_EQ(sectorBox(s)->text(), QString::number(s));
    }
    EXPECT_EQ(child<QLabel>("sectorLabel0")->text(), "Setor0");
    EXPECT_EQ(child<QLabel>("sectorLabel1")->text(), "Sector1");
    EXPECT_EQ(child<QLabel>("sectorLabel10")->text(), "Secotr10");
    EXPECT_EQ(child<QLabel>("sectorLabel15")->text(), "Sector15");
    EXPECT_EQ(child<QLabel>("sectorLabel5")->buddy(), sectorList(5));
    EXPECT_FALSE(dialog.blockNumber().has_value());
}

TEST_F(MifareOneRwDlgTest, ReadWithNothingCheckedOnlyResetsBarAndLists)
{
    readSectors({1});
    ASSERT_EQ(sectorList(1)->count(), 4);
    ASSERT_EQ(progress()->value(), 100);
    card.failReadOf(5);
    sectorBox(1)->setChecked(false);
    fake.clearCalls();
    boxes.clear();
    click(QStringLiteral("read"));
    EXPECT_THAT(fake.calls(), IsEmpty());
    EXPECT_THAT(boxes.texts(), IsEmpty());
    EXPECT_EQ(sectorList(1)->count(), 0);
    EXPECT_EQ(progress()->value(), 0);
}

TEST_F(MifareOneRwDlgTest, ReadsCheckedSectorsWithTheChosenKeyType)
{
    child<QRadioButton>("keyB")->setChecked(true);
    fake.clearCalls();
    readSectors({3});
    EXPECT_THAT(fake.callsTo({"rz_authentication", "rz_read", "rz_beep"}),
                ElementsAre("rz_authentication(7,4,3)", "rz_read(7,12,*)", "rz_read(7,13,*)", "rz_read(7,14,*)",
                            "rz_read(7,15,*)", "rz_beep(7,10)"));
    EXPECT_EQ(lines(sectorList(3)), QStringList({fake::patternText(12), fake::patternText(13), fake::patternText(14),
                                                 fake::patternText(15)}));
    EXPECT_EQ(t7::mifare::state().currentKeyMode, 4);
    EXPECT_EQ(results()->count(), 0);
    EXPECT_EQ(child<QLabel>("status")->text(), "");
}

TEST_F(MifareOneRwDlgTest, NoCardGivesFindCardLineThenBlockReadLinePerSector)
{
    fake.returns("rz_card", 1);
    card.failReadOf(4);
    card.failReadOf(8);
    readSectors({1, 2});
    EXPECT_EQ(lines(results()),
              QStringList({"1Read sector data error!Reason:Find card error!", "1Read sector data error!",
                           "2Read sector data error!Reason:Find card error!", "2Read sector data error!"}));
    EXPECT_EQ(fake.count("rz_authentication"), 0);
    EXPECT_THAT(boxes.texts(), IsEmpty());
}

TEST_F(MifareOneRwDlgTest, FailedAuthenticationIsReportedAndBlocksAreStillRead)
{
    fake.returns("rz_authentication", 1);
    readSectors({6});
    EXPECT_EQ(lines(results()), QStringList({"6Read sector data error!Reason:Password authtication failed!"}));
    EXPECT_EQ(sectorList(6)->count(), 4);
}

TEST_F(MifareOneRwDlgTest, FailedBlockReadEndsThatSectorOnlyAndOthersAreLeftEmpty)
{
    readSectors({0, 1, 2});
    sectorBox(0)->setChecked(false);
    card.failReadOf(6);
    fake.clearCalls();
    click(QStringLiteral("read"));
    EXPECT_EQ(lines(sectorList(1)), QStringList({fake::patternText(4), fake::patternText(5)}));
    EXPECT_THAT(fake.callsTo({"rz_read"}), Not(Contains("rz_read(7,7,*)")));
    EXPECT_EQ(lines(results()), QStringList({"1Read sector data error!"}));
    EXPECT_EQ(sectorList(2)->count(), 4);
    EXPECT_EQ(sectorList(0)->count(), 0);
}

TEST_F(MifareOneRwDlgTest, ProgressStepsByWhatIsLeftAndStopsAtTheMaximum)
{
    std::vector<int> atSectorStart;
    QProgressBar *bar = progress();
    FAKE_ON(fake, rz_authentication, [&](int, unsigned char, unsigned char) {
        atSectorStart.push_back(bar->value());
        return 0;
    });
    readSectors({4, 9, 15});
    EXPECT_THAT(atSectorStart, ElementsAre(0, 33, 83));
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(MifareOneRwDlgTest, SelectAllAndClearAllSetEverySectorBoxButNotTheKeyType)
{
    click(QStringLiteral("selectAll"));
    for (int s = 0; s < CMifareOneRwDlg::kSectors; ++s)
        EXPECT_TRUE(sectorBox(s)->isChecked()) << s;
    EXPECT_TRUE(child<QRadioButton>("keyA")->isChecked());
    click(QStringLiteral("clearAll"));
    for (int s = 0; s < CMifareOneRwDlg::kSectors; ++s)
        EXPECT_FALSE(sectorBox(s)->isChecked()) << s;
    EXPECT_TRUE(child<QRadioButton>("keyA")->isChecked());
}

TEST_F(MifareOneRwDlgTest, ChoosingALineSelectsOnlyItAndCopiesItsBlock)
{
    readSectors({2, 5});
    clickLine(2, 1);
    ASSERT_EQ(dialog.blockNumber(), 9);
    clickLine(5, 2);
    EXPECT_EQ(dialog.blockNumber(), 22);
    EXPECT_EQ(blockEdit()->text(), fake::patternText(22));
    EXPECT_THAT(sectorList(2)->selectedItems(), IsEmpty());
    ASSERT_EQ(sectorList(5)->selectedItems().size(), 1);
    EXPECT_EQ(sectorList(5)->row(sectorList(5)->selectedItems().first()), 2);
}

TEST_F(MifareOneRwDlgTest, WritingTheChosenLineBackUnchangedSucceeds)
{
    readSectors({5});
    clickLine(5, 2);
    fake.clearCalls();
    click(QStringLiteral("write"));
    EXPECT_THAT(fake.callsTo({"rz_request", "rz_authentication", "rz_write"}),
                ElementsAre("rz_request(7,1,*)", "rz_authentication(7,0,5)", "rz_write(7,22,*)"));
    EXPECT_EQ(card.block(22), fake::patternBlock(22));
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(boxes.messages()[0].text, "Writedata success!");
}

TEST_F(MifareOneRwDlgTest, WritesTheEditedTextToTheChosenBlockEvenBlockZero)
{
    readSectors({0});
    clickLine(0, 0);
    blockEdit()->setText("00112233445566778899AABBCCDDEEFF");
    click(QStringLiteral("write"));
    const fake::Block expected{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                               0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(card.block(0), expected);
    EXPECT_EQ(boxes.texts(), QStringList({"Writedata success!"}));
}

TEST_F(MifareOneRwDlgTest, WriteRefusesTrailerShortTextAndNonHexText)
{
    readSectors({1});
    clickLine(1, 3);
    click(QStringLiteral("write"));
    blockEdit()->setText(fake::patternText(4).left(31));
    click(QStringLiteral("write"));
    clickLine(1, 0);
    blockEdit()->setText("0011223344556677 8899AABBCCDDEEF");
    click(QStringLiteral("write"));
    EXPECT_EQ(boxes.texts(), QStringList({"This is the code block!", "Length of chars inserted not enough!",
                                          "Input data is incorrect!"}));
    EXPECT_EQ(fake.count("rz_write"), 0);
}

TEST_F(MifareOneRwDlgTest, WriteBeforeAnyLineWasChosenIsRefusedWithoutReaderCalls)
{
    blockEdit()->setText("00112233445566778899AABBCCDDEEFF");
    fake.clearCalls();
    click(QStringLiteral("write"));
    EXPECT_THAT(fake.calls(), IsEmpty());
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(boxes.messages()[0].text, "Please choose a block from a sector list first!");
}

TEST_F(MifareOneRwDlgTest, UnselectingALineKeepsTheBlockLastChosen)
{
    readSectors({0});
    clickLine(0, 1);
    clickLine(0, 1, Qt::ControlModifier);
    ASSERT_THAT(sectorList(0)->selectedItems(), IsEmpty());
    EXPECT_EQ(dialog.blockNumber(), 1);
    fake.clearCalls();
    click(QStringLiteral("write"));
    EXPECT_THAT(fake.callsTo({"rz_write"}), ElementsAre("rz_write(7,1,*)"));
}

TEST_F(MifareOneRwDlgTest, WriteIsAttemptedAfterAFailedCardSearchAndReportsItsFailure)
{
    readSectors({2});
    clickLine(2, 0);
    fake.returns("rz_request", 1);
    card.failWriteOf(8);
    click(QStringLiteral("write"));
    EXPECT_EQ(boxes.texts(), QStringList({"Find card error!", "Writedata failed!"}));
    EXPECT_EQ(boxes.messages()[1].kind, t7::BoxKind::Application);
    EXPECT_EQ(fake.count("rz_write"), 1);
}

} // namespace
