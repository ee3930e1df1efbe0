#include "panels/contactless/CIcode2Dlg.h"

#include "tests/contactless/DialogDriver.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QComboBox>
#include <QLabel>

#include <gmock/gmock.h>

#include <array>
#include <cstring>
#include <memory>
#include <set>

using fake::child;
using fake::click;
using ::testing::ElementsAre;

namespace
{

constexpr int kHandle = 9;
constexpr unsigned char kUid[8] = {0xE0, 0x04, 0x01, 0x00, 0x12, 0x34, 0x56, 0x78};

// A tag on the fake reader: block b holds b b+1 b+2 b+3; blocks in
// `unreadable` fail to read; writes are kept.
struct FakeTag {
    std::set<int> unreadable;
    std::map<int, std::array<unsigned char, 4>> written;
    int securityLength = 10;
};

class Icode2DlgTest : public ::testing::Test
{
protected:
    Icode2DlgTest()
    {
        fake::installLibraryHex(reader);
        FAKE_ON(reader, rz_inventory,
                [](int, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char *uid) {
                    std::memcpy(uid, kUid, 8);
                    return 0;
                });
        FAKE_ON(reader, rz_get_systeminfo,
                [](int, unsigned char, unsigned char *, unsigned char *length, unsigned char *reply) {
                    reply[10] = 0x3C;
                    reply[11] = 0x07;
                    reply[12] = 27;
                    *length = 15;
                    return 0;
                });
        const auto state = tag;
        FAKE_ON(reader, rz_readblock,
                [state](int, unsigned char, unsigned char block, unsigned char, unsigned char *, unsigned char *length,
                        unsigned char *data) {
                    if (state->unreadable.count(block))
                        return 1;
                    for (int i = 0; i < 4; ++i)
                        data[i] = static_cast<unsigned char>(block + i);
                    *length = 4;
                    return 0;
                });
        FAKE_ON(reader, rz_writeblock,
                [state](int, unsigned char, unsigned char block, unsigned char, unsigned char *, unsigned char,
                        unsigned char *data) {
                    std::copy(data, data + 4, state->written[block].begin());
                    return 0;
                });
        FAKE_ON(reader, rz_get_securityinfo,
                [state](int, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char *length,
                        unsigned char *reply) {
                    std::memset(reply, 0xAB, 255);
                    *length = static_cast<unsigned char>(state->securityLength);
                    return 0;
                });
    }
    void open()
    {
        dialog = std::make_unique<CIcode2Dlg>();
        fake::showActive(dialog.get());
    }
    QListWidget *lines() { return child<QListWidget>(dialog.get(), "lines"); }
    QString status() { return child<QLabel>(dialog.get(), "status")->text(); }
    QLineEdit *field(const char *name) { return child<QLineEdit>(dialog.get(), name); }

    fake::DeviceHandle handle{kHandle};
    fake::FakeReader reader;
    fake::MessageRecorder boxes;
    std::shared_ptr<FakeTag> tag = std::make_shared<FakeTag>();
    std::unique_ptr<CIcode2Dlg> dialog;
};

TEST_F(Icode2DlgTest, OpeningShowsTheCardAndBlocksZeroToFifteen)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), "I-CODE2 CARD");
    EXPECT_EQ(field("serialNumber")->text(), "E0 04 01 00 12 34 56 78");
    EXPECT_EQ(field("afi")->text(), "07");
    EXPECT_EQ(status(), "AFI: 07,DSFID: 3C,BLOCKS: 27");
    ASSERT_EQ(lines()->count(), 16);
    EXPECT_EQ(lines()->item(5)->text(), "05 06 07 08");
    EXPECT_TRUE(dialog->reportText().startsWith("Read the00 block success!\r\nRead the01 block success!\r\n"));
    EXPECT_EQ(child<QComboBox>(dialog.get(), "functions")->currentIndex(), 0);
}

TEST_F(Icode2DlgTest, ReadingSixteenToTwentySevenReadsTwelveBlocksAndEndsWithoutCrLf)
{
    tag->unreadable = {18};
    open();
    reader.clearCalls();
    click(dialog.get(), "readHigh");
    const auto reads = reader.callsTo({"rz_readblock"});
    ASSERT_EQ(reads.size(), 12u);
    EXPECT_EQ(reads.front(), "rz_readblock(9,34,16,1,*,*,*)");
    EXPECT_EQ(reads.back(), "rz_readblock(9,34,27,1,*,*,*)");
    EXPECT_EQ(dialog->blockRange(), 2);
    EXPECT_TRUE(child<QLabel>(dialog.get(), "labels")->text().startsWith("16\n17\n18\n"));
    EXPECT_EQ(lines()->item(2)->text(), ""); // block 18
    EXPECT_TRUE(dialog->reportText().contains("Read the18 block error!\r\n"));
    EXPECT_TRUE(dialog->reportText().endsWith("Read the27 block success!"));
    EXPECT_EQ(dialog->reportText().count("\r\n"), 11);
}

TEST_F(Icode2DlgTest, WriteSkipsEmptyLinesAndEndsEveryLineWithCrLf)
{
    tag->unreadable = {3};
    open();
    fake::editLine(lines(), field("lineEditor"), 1, "12 34 5678", 4);
    ASSERT_EQ(lines()->item(1)->text(), "12 34 5678");
    click(dialog.get(), "write");
    EXPECT_EQ(tag->written.size(), 15u); // not block 3
    EXPECT_EQ(tag->written.count(3), 0u);
    EXPECT_EQ(tag->written[1], (std::array<unsigned char, 4>{0x12, 0x34, 0x56, 0x78}));
    EXPECT_TRUE(
        dialog->reportText().startsWith("Write the0 block success!\r\nWrite the1 block success!\r\nWrite the2"));
    EXPECT_TRUE(dialog->reportText().endsWith("Write the15 block success!\r\n"));
}

