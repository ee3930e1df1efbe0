// The Value Operate page: absolute block, silent sector check, code blocks and
// the four value operations with their messages.
#include "tests/mifare_one/MifarePageTest.h"

#include "panels/mifare_one/ValOperPageDlg.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPushButton>

using mifaretest::PageTest;
using t7::mifare::state;
using ::testing::ElementsAre;

namespace
{

class ValuePage : public PageTest
{
protected:
    explicit ValuePage(int kind = t7::mifare::kCardKindS50) : PageTest(kind)
    {
        page.opening();
        page.show();
    }
    // Sector typed, then a block chosen from the list.
    void choose(int sector, int blockIndex)
    {
        setText(page, "sectorEdit", QString::number(sector));
        leaveSectorField();
        child<QComboBox>(page, "blockList")->setCurrentIndex(blockIndex);
    }
    void leaveSectorField()
    {
        QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(child<QLineEdit>(page, "sectorEdit"), &left);
    }
    std::vector<std::string> valueCalls() const
    {
        return fake.callsTo({"rz_request", "rz_card", "rz_authentication", "rz_initval", "rz_readval", "rz_increment",
                             "rz_decrement", "rz_transfer"});
    }

    ValOperPageDlg page;
};

class ValuePageS70 : public ValuePage
{
protected:
    ValuePageS70() : ValuePage(t7::mifare::kCardKindS70) {}
};

TEST_F(ValuePage, WithTheStartValuesEveryOperationWorksOnBlockFour)
{
    EXPECT_EQ(text(page, "sectorEdit"), QStringLiteral("1"));
    EXPECT_TRUE(text(page, "addressLabel").isEmpty());
    setText(page, "initialEdit", QStringLiteral("100"));
    click(page, "initialButton");
    EXPECT_THAT(valueCalls(), ElementsAre("rz_card(7,1,*)", "rz_authentication(7,0,1)", "rz_initval(7,4,100)"));
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("Initial value success!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
}

TEST_F(ValuePageS70, ALargeSectorListsSixteenBlocksAndComputesItsAbsoluteAddress)
{
    setText(page, "sectorEdit", QStringLiteral("33"));
    leaveSectorField();
    auto *list = child<QComboBox>(page, "blockList");
    EXPECT_EQ(list->count(), 16);
    EXPECT_EQ(list->currentIndex(), -1) << "no block is chosen after the sector changed";
    EXPECT_EQ(page.absoluteBlock(), 4) << "until a block is chosen the old one stays";
    list->setCurrentIndex(5);
    EXPECT_EQ(text(page, "addressLabel"), QStringLiteral("Absolute address: 149"));
    EXPECT_EQ(page.absoluteBlock(), 149);
    choose(2, 1);
    EXPECT_EQ(child<QComboBox>(page, "blockList")->count(), 4);
    EXPECT_EQ(text(page, "addressLabel"), QStringLiteral("Absolute address: 9"));
}

TEST_F(ValuePageS70, TrailersAreRefusedAsCodeBlocksExceptForReadValue)
{
    for (const auto &[sector, index] : std::vector<std::pair<int, int>>{{1, 3}, {32, 15}}) {
        choose(sector, index);
        boxes.clear();
        for (const char *button : {"initialButton", "addButton", "subtractButton"}) {
            click(page, button);
            EXPECT_THAT(boxes.texts(), ElementsAre("This is the code block!")) << button << " sector " << sector;
            EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
            boxes.clear();
        }
    }
    EXPECT_TRUE(fake.calls().empty());
    click(page, "readValueButton");
    EXPECT_THAT(fake.callsTo({"rz_readval"}), ElementsAre("rz_readval(7,143,*)"));

    for (int index : {3, 7}) {
        fake.clearCalls();
        choose(32, index);
        click(page, "initialButton");
        EXPECT_EQ(fake.count("rz_initval"), 1) << "block " << 128 + index << " is a data block";
    }
}

TEST_F(ValuePage, ASectorBeyondAnS50DoesNothingAtAll)
{
    choose(20, 1);
    EXPECT_TRUE(text(page, "addressLabel").isEmpty());
    for (const char *button : {"initialButton", "readValueButton", "addButton", "subtractButton"})
        click(page, button);
    EXPECT_TRUE(fake.calls().empty());
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(ValuePageS70, ASectorUpTo39IsAcceptedOnAnS70)
{
    choose(20, 1);
    EXPECT_EQ(text(page, "addressLabel"), QStringLiteral("Absolute address: 81"));
    click(page, "readValueButton");
    EXPECT_THAT(fake.callsTo({"rz_authentication", "rz_readval"}),
                ElementsAre("rz_authentication(7,0,20)", "rz_readval(7,81,*)"));
}

TEST_F(ValuePage, AFieldOutsideItsRangeStopsTheOperation)
{
    setText(page, "sectorEdit", QStringLiteral("45"));
    click(page, "initialButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Please enter an integer between 0 and 39."));
    EXPECT_TRUE(fake.calls().empty());
}

TEST_F(ValuePage, ReadValueShowsTheValue)
{
    FAKE_ON(fake, rz_readval, [](int, unsigned char, int *value) {
        *value = -42;
        return 0;
    });
    click(page, "readValueButton");
    EXPECT_EQ(text(page, "readValueEdit"), QStringLiteral("-42"));
    EXPECT_TRUE(boxes.texts().isEmpty());

    fake.returns("rz_readval", 1);
    FAKE_ON(fake, rz_readval, [](int, unsigned char, int *) { return 1; });
    click(page, "readValueButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Read value failed!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
}

TEST_F(ValuePage, AFailedInitialisationShowsTheResultNumber)
{
    fake.returns("rz_initval", 5);
    click(page, "initialButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("5"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
}

TEST_F(ValuePage, AuthenticationFailureIsAPageBoxWithTheSector)
{
    fake.returns("rz_authentication", 2);
    click(page, "initialButton");
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("1Sector authentication error!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(fake.count("rz_initval"), 0);
}

TEST_F(ValuePage, AddValueIncrementsThenTransfers)
{
    setText(page, "addEdit", QStringLiteral("5"));
    click(page, "addButton");
    EXPECT_THAT(valueCalls(),
                ElementsAre("rz_card(7,1,*)", "rz_authentication(7,0,1)", "rz_increment(7,4,5)", "rz_transfer(7,4)"));
    EXPECT_THAT(boxes.texts(), ElementsAre("Increase value success!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);

    boxes.clear();
    fake.returns("rz_transfer", 1);
    click(page, "addButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Increase value failed!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
}

TEST_F(ValuePage, AFailedIncrementSaysSoTwiceAndNeverTransfers)
{
    fake.returns("rz_increment", 1);
    click(page, "addButton");
    ASSERT_EQ(boxes.messages().size(), 2u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("Increase value failed!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(boxes.messages()[1].text, QStringLiteral("Increase value failed!"));
    EXPECT_EQ(boxes.messages()[1].kind, t7::BoxKind::Panel);
    EXPECT_EQ(fake.count("rz_transfer"), 0);

    boxes.clear();
    fake.returns("rz_card", 1);
    click(page, "addButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Find card error!", "Increase value failed!"));
}

TEST_F(ValuePage, SubtractValueRequestsTheCardFirst)
{
    setText(page, "subtractEdit", QStringLiteral("3"));
    click(page, "subtractButton");
    EXPECT_THAT(valueCalls(), ElementsAre("rz_request(7,1,*)", "rz_card(7,1,*)", "rz_authentication(7,0,1)",
                                          "rz_decrement(7,4,3)", "rz_transfer(7,4)"));
    EXPECT_THAT(boxes.texts(), ElementsAre("Decrease value success!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);

    boxes.clear();
    fake.returns("rz_transfer", 1);
    click(page, "subtractButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Decrease value failed!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);

    boxes.clear();
    fake.clearCalls();
    fake.returns("rz_decrement", 1);
    click(page, "subtractButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Decrease value failed!"));
    EXPECT_EQ(fake.count("rz_transfer"), 0);

    boxes.clear();
    fake.returns("rz_authentication", 1);
    click(page, "subtractButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("1Sector authentication error!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
}

TEST_F(ValuePage, TheKeyChoiceOfThisPageHasNoEffect)
{
    state().currentKeyMode = 4;
    child<QAbstractButton>(page, "keyA")->click();
    click(page, "readValueButton");
    EXPECT_THAT(fake.callsTo({"rz_authentication"}), ElementsAre("rz_authentication(7,4,1)"));
}

} // namespace
