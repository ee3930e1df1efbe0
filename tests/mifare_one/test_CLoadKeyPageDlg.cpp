// The Load key page: key rows, presets, "Change Cur-Value(&C)" and "Load key(&L)".
#include "tests/mifare_one/MifarePageTest.h"

#include "panels/mifare_one/CLoadKeyPageDlg.h"

#include <QListWidget>
#include <QRadioButton>

#include <array>
#include <map>

using mifaretest::PageTest;
using ::testing::ElementsAre;

namespace
{

class LoadKeyPage : public PageTest
{
protected:
    void open()
    {
        page.opening();
        page.show();
    }
    QListWidget *list() { return child<QListWidget>(page, "keyList"); }
    QStringList rows()
    {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i)
            texts << list()->item(i)->text();
        return texts;
    }

    CLoadKeyPageDlg page;
};

TEST_F(LoadKeyPage, OpensWithSixteenRowsOfTheDefaultKeyAndKeyA)
{
    open();
    EXPECT_EQ(rows(), QStringList(16, QStringLiteral("3A7C19E45B20")));
    EXPECT_TRUE(child<QRadioButton>(page, "keyA")->isChecked());
    EXPECT_EQ(text(page, "currentValue"), QStringLiteral("3A7C19E45B20"));
    EXPECT_EQ(text(page, "rowLabels"),
              QStringLiteral("00\n01\n02\n03\n04\n05\n06\n07\n08\n09\n10\n11\n12\n13\n14\n15"));
    EXPECT_FALSE(child<QComboBox>(page, "keySet")->isVisible());
}

class LoadKeyPageS70 : public PageTest
{
protected:
    LoadKeyPageS70() : PageTest(t7::mifare::kCardKindS70) {}
};

TEST_F(LoadKeyPageS70, RowLabelsNameTheS70SectorsEachRowServes)
{
    CLoadKeyPageDlg page;
    page.opening();
    EXPECT_EQ(
        text(page, "rowLabels"),
        QStringLiteral("00(16/32)\n01(17/33)\n02(18/34)\n03(19/35)\n04(20/36)\n05(21/37)\n06(22/38)\n07(23/39)"
                       "\n08(24)   \n09(25)   \n10(26)   \n11(27)   \n12(28)   \n13(29)   \n14(30)   \n15(31)   "));
}

TEST_F(LoadKeyPage, PresetButtonsShowFirstAndLastByteAndRefillEveryRow)
{
    open();
    EXPECT_EQ(child<QAbstractButton>(page, "presetButton0")->text(), QStringLiteral("&6D-97"));
    EXPECT_EQ(child<QAbstractButton>(page, "presetButton1")->text(), QStringLiteral("&3A-20"));
    EXPECT_EQ(child<QAbstractButton>(page, "presetButton2")->text(), QStringLiteral("&92-B8"));

    list()->item(3)->setSelected(true);
    click(page, "presetButton2");
    EXPECT_EQ(rows(), QStringList(16, QStringLiteral("92E4573AC1B8")));
    EXPECT_EQ(text(page, "currentValue"), QStringLiteral("92E4573AC1B8"));
    click(page, "presetButton0");
    EXPECT_EQ(rows(), QStringList(16, QStringLiteral("6D21F08C4E97")));
}

TEST_F(LoadKeyPage, ChangeCurrentValueReplacesOnlyTheSelectedRows)
{
    open();
    setText(page, "currentValue", QStringLiteral("A0A1A2A3A4A5"));
    list()->item(2)->setSelected(true);
    list()->item(15)->setSelected(true);
    click(page, "changeValueButton");
    const QStringList after = rows();
    EXPECT_EQ(after[2], QStringLiteral("A0A1A2A3A4A5"));
    EXPECT_EQ(after[15], QStringLiteral("A0A1A2A3A4A5"));
    EXPECT_EQ(after.count(QStringLiteral("3A7C19E45B20")), 14);
    EXPECT_TRUE(list()->selectedItems().isEmpty()) << "replaced rows are no longer selected";
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(LoadKeyPage, ChangeCurrentValueRefusesATextThatIsNotTwelveLong)
{
    open();
    setText(page, "currentValue", QStringLiteral("A0A1A2A3A4A"));
    list()->item(0)->setSelected(true);
    click(page, "changeValueButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Length of chars inserted not enough!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(rows(), QStringList(16, QStringLiteral("3A7C19E45B20")));

    boxes.clear();
    list()->clearSelection();
    setText(page, "currentValue", QStringLiteral("A0A1A2A3A4A5"));
    click(page, "changeValueButton");
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(rows(), QStringList(16, QStringLiteral("3A7C19E45B20")));
}

TEST_F(LoadKeyPage, LoadKeyLoadsEverySectorRowWithTheConvertedKey)
{
    fake::installLibraryHex(fake);
    std::map<int, std::array<unsigned char, 6>> loaded;
    FAKE_ON(fake, rz_load_key, [&loaded](int, unsigned char, unsigned char sector, unsigned char *key) {
        std::copy(key, key + 6, loaded[sector].begin());
        return 0;
    });
    open();
    list()->item(9)->setText(QStringLiteral("0102030405FF"));
    click(page, "loadKeyButton");

    const auto loads = fake.callsTo({"rz_load_key"});
    ASSERT_EQ(loads.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(loads[i], "rz_load_key(7,0," + std::to_string(i) + ",*)");
    EXPECT_THAT(loaded[9], ElementsAre(0x01, 0x02, 0x03, 0x04, 0x05, 0xFF));
    EXPECT_THAT(loaded[0], ElementsAre(0x3A, 0x7C, 0x19, 0xE4, 0x5B, 0x20));
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("Loadpassword success!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(boxes.messages()[0].owner, &page);
}

TEST_F(LoadKeyPage, KeyBLoadsWithKeyModeFour)
{
    open();
    child<QRadioButton>(page, "keyB")->setChecked(true);
    click(page, "loadKeyButton");
    EXPECT_EQ(fake.callsTo({"rz_load_key"}).front(), "rz_load_key(7,4,0,*)");
    EXPECT_EQ(t7::mifare::state().currentKeyMode, 4);
}

TEST_F(LoadKeyPage, AFailedLoadStopsAtItsRowAndSaysSoOnce)
{
    FAKE_ON(fake, rz_load_key,
            [](int, unsigned char, unsigned char sector, unsigned char *) { return sector == 7 ? 1 : 0; });
    open();
    click(page, "loadKeyButton");
    EXPECT_EQ(fake.count("rz_load_key"), 8) << "sectors 0 to 7 tried, 8 to 15 not";
    EXPECT_THAT(boxes.texts(), ElementsAre("Loadpassword failed!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
}

} // namespace
