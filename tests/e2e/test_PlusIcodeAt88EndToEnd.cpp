// The Mifare Plus, I-CODE2 and AT88RF020 panels against the simulated reader
// library, with the cards placed on a private bench.
#include "panels/contactless/CAt88rf020Dlg.h"
#include "panels/contactless/CIcode2Dlg.h"
#include "panels/contactless/CMifarePlusDlg.h"

#include "tests/contactless/DialogDriver.h"
#include "tests/contactless/KeysFileFolder.h"
#include "tests/e2e/SimReaderTest.h"
#include "tests/support/ModalScript.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using fake::child;
using fake::click;
using ::testing::IsEmpty;

namespace
{

class PlusIcodeAt88EndToEnd : public e2e::SimReaderTest
{
protected:
    void openReaderWith(const std::string &placeArgs, unsigned char protocol)
    {
        SimReaderTest::openReaderWith(placeArgs);
        if (HasFatalFailure())
            return;
        ASSERT_EQ(rz_config_card(handle, protocol), 0);
    }

    fake::KeysFileFolder keys;
};

TEST_F(PlusIcodeAt88EndToEnd, AMifarePlusIsPersonalisedTakenToLevelThreeAndWorked)
{
    openReaderWith("usb1 typea mfplus2k --uid 04A1B2C3", 'A');
    CMifarePlusDlg dialog;
    dialog.show();
    auto *pages = child<QTabWidget>(&dialog, "pages");
    auto page = [&](int level) { return pages->widget(level); };
    auto set = [&](int level, const char *field, const QString &text) {
        child<QLineEdit>(page(level), field)->setText(text);
    };
    auto results = [&] { return fake::lineTexts(child<QListWidget>(&dialog, "results")); };
    auto press = [&](int level, const char *button) {
        click(page(level), button);
        return results().last();
    };
    const QString success = QStringLiteral(" operation success!");

    ASSERT_EQ(press(0, "upgradeToLevel1"), " operation failed!"); // no keys yet
    for (const char *number : {"9000", "9001", "9002", "9003", "9004", "4002"}) {
        set(0, "key", QString(number).repeated(8));
        set(0, "keyNumber", number);
        ASSERT_EQ(press(0, "keySetting"), success) << number;
    }
    ASSERT_EQ(press(0, "upgradeToLevel1"), success);
    set(1, "level1Key", QString("9004").repeated(8));
    EXPECT_EQ(press(1, "verifyLevel1"), success);
    set(1, "level3Key", QString("9002").repeated(8));
    EXPECT_EQ(press(1, "upgradeToLevel3"), " operation failed!");
    set(1, "level3Key", QString("9003").repeated(8));
    ASSERT_EQ(press(1, "upgradeToLevel3"), success);
    EXPECT_NE(bench.run("show").find("security level 3"), std::string::npos);

    set(3, "sector", "1");
    set(3, "sectorKey", QString("4002").repeated(8));
    ASSERT_EQ(press(3, "verifySectorKey"), success);
    set(3, "block", "4");
    set(3, "writeData", "0123456789ABCDEFFEDCBA9876543210");
    ASSERT_EQ(press(3, "write"), success);
    set(3, "blockStart", "4");
    set(3, "blocks", "3");
    ASSERT_EQ(press(3, "read"), success);
    auto *read = child<QComboBox>(page(3), "readResult");
    ASSERT_EQ(read->count(), 3);
    EXPECT_EQ(read->itemText(0), "0123456789ABCDEFFEDCBA9876543210");

    set(3, "block", "5");
    ASSERT_EQ(press(3, "initival"), success);
    ASSERT_EQ(press(3, "increment"), success);
    set(3, "decrementValue", "3");
    ASSERT_EQ(press(3, "decrement"), success);
    ASSERT_EQ(press(3, "readValue"), success);
    EXPECT_EQ(child<QLineEdit>(page(3), "readValueValue")->text(), "1007");
    set(3, "block", "8"); // sector 2 was never authenticated
    EXPECT_EQ(press(3, "readValue"), " operation failed!");
    EXPECT_THAT(boxes.texts(), IsEmpty());
}

TEST_F(PlusIcodeAt88EndToEnd, ICode2BlocksAreInventoriedReadEditedWrittenAndLocked)
{
    openReaderWith("usb1 iso15693 iso15693 --uid E004010012345678", '1');
    CIcode2Dlg dialog;
    fake::showActive(&dialog);
    EXPECT_EQ(child<QLineEdit>(&dialog, "serialNumber")->text(), "E0 04 01 00 12 34 56 78");
    auto *lines = child<QListWidget>(&dialog, "lines");
    ASSERT_EQ(lines->count(), 16);
    EXPECT_EQ(lines->item(2)->text(), "00 00 00 00");

    fake::editLine(lines, child<QLineEdit>(&dialog, "lineEditor"), 2, "CAFEBABE", 3);
    click(&dialog, "write");
    click(&dialog, "readLow");
    EXPECT_EQ(lines->item(2)->text(), "CA FE BA BE");

    fake::clickLine(lines, 2);
    click(&dialog, "lockBlock");
    EXPECT_EQ(dialog.reportText(), "Lock block success!");
    fake::editLine(lines, child<QLineEdit>(&dialog, "lineEditor"), 2, "00000000", 3);
    click(&dialog, "write");
    EXPECT_TRUE(dialog.reportText().contains("Write the2 block error!\r\nWrite the3 block success!"));
    EXPECT_NE(bench.run("show").find("locked blocks: 2"), std::string::npos);

    child<QLineEdit>(&dialog, "afi")->setText("07");
    click(&dialog, "writeAfi");
    click(&dialog, "systemInfo");
    EXPECT_EQ(child<QLabel>(&dialog, "status")->text(), "AFI: 07,DSFID: 00,BLOCKS: 27");
    EXPECT_THAT(boxes.texts(), ::testing::ElementsAre("Once locked,you will never write this block,continue?"));
}

TEST_F(PlusIcodeAt88EndToEnd, AnAt88rf020IsVerifiedWorkedAndGivenANewPasswordFromTheKeysFile)
{
    openReaderWith("usb1 typeb at88rf020 --uid 11223344", 'B');
    keys.write("AT88RF020 verify key: 0000000000000000");
    fake::ModalScript modal;
    modal.on("CAt88rf020Dlg2", [&](QDialog &pages) {
        auto *lines = child<QListWidget>(&pages, "lines");
        click(&pages, "verify");
        click(&pages, "readLow");
        EXPECT_EQ(lines->item(0)->text(), "11 22 33 44 1F 20 00 01");
        click(&pages, "verify");
        fake::editLine(lines, child<QLineEdit>(&pages, "lineEditor"), 4, "0102030405060708", 5);
        click(&pages, "write");
        click(&pages, "verify");
        click(&pages, "readLow");
        EXPECT_EQ(lines->item(4)->text(), "01 02 03 04 05 06 07 08");
        click(&pages, "verify");
        child<QCheckBox>(&pages, "updateKey")->setChecked(true);
        child<QLineEdit>(&pages, "newKey")->setText("A1B2C3D4E5F60718");
        click(&pages, "updatePwd");
        return int(QDialog::Accepted);
    });

    CAt88rf020Dlg dialog;
    fake::showActive(&dialog);
    EXPECT_EQ(child<QLineEdit>(&dialog, "password")->text(), "0000000000000000");
    click(&dialog, "verify");
    child<QComboBox>(&dialog, "examples")->setCurrentIndex(1);
    child<QComboBox>(&dialog, "examples")->setCurrentIndex(2);
    EXPECT_TRUE(dialog.logText().startsWith("Authenticate success!\r\nCommand success!\r\n00112233441F200001\r\n"
                                            "Command success!\r\n000000000100000000\r\n"))
        << dialog.logText().toStdString();
    click(&dialog, "application");
    EXPECT_EQ(boxes.texts(), QStringList({"Update success!"}));
    EXPECT_EQ(keys.content(), "AT88RF020 verify key: A1B2C3D4E5F60718");

    CAt88rf020Dlg again;
    fake::showActive(&again);
    EXPECT_EQ(child<QLineEdit>(&again, "password")->text(), "A1B2C3D4E5F60718");
    click(&again, "verify");
    EXPECT_EQ(again.logText(), "Authenticate success!\r\n");
    EXPECT_NE(bench.run("show").find("password A1B2C3D4E5F60718 (changed), counter 1"), std::string::npos);
}

} // namespace
