#include "app/CSelectReaderDlg.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/StatusPaneRecorder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

namespace
{

class SelectReaderTest : public ::testing::Test
{
protected:
    SelectReaderTest()
    {
        t7::ConnectionState &state = t7::connection();
        state.reset();
        state.readers[0] = {0, "T7-FIRST", 0, 31};
        state.readers[1] = {0, "Unknown type", 1, 33};
        state.readers[2] = {0, "KR-THIRD", 2, 35};
        state.readerCount = 3;
        state.deviceHandle = 35;
    }
    ~SelectReaderTest() override { t7::connection().reset(); }

    void doubleClickRow(CSelectReaderDlg &dialog, int row)
    {
        auto *list = dialog.findChild<QTreeWidget *>("readerList");
        const QRect cell = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    fake::StatusPaneRecorder panes;
};

} // namespace

TEST_F(SelectReaderTest, ListsEveryRecordedReaderInTableOrder)
{
    CSelectReaderDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Select reader to operate");
    EXPECT_EQ(dialog.findChild<QLineEdit *>("readerCount")->text(), "3");
    auto *list = dialog.findChild<QTreeWidget *>("readerList");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->headerItem()->text(0), "Device");
    EXPECT_EQ(list->headerItem()->text(1), "Device type");
    EXPECT_EQ(list->headerItem()->text(2), "Index");
    EXPECT_EQ(list->columnWidth(0), 100);
    EXPECT_EQ(list->columnWidth(1), 200);
    EXPECT_EQ(list->columnWidth(2), 60);
    const QStringList names = {"T7-FIRST", "Unknown type", "KR-THIRD"};
    for (int i = 0; i < 3; ++i) {
        const QTreeWidgetItem *row = list->topLevelItem(i);
        EXPECT_TRUE(row->text(0).isEmpty());
        EXPECT_FALSE(row->icon(0).isNull()) << "row " << i;
        EXPECT_EQ(row->text(1), names[i]);
        EXPECT_EQ(row->text(2), QString::number(i));
    }
    EXPECT_TRUE(fake.calls().empty());
}

// The dialog's first tab stop is where the focus lands when it opens.
TEST_F(SelectReaderTest, TabOrderStartsAtExitThenCountThenList)
{
    CSelectReaderDlg dialog;
    QStringList order;
    for (QWidget *w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
    EXPECT_EQ(order, (QStringList{"exit", "readerCount", "readerList"}));
}

TEST_F(SelectReaderTest, DoubleClickMakesTheAnsweringReaderCurrent)
{
    CSelectReaderDlg dialog;
    dialog.show();
    doubleClickRow(dialog, 0);
    EXPECT_EQ(fake.calls(), Calls{"rz_beep(31,20)"});
    EXPECT_EQ(t7::connection().deviceHandle.load(), 31);
    EXPECT_EQ(panes.text(3), "Device Verision: T7-FIRST");
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SelectReaderTest, AReaderThatDoesNotBeepIsInvalidAndLeavesNoCurrentReader)
{
    fake.returns("rz_beep", 3);
    CSelectReaderDlg dialog;
    dialog.show();
    doubleClickRow(dialog, 1);
    EXPECT_EQ(fake.calls(), Calls{"rz_beep(33,20)"});
    EXPECT_EQ(boxes.texts(), QStringList{"Invalid device!"});
    EXPECT_EQ(t7::connection().deviceHandle.load(), 0);
    EXPECT_EQ(panes.text(3), "Device Verision: Unknown type");
    EXPECT_TRUE(dialog.isVisible());
}