TEST_F(Icode2DlgTest, AShortOrNonHexEditIsRefusedAndTheLineKeepsItsText)
{
    open();
    for (const QString &text : {QStringLiteral("12 34"), QStringLiteral("12G45678"), QStringLiteral("   ")}) {
        fake::editLine(lines(), field("lineEditor"), 6, text, 7);
        EXPECT_EQ(lines()->item(6)->text(), "06 07 08 09") << text.toStdString();
        EXPECT_FALSE(field("lineEditor")->isVisible());
        EXPECT_EQ(status(), "Line 06 kept: a block needs 8 hexadecimal digits!");
    }
    // An emptied line is taken, and writes nothing.
    fake::editLine(lines(), field("lineEditor"), 6, QString(), 7);
    EXPECT_EQ(lines()->item(6)->text(), "");
    click(dialog.get(), "write");
    EXPECT_EQ(tag->written.size(), 15u);
    EXPECT_EQ(tag->written.count(6), 0u);
}

TEST_F(Icode2DlgTest, LockBlockAsksAndLocksTheSelectedBlockOfTheRange)
{
    open();
    click(dialog.get(), "readHigh");
    click(dialog.get(), "lockBlock");
    EXPECT_EQ(boxes.texts().last(), "Select the block to operate first please!");
    fake::clickLine(lines(), 1);
    boxes.answer(false);
    click(dialog.get(), "lockBlock");
    EXPECT_EQ(reader.count("rz_lock_block"), 0);
    click(dialog.get(), "lockBlock");
    EXPECT_EQ(boxes.texts().last(), "Once locked,you will never write this block,continue?");
    EXPECT_EQ(boxes.messages().back().owner, nullptr); // the application's title
    EXPECT_THAT(reader.callsTo({"rz_lock_block"}), ElementsAre("rz_lock_block(9,34,17,*)"));
    EXPECT_EQ(dialog->reportText(), "Lock block success!");
}

TEST_F(Icode2DlgTest, AfiAndDsfidMustBeTwoHexDigitsBeforeAnyWriteOrLock)
{
    open();
    struct Case {
        const char *field;
        const char *button;
        QString text;
        QString status;
        std::string call;
    };
    const Case cases[] = {
        {"afi", "writeAfi", "", "Write AFI error!", ""},
        {"afi", "writeAfi", "7", "AFI must be two hexadecimal digits!", ""},
        {"afi", "writeAfi", "G1", "AFI must be two hexadecimal digits!", ""},
        {"afi", "writeAfi", "1F", "Write AFI success!", "rz_write_afi(9,34,31,*)"},
        {"afi", "lockAfi", "A", "AFI must be two hexadecimal digits!", ""},
        {"afi", "lockAfi", "0A", "Lock AFI success!", "rz_lock_afi(9,34,10,*)"},
        {"dsfid", "writeDsfid", "", "Write DSFID failed!", ""},
        {"dsfid", "lockDsfid", "", "Lock DSFID failed!", ""},
        {"dsfid", "lockDsfid", "3", "DSFID must be two hexadecimal digits!", ""},
        {"dsfid", "writeDsfid", "3C", "Write DSFID success!", "rz_write_dsfid(9,34,60,*)"},
    };
    for (const Case &c : cases) {
        reader.clearCalls();
        boxes.clear();
        field(c.field)->setText(c.text);
        click(dialog.get(), c.button);
        EXPECT_EQ(status(), c.status) << c.button << " " << c.text.toStdString();
        const auto calls = reader.callsTo({"rz_write_afi", "rz_lock_afi", "rz_write_dsfid", "rz_lock_dsfid"});
        EXPECT_EQ(calls, c.call.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.call});
        EXPECT_EQ(boxes.texts().isEmpty(), c.call.empty() || QString(c.button).startsWith("write"));
    }
}

TEST_F(Icode2DlgTest, TheFunctionChoiceRunsItsCommandAtOnce)
{
    open();
    auto *functions = child<QComboBox>(dialog.get(), "functions");
    tag->securityLength = 200; // more than the 64 characters the reply once had room for
    functions->setCurrentIndex(1);
    EXPECT_THAT(reader.callsTo({"rz_get_securityinfo"}), ElementsAre("rz_get_securityinfo(9,34,10,10,*,*,*)"));
    EXPECT_EQ(status(), "rz_get_securityinfo OK!\n Infor: " + QString("AB").repeated(200)); // every byte
    reader.returns("rz_stay_quiet", 1);
    functions->setCurrentIndex(4);
    EXPECT_EQ(status(), "rz_stay_quiet Error!");
    reader.clearCalls();
    functions->setCurrentIndex(0);
    EXPECT_EQ(status(), "");
    EXPECT_TRUE(reader.calls().empty());
}

TEST_F(Icode2DlgTest, NoCardAtOpeningLeavesTheSerialEmptyAndUsesTheZeroUid)
{
    FAKE_ON(reader, rz_inventory,
            [](int, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char *) { return 1; });
    std::array<unsigned char, 8> asked{0xFF};
    FAKE_ON(reader, rz_get_systeminfo,
            [&asked](int, unsigned char, unsigned char *uid, unsigned char *, unsigned char *) {
                std::copy(uid, uid + 8, asked.begin());
                return 1;
            });
    open();
    EXPECT_EQ(asked, (std::array<unsigned char, 8>{}));
    EXPECT_EQ(status(), "System information read error!");
    EXPECT_EQ(field("serialNumber")->text(), "");
    EXPECT_EQ(boxes.texts(), QStringList({"No card or card type error!"}));
    EXPECT_EQ(lines()->count(), 0);
}

} // namespace
