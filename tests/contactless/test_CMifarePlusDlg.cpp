#include "panels/contactless/CMifarePlusDlg.h"

#include "reader/ConnectionState.h"
#include "tests/contactless/DialogDriver.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QComboBox>

#include <gmock/gmock.h>

#include <cstring>

using fake::child;
using fake::click;
using ::testing::ElementsAre;

namespace
{

constexpr int kHandle = 9;
const QString kKey = QStringLiteral("00112233445566778899AABBCCDDEEFF");

class MifarePlusDlgTest : public ::testing::Test
{
protected:
    MifarePlusDlgTest()
    {
        fake::installLibraryHex(reader);
        dialog.show();
    }

    QWidget *page(int level) { return child<QWidget>(&dialog, QStringLiteral("level%1").arg(level)); }
    QLineEdit *field(int level, const char *name) { return child<QLineEdit>(page(level), name); }
    QStringList results() { return fake::lineTexts(child<QListWidget>(&dialog, "results")); }
    QString lastResult() { return results().isEmpty() ? QString() : results().last(); }

    fake::DeviceHandle handle{kHandle}; // before the panel, which takes it when made
    fake::FakeReader reader;
    fake::MessageRecorder boxes;
    CMifarePlusDlg dialog;
};

TEST_F(MifarePlusDlgTest, TheFifthLineClearsTheFourBeforeIt)
{
    reader.returns("rz_MFPlusL0_CommitPerso", 5);
    for (int i = 0; i < 4; ++i)
        click(page(0), "upgradeToLevel1");
    EXPECT_EQ(results(), QStringList(4, " operation failed!"));
    reader.returns("rz_MFPlusL0_CommitPerso", 0);
    click(page(0), "upgradeToLevel1");
    EXPECT_EQ(results(), QStringList({" operation success!"}));
}

// Each key-and-number button checks the key, then the number, before any call.
TEST_F(MifarePlusDlgTest, KeySettingChecksKeyAndNumberBeforeActivatingTheCard)
{
    struct Case {
        QString key;
        QString number;
        QString line;
        std::string perso; // the call made, "" for none
    };
    const Case cases[] = {
        {kKey, "4000", " operation success!", "rz_MFPlusL0_WritePerso(9,*,16384)"},
        {kKey, "9003", " operation success!", "rz_MFPlusL0_WritePerso(9,*,36867)"},
        {kKey, "40", "Length of chars inserted not enough!", ""},
        {kKey.left(31), "4000", "Length of chars inserted not enough!", ""},
        {QString(kKey).replace(0, 2, "ZZ"), "4000", "Key Input Format Error!", ""},
        {kKey, "40G0", "Block Number Format Error!", ""},
    };
    for (const Case &c : cases) {
        reader.clearCalls();
        field(0, "key")->setText(c.key);
        field(0, "keyNumber")->setText(c.number);
        click(page(0), "keySetting");
        EXPECT_EQ(lastResult(), c.line) << c.number.toStdString();
        const auto calls = reader.callsTo({"rz_reset", "rz_card", "rz_pro_reset", "rz_MFPlusL0_WritePerso"});
        if (c.perso.empty())
            EXPECT_TRUE(calls.empty()) << c.key.toStdString();
        else
            EXPECT_THAT(calls, ElementsAre("rz_reset(9,10)", "rz_card(9,1,*)", "rz_pro_reset(9,*,*)", c.perso));
    }
}

TEST_F(MifarePlusDlgTest, AFailedActivationIsTheOutcomeAndNothingIsSent)
{
    reader.returns("rz_pro_reset", 1);
    field(1, "level3Key")->setText(kKey);
    click(page(1), "upgradeToLevel3");
    EXPECT_EQ(lastResult(), " operation failed!");
    EXPECT_EQ(reader.count("rz_MFPlusL1_SwitchToL3"), 0);
}

TEST_F(MifarePlusDlgTest, ReadFillsTheListAndChoosingALineSetsTheBlock)
{
    FAKE_ON(reader, rz_MFPlusL3_ReadWithPlain, [](int, unsigned short first, unsigned char count, unsigned char *data) {
        for (int i = 0; i < 16 * count; ++i)
            data[i] = static_cast<unsigned char>(16 * first + i);
        return 0;
    });
    field(3, "blockStart")->setText("4");
    field(3, "blocks")->setText("3");
    click(page(3), "read");
    EXPECT_THAT(reader.callsTo({"rz_reset", "rz_MFPlusL3_ReadWithPlain"}),
                ElementsAre("rz_MFPlusL3_ReadWithPlain(9,4,3,*)"));
    auto *list = child<QComboBox>(page(3), "readResult");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), "404142434445464748494A4B4C4D4E4F");
    EXPECT_EQ(field(3, "block")->text(), "4");
    EXPECT_EQ(field(3, "writeData")->text(), list->itemText(0));
    EXPECT_EQ(lastResult(), " operation success!");
    list->setCurrentIndex(2);
    EXPECT_EQ(field(3, "block")->text(), "6");
    EXPECT_EQ(field(3, "writeData")->text(), list->itemText(2));

    // More than the read buffer holds is refused with its own line.
    for (const char *blocks : {"17", "-1"}) {
        reader.clearCalls();
        field(3, "blocks")->setText(blocks);
        click(page(3), "read");
        EXPECT_EQ(lastResult(), "Blocks: must be from 0 to 16!") << blocks;
        EXPECT_EQ(reader.count("rz_MFPlusL3_ReadWithPlain"), 0);
        EXPECT_EQ(list->count(), 3);
    }
    // No block read: the block and its data stay.
    field(3, "blocks")->setText("0");
    click(page(3), "read");
    EXPECT_THAT(reader.callsTo({"rz_MFPlusL3_ReadWithPlain"}), ElementsAre("rz_MFPlusL3_ReadWithPlain(9,4,0,*)"));
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(field(3, "block")->text(), "6");
    EXPECT_FALSE(field(3, "writeData")->text().isEmpty());
}

TEST_F(MifarePlusDlgTest, ValueButtonsUseTheBlockFieldAndAFailedReadKeepsTheValue)
{
    field(3, "block")->setText("5");
    click(page(3), "initival");
    click(page(3), "decrement");
    FAKE_ON(reader, rz_MFPlusL3_ReadVal, [](int, unsigned char, int *value) {
        *value = -42;
        return 0;
    });
    click(page(3), "readValue");
    EXPECT_EQ(field(3, "readValueValue")->text(), "-42");
    reader.on<PFN_rz_MFPlusL3_ReadVal>("rz_MFPlusL3_ReadVal", [](int, unsigned char, int *) { return 1; });
    click(page(3), "readValue");
    EXPECT_EQ(field(3, "readValueValue")->text(), "-42");
    EXPECT_EQ(lastResult(), " operation failed!");
    EXPECT_THAT(reader.callsTo({"rz_reset", "rz_MFPlusL3_InitVal", "rz_MFPlusL3_Decrement"}),
                ElementsAre("rz_MFPlusL3_InitVal(9,5,1000)", "rz_MFPlusL3_Decrement(9,5,10)"));
}

} // namespace
