// The Verify Key page: range check, key mode and the remembered verification.
#include "tests/mifare_one/MifarePageTest.h"

#include "panels/mifare_one/AuthenPageDlg.h"

#include <QRadioButton>

using mifaretest::PageTest;
using t7::mifare::state;
using ::testing::ElementsAre;

namespace
{

class VerifyKeyPage : public PageTest
{
protected:
    explicit VerifyKeyPage(int kind = t7::mifare::kCardKindS50) : PageTest(kind)
    {
        page.opening();
        page.show();
    }
    void verify(int sector)
    {
        setText(page, "sectorEdit", QString::number(sector));
        click(page, "verifyButton");
    }

    AuthenPageDlg page;
};

class VerifyKeyPageS70 : public VerifyKeyPage
{
protected:
    VerifyKeyPageS70() : VerifyKeyPage(t7::mifare::kCardKindS70) {}
};

TEST_F(VerifyKeyPage, OpensWithKeyAAndTheS50Range)
{
    EXPECT_TRUE(child<QRadioButton>(page, "keyA")->isChecked());
    EXPECT_EQ(text(page, "rangeLabel"), QStringLiteral("(Range: 0-15)"));
    EXPECT_EQ(text(page, "sectorEdit"), QStringLiteral("0"));
    EXPECT_FALSE(child<QComboBox>(page, "keySet")->isVisible());
}

TEST_F(VerifyKeyPage, RefusesASectorBeyondAnS50WithoutTouchingTheReader)
{
    verify(16);
    EXPECT_THAT(boxes.texts(), ElementsAre("Sector out of range!\n Put in again please"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_TRUE(fake.calls().empty());
}

TEST_F(VerifyKeyPageS70, ShowsTheS70RangeAndAcceptsSector39ButNot40)
{
    EXPECT_EQ(text(page, "rangeLabel"), QStringLiteral("(Sector: 0-39)"));
    verify(40);
    EXPECT_THAT(boxes.texts(), ElementsAre("Sector out of range!\n Put in again please"));
    boxes.clear();
    verify(39);
    EXPECT_THAT(fake.callsTo({"rz_request", "rz_authentication"}),
                ElementsAre("rz_request(7,1,*)", "rz_authentication(7,0,39)"));
    EXPECT_THAT(boxes.texts(), ElementsAre("Password authentication success!"));
}

TEST_F(VerifyKeyPage, ARangeCheckUsesTheCardKindFromBeforeTheRequest)
{
    FAKE_ON(fake, rz_request, [](int, unsigned char, int *kind) {
        *kind = t7::mifare::kCardKindS70;
        return 0;
    });
    verify(20);
    EXPECT_THAT(boxes.texts(), ElementsAre("Sector out of range!\n Put in again please"));
    verify(3);
    EXPECT_EQ(state().cardKind, t7::mifare::kCardKindS70) << "the request refreshed the kind";
    boxes.clear();
    verify(20);
    EXPECT_THAT(boxes.texts(), ElementsAre("Password authentication success!"));
}

TEST_F(VerifyKeyPage, SuccessMarksTheSectorVerifiedAfterThePageBox)
{
    int sectorWhileBoxShown = -1;
    boxes.onNextBox([&] { sectorWhileBoxShown = state().verifiedSector; });
    verify(5);
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("Password authentication success!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(boxes.messages()[0].owner, &page);
    EXPECT_EQ(state().verified, 1);
    EXPECT_EQ(sectorWhileBoxShown, 0);
    EXPECT_EQ(state().verifiedSector, 5);
}

TEST_F(VerifyKeyPage, AFailureAfterASuccessKeepsTheEarlierVerification)
{
    verify(2);
    boxes.clear();
    fake.returns("rz_authentication", 1);
    verify(6);
    EXPECT_THAT(boxes.texts(), ElementsAre("6Sector authentication error!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(state().verified, 1);
    EXPECT_EQ(state().verifiedSector, 2);
}

TEST_F(VerifyKeyPage, NoCardSaysFindCardErrorAndVerifiesNothing)
{
    fake.returns("rz_card", 1);
    verify(1);
    EXPECT_THAT(boxes.texts(), ElementsAre("Find card error!"));
    EXPECT_EQ(state().verified, 0);
}

TEST_F(VerifyKeyPage, KeyBBecomesTheCurrentKeyModeFour)
{
    child<QRadioButton>(page, "keyB")->setChecked(true);
    verify(1);
    EXPECT_THAT(fake.callsTo({"rz_authentication"}), ElementsAre("rz_authentication(7,4,1)"));
    EXPECT_EQ(state().currentKeyMode, 4);
}

TEST_F(VerifyKeyPage, AnEmptySectorFieldIsRefusedBeforeAnyReaderCall)
{
    setText(page, "sectorEdit", QString());
    click(page, "verifyButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Please enter an integer."));
    EXPECT_TRUE(fake.calls().empty());
}

} // namespace
