// The shared Mifare One operations and the sheet that hosts the pages.
#include "tests/mifare_one/MifarePageTest.h"

#include "panels/mifare_one/AutoTestPageDlg.h"
#include "panels/mifare_one/CLoadKeyPageDlg.h"
#include "panels/mifare_one/CMifareOneDlg.h"
#include "panels/mifare_one/ChangKeyPageDlg.h"
#include "panels/mifare_one/RwOperPageDlg.h"

#include <QTabWidget>

using namespace t7::mifare;
using mifaretest::PageTest;
using ::testing::ElementsAre;

namespace
{

TEST(MifareHexText, AcceptsPairsAndAZeroByteWrittenAs00)
{
    unsigned char bytes[6] = {};
    EXPECT_TRUE(HexTextToBytes(QStringLiteral("00A1ff7C0b10"), bytes, 6));
    EXPECT_THAT(bytes, ElementsAre(0x00, 0xA1, 0xFF, 0x7C, 0x0B, 0x10));
}

TEST(MifareHexText, RefusesAPairThatReadsAsZeroWithoutBeing00)
{
    unsigned char bytes[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_FALSE(HexTextToBytes(QStringLiteral("0G112233"), bytes, 4));
    EXPECT_FALSE(HexTextToBytes(QStringLiteral("1122  33"), bytes, 4));
    // The pairs before the bad one are already written.
    EXPECT_THAT(bytes, ElementsAre(0x11, 0x22, 0xEE, 0xEE));
    EXPECT_FALSE(HexTextToBytes(QStringLiteral("G1000000"), bytes, 4));
    EXPECT_FALSE(HexTextToBytes(QStringLiteral("1122"), bytes, 4)) << "too short a text";
}

TEST(MifareHexText, FollowsTheStringToIntegerRulesForAPair)
{
    unsigned char bytes[4] = {};
    EXPECT_TRUE(HexTextToBytes(QStringLiteral("1G-1 a00"), bytes, 4));
    EXPECT_THAT(bytes, ElementsAre(0x01, 0xFF, 0x0A, 0x00));
}

TEST(MifareHexText, OtherLengthsConvertNothingAndSucceed)
{
    unsigned char bytes[5] = {9, 9, 9, 9, 9};
    EXPECT_TRUE(HexTextToBytes(QStringLiteral("GGGGGGGGGG"), bytes, 5));
    EXPECT_THAT(bytes, ElementsAre(9, 9, 9, 9, 9));
}

TEST(MifareHexText, BytesToHexTextIsLowerCaseWithTwoDigitsEach)
{
    const unsigned char bytes[4] = {0xFF, 0x07, 0x80, 0x69};
    EXPECT_EQ(BytesToHexText(bytes, 4), QStringLiteral("ff078069"));
    const unsigned char zero[1] = {0};
    EXPECT_EQ(BytesToHexText(zero, 1), QStringLiteral("00"));
}

TEST(MifareKeyMode, MapsKeyTypeAndKeySetAndBecomesTheCurrentMode)
{
    EXPECT_EQ(MakeKeyMode(true, 0), 0);
    EXPECT_EQ(MakeKeyMode(true, 1), 1);
    EXPECT_EQ(MakeKeyMode(true, 2), 2);
    EXPECT_EQ(MakeKeyMode(false, 0), 4);
    EXPECT_EQ(MakeKeyMode(false, 1), 5);
    EXPECT_EQ(MakeKeyMode(false, -1), 6);
    EXPECT_EQ(state().currentKeyMode, 6);
    MakeKeyMode(true, 7);
    EXPECT_EQ(state().currentKeyMode, 2);
}

TEST(MifareLayout, S70LargeSectorsHoldSixteenBlocks)
{
    EXPECT_EQ(firstBlockOfSector(32), 128);
    EXPECT_EQ(trailerBlockOfSector(32), 143);
    EXPECT_EQ(trailerBlockOfSector(39), 255);
    EXPECT_EQ(trailerBlockOfSector(5), 23);
    EXPECT_EQ(sectorOfBlock(143), 32);
    EXPECT_EQ(sectorOfBlock(240), 39);
    EXPECT_EQ(sectorOfBlock(127), 31);
    EXPECT_TRUE(isTrailerBlock(143));
    EXPECT_FALSE(isTrailerBlock(131));
    EXPECT_TRUE(isTrailerBlock(7));
    EXPECT_FALSE(isTrailerBlock(128));
    EXPECT_TRUE(isTrailerBlock(255));
}

class CardAccess : public PageTest
{
};

TEST_F(CardAccess, RequestsFindsAndAuthenticatesInOrder)
{
    FAKE_ON(fake, rz_request, [](int, unsigned char, int *kind) {
        *kind = 2;
        return 0;
    });
    EXPECT_TRUE(FindCardAndAuthenticate(7, 5, 4));
    EXPECT_THAT(fake.callsTo({"rz_request", "rz_card", "rz_authentication"}),
                ElementsAre("rz_request(7,1,*)", "rz_card(7,1,*)", "rz_authentication(7,4,5)"));
    EXPECT_EQ(state().cardKind, 2);
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(CardAccess, ReportsEachFailureOnceInAnApplicationBox)
{
    fake.returns("rz_authentication", 1);
    EXPECT_FALSE(FindCardAndAuthenticate(7, 5, 0));
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("5Sector authentication error!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);

    boxes.clear();
    fake.clearCalls();
    fake.returns("rz_request", 1);
    EXPECT_FALSE(FindCardAndAuthenticate(7, 5, 0));
    EXPECT_THAT(boxes.texts(), ElementsAre(QStringLiteral("Find card error!")));
    EXPECT_EQ(fake.count("rz_card"), 0);

    boxes.clear();
    fake.returns("rz_request", 0);
    fake.returns("rz_card", 1);
    EXPECT_FALSE(FindCardAndAuthenticate(7, 5, 0));
    EXPECT_THAT(boxes.texts(), ElementsAre(QStringLiteral("Find card error!")));
    EXPECT_EQ(fake.count("rz_authentication"), 0);
}

TEST_F(CardAccess, NoCardKeepsTheEarlierCardKind)
{
    mifaretest::resetSharedState(kCardKindS70);
    fake.returns("rz_request", 1);
    EXPECT_FALSE(FindCardAndAuthenticate(7, 1, 0));
    EXPECT_EQ(state().cardKind, kCardKindS70);
}

class MifareSheet : public PageTest
{
protected:
    void answerRequestWith(int kind)
    {
        FAKE_ON(fake, rz_request, [kind](int, unsigned char, int *out) {
            *out = kind;
            return 0;
        });
    }
    static QStringList captions(const CMifareOneDlg &sheet)
    {
        QStringList list;
        for (int i = 0; i < sheet.tabs()->count(); ++i)
            list << sheet.tabs()->tabText(i);
        return list;
    }
};

TEST_F(MifareSheet, HoldsTheSixPagesInTabOrderAndTheUpdateKeyPageRequestsTheCard)
{
    answerRequestWith(kCardKindS50);
    CMifareOneDlg sheet(7);
    EXPECT_THAT(fake.calls(), ElementsAre("rz_request(7,1,*)"));
    sheet.show();
    EXPECT_THAT(captions(sheet),
                ElementsAre("Load key", "Verify Key", "Read and write", "Auto Test", "Value Operate", "Update Key"));
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Mifare One CARD"));
    EXPECT_EQ(sheet.tabs()->currentWidget(), sheet.loadKeyPage());
    EXPECT_EQ(sheet.findChild<QAbstractButton *>("exitButton")->text(), QStringLiteral("Exit(&E)"));
}

TEST_F(MifareSheet, AnS70OnTheReaderRetitlesTheSheetAndSetsTheS70Forms)
{
    answerRequestWith(kCardKindS70);
    CMifareOneDlg sheet(0);
    sheet.show();
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("S70 operation"));
    EXPECT_TRUE(child<QLabel>(*sheet.loadKeyPage(), "rowLabels")->text().startsWith("00(16/32)\n01(17/33)"));
    EXPECT_EQ(child<QComboBox>(*sheet.updateKeyPage(), "sectorList")->count(), 40);
}

TEST_F(MifareSheet, NoCardKeepsTheEarlierKind)
{
    mifaretest::resetSharedState(kCardKindS70);
    fake.returns("rz_request", 1);
    CMifareOneDlg sheet(1);
    sheet.show();
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("S70 operation"));
}

TEST_F(MifareSheet, StartPageIndexChoosesTheFirstActivePage)
{
    const std::vector<std::pair<int, int>> expected = {{0, 1}, {1, 2}, {2, 3}, {3, 0},  {4, 4},
                                                       {5, 0}, {6, 5}, {7, 0}, {-1, 0}, {99, 0}};
    for (const auto &[start, tab] : expected) {
        CMifareOneDlg sheet(start);
        sheet.show();
        EXPECT_EQ(sheet.tabs()->currentIndex(), tab) << "start page " << start;
        EXPECT_EQ(sheet.startPage(), start);
    }
}

TEST_F(MifareSheet, ActivatingTheReadAndWritePageOffersTheVerifiedSectorsBlocks)
{
    CMifareOneDlg sheet(7);
    sheet.show();
    state().verifiedSector = 2;
    sheet.tabs()->setCurrentWidget(sheet.readWritePage());
    EXPECT_EQ(text(*sheet.readWritePage(), "addressLabel"), QStringLiteral("Block address:8-11"));
    EXPECT_EQ(sheet.readWritePage()->block(), 8);
    // Opening straight on the page activates it too.
    state().verifiedSector = 3;
    CMifareOneDlg again(1);
    again.show();
    EXPECT_EQ(text(*again.readWritePage(), "addressLabel"), QStringLiteral("Block address:12-15"));
}

TEST_F(MifareSheet, ExitClosesTheSheetAndEndsARunningAutoTest)
{
    CMifareOneDlg sheet(2);
    sheet.show();
    click(*sheet.autoTestPage(), "testButton");
    ASSERT_TRUE(sheet.autoTestPage()->workerRunning());
    click(sheet, "exitButton");
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_FALSE(sheet.autoTestPage()->workerRunning());
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
}

} // namespace
