#include "app/CCardTypeSetDlg.h"
#include "app/CardTypeWarning.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/QtPrinters.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

namespace
{

class CardTypeTest : public ::testing::Test
{
protected:
    CardTypeTest()
    {
        t7::connection().reset();
        t7::connection().deviceHandle = 14;
    }
    ~CardTypeTest() override { t7::connection().reset(); }

    void press(CCardTypeSetDlg &dialog, const char *button)
    {
        QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
};

} // namespace

TEST_F(CardTypeTest, EachButtonSwitchesTheProtocolAndRecordsTheSetting)
{
    CCardTypeSetDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Card type setting");
    EXPECT_TRUE(dialog.resultLine().isEmpty());

    press(dialog, "typeB");
    EXPECT_EQ(dialog.resultLine(), "Setup card typeTYPEB success!");
    EXPECT_EQ(t7::connection().cardTypeSetting, 2);
    press(dialog, "iso15693");
    EXPECT_EQ(dialog.resultLine(), "Setup card typeISO15693 success!");
    EXPECT_EQ(t7::connection().cardTypeSetting, 3);
    press(dialog, "typeA");
    EXPECT_EQ(dialog.resultLine(), "Setup card typeTYPEA success!");
    EXPECT_EQ(t7::connection().cardTypeSetting, 1);
    EXPECT_EQ(fake.calls(), (Calls{"rz_config_card(14,66)", "rz_config_card(14,49)", "rz_config_card(14,65)"}));
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(CardTypeTest, AFailureChangesOnlyTheResultLine)
{
    CCardTypeSetDlg dialog;
    fake.returns("rz_config_card", 0x10001);
    press(dialog, "typeB");
    EXPECT_EQ(dialog.resultLine(), "Setup card typeTYPEB failed!");
    EXPECT_EQ(t7::connection().cardTypeSetting, 1);

    // Only the low 16 bits tell.
    fake.returns("rz_config_card", 0x20000);
    press(dialog, "iso15693");
    EXPECT_EQ(dialog.resultLine(), "Setup card typeISO15693 success!");
    EXPECT_EQ(t7::connection().cardTypeSetting, 3);
}

TEST_F(CardTypeTest, UsesTheReaderThatWasCurrentWhenItOpened)
{
    CCardTypeSetDlg dialog;
    t7::connection().deviceHandle = 99;
    press(dialog, "typeA");
    EXPECT_EQ(fake.calls(), Calls{"rz_config_card(14,65)"});
}

TEST_F(CardTypeTest, TheWarningShowsExactlyWhenTheSettingDiffers)
{
    const QString start = QString::fromUtf8("Operation maybe faile before setting Card-Type,please set it as follow:\n "
                                            "\u201cDevice operation\u201d --- \u201cCard Setting\u201d ---");
    const QStringList ends = {QString::fromUtf8("\u201cTYPEA\u201d"), QString::fromUtf8("\u201cTYPEB\u201d"),
                              QString::fromUtf8("\u201cISO15693\u201d")};
    for (int setting = 1; setting <= 3; ++setting) {
        for (int required = 1; required <= 3; ++required) {
            boxes.clear();
            t7::connection().cardTypeSetting = setting;
            t7::cardTypeWarning(required);
            if (setting == required) {
                EXPECT_TRUE(boxes.texts().isEmpty()) << setting << " " << required;
            } else {
                ASSERT_EQ(boxes.messages().size(), 1u) << setting << " " << required;
                EXPECT_EQ(boxes.messages()[0].text, start + ends[required - 1]);
                EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
            }
        }
    }
}
