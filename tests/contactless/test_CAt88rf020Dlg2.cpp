#include "panels/contactless/CAt88rf020Dlg2.h"

#include "tests/contactless/DialogDriver.h"
#include "tests/contactless/KeysFileFolder.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QCheckBox>
#include <QLabel>

#include <gmock/gmock.h>

#include <memory>
#include <set>

using fake::child;
using fake::click;

namespace
{

constexpr int kHandle = 9;

class At88rf020Dlg2Test : public ::testing::Test
{
protected:
    At88rf020Dlg2Test()
    {
        fake::installLibraryHex(reader);
        FAKE_ON(reader, rz_read_at, [this](int, unsigned char page, unsigned char *, unsigned char *data) {
            if (unreadable.count(page))
                return 1;
            for (int i = 0; i < 8; ++i)
                data[i] = static_cast<unsigned char>(page);
            return 0;
        });
        keys.write("AT88RF020 verify key: 00000000000000AA");
        dialog = std::make_unique<CAt88rf020Dlg2>();
        fake::showActive(dialog.get());
    }
    QListWidget *lines() { return child<QListWidget>(dialog.get(), "lines"); }
    bool enabled(const char *name) { return child<QWidget>(dialog.get(), name)->isEnabled(); }
    void verifyAndRead(const char *readButton)
    {
        click(dialog.get(), "verify");
        click(dialog.get(), readButton);
        click(dialog.get(), "verify");
    }

    fake::DeviceHandle handle{kHandle};
    fake::KeysFileFolder keys;
    fake::FakeReader reader;
    fake::MessageRecorder boxes;
    std::set<int> unreadable;
    std::unique_ptr<CAt88rf020Dlg2> dialog;
};

TEST_F(At88rf020Dlg2Test, ReadingMasksThePasswordPageAndEndsTheVerification)
{
    EXPECT_EQ(child<QLineEdit>(dialog.get(), "password")->text(), "00000000000000AA");
    EXPECT_FALSE(enabled("readLow"));
    click(dialog.get(), "verify");
    ASSERT_TRUE(enabled("readLow"));
    click(dialog.get(), "readLow");
    ASSERT_EQ(lines()->count(), 16);
    EXPECT_EQ(lines()->item(3)->text(), "** ** ** ** ** ** ** **");
    EXPECT_EQ(lines()->item(4)->text(), "04 04 04 04 04 04 04 04");
    EXPECT_TRUE(dialog->reportText().startsWith("Read the00page success!\r\n"));
    EXPECT_FALSE(enabled("readLow"));
    EXPECT_FALSE(enabled("write"));
    EXPECT_EQ(child<QLabel>(dialog.get(), "verifyNote")->font().bold(), true);
}

TEST_F(At88rf020Dlg2Test, WritingRangeOneSendsTwelvePagesAfterFourEmptyReportLines)
{
    verifyAndRead("readLow");
    reader.clearCalls();
    click(dialog.get(), "write");
    const auto writes = reader.callsTo({"rz_write_at"});
    ASSERT_EQ(writes.size(), 12u);
    EXPECT_EQ(writes.front(), "rz_write_at(9,4,*)");
    EXPECT_EQ(writes.back(), "rz_write_at(9,15,*)");
    EXPECT_TRUE(dialog->reportText().startsWith("\r\n\r\n\r\n\r\nWrite the04page success!\r\n"));
    EXPECT_FALSE(enabled("write"));
}

TEST_F(At88rf020Dlg2Test, WritingRangeTwoStopsAtTheFirstEmptyLineAndLeavesTheReport)
{
    unreadable = {20};
    verifyAndRead("readHigh");
    EXPECT_TRUE(child<QLabel>(dialog.get(), "labels")->text().endsWith("30\n31"));
    reader.clearCalls();
    click(dialog.get(), "write");
    EXPECT_EQ(reader.callsTo({"rz_write_at"}).size(), 4u); // pages 16-19
    EXPECT_EQ(dialog->reportText(), "Authenticate success!");
    EXPECT_TRUE(enabled("write"));
}

TEST_F(At88rf020Dlg2Test, SystemLinesDoNotOpenAndShortEditsAreRefused)
{
    verifyAndRead("readLow");
    auto *editor = child<QLineEdit>(dialog.get(), "lineEditor");
    for (const int line : {0, 2, 3}) {
        fake::clickLine(lines(), line);
        QTest::mouseDClick(lines()->viewport(), Qt::LeftButton, {},
                           lines()->visualItemRect(lines()->item(line)).center());
        EXPECT_FALSE(editor->isVisible()) << line;
    }
    fake::editLine(lines(), editor, 5, "AA BB CC", 6);
    EXPECT_EQ(lines()->item(5)->text(), "05 05 05 05 05 05 05 05");
    EXPECT_EQ(dialog->reportText(), "Line 05 kept: a page needs 16 hexadecimal digits!");
    fake::editLine(lines(), editor, 5, "aabbccddeeff0011", 6);
    EXPECT_EQ(lines()->item(5)->text(), "AABBCCDDEEFF0011");
}

TEST_F(At88rf020Dlg2Test, UpdateKeyUnlocksTheNewKeyAndAChangeIsRecorded)
{
    click(dialog.get(), "verify");
    auto *updateKey = child<QCheckBox>(dialog.get(), "updateKey");
    EXPECT_FALSE(enabled("updatePwd"));
    updateKey->setChecked(true);
    EXPECT_TRUE(enabled("updatePwd"));
    EXPECT_TRUE(enabled("newKey"));
    updateKey->setChecked(false);
    EXPECT_FALSE(enabled("newKey"));
    updateKey->setChecked(true);
    child<QLineEdit>(dialog.get(), "newKey")->setText("1122334455667788");
    click(dialog.get(), "updatePwd");
    EXPECT_EQ(boxes.texts(), QStringList({"Update success!"}));
    EXPECT_EQ(keys.content(), "AT88RF020 verify key: 1122334455667788");
    EXPECT_FALSE(enabled("updateKey"));
}

} // namespace
