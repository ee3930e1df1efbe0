// The application shell against the simulated reader library: open the USB
// readers, pick one, read its version and the card type, close the port.
#include "app/CMainFrame.h"
#include "app/CReaderVersionDlg.h"
#include "reader/ConnectionState.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SimBench.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace
{

class ShellEndToEnd : public ::testing::Test
{
protected:
    ShellEndToEnd()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        t7::connection().reset();
    }
    ~ShellEndToEnd() override
    {
        qunsetenv("XDG_DATA_HOME");
        t7::connection().reset();
    }

    void trigger(CMainFrame &frame, const char *command)
    {
        QAction *action = frame.findChild<QAction *>(command);
        ASSERT_NE(action, nullptr) << command;
        ASSERT_TRUE(action->isEnabled()) << command;
        action->trigger();
    }

    QTemporaryDir dataHome;
    sim::SimBench bench;
    fake::MessageRecorder boxes;
    fake::ModalScript modals;
};

} // namespace

TEST_F(ShellEndToEnd, OpenSelectReadVersionAndCardTypeThenClose)
{
    bench.run("place usb1 typea s50");

    QStringList listed;
    modals.on("CInitPortDlg", [](QDialog &dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton);
        return dialog.result();
    });
    modals.on("CSelectReaderDlg", [&listed](QDialog &dialog) {
        auto *list = dialog.findChild<QTreeWidget *>("readerList");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            listed << list->topLevelItem(i)->text(1);
        // The first reader, usb1, holds the S50.
        const QPoint first = list->visualItemRect(list->topLevelItem(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseClick(dialog.findChild<QPushButton *>("exit"), Qt::LeftButton);
        return dialog.result();
    });
    QString version;
    modals.on("CReaderVersionDlg", [&version](QDialog &dialog) {
        version = static_cast<CReaderVersionDlg &>(dialog).versionText();
        return int(QDialog::Accepted);
    });

    CMainFrame frame;
    frame.show();
    trigger(frame, "toolOpenSerialPort");
    ASSERT_EQ(t7::connection().portOpen, 1) << boxes.texts().join('|').toStdString();
    ASSERT_GE(listed.size(), 2) << "the default bench has two USB readers";
    EXPECT_EQ(t7::connection().readerCount, listed.size());
    EXPECT_EQ(frame.paneText(1), "Type of port:USB");
    const int first = t7::connection().readers[0].handle;
    EXPECT_EQ(t7::connection().deviceHandle.load(), first);
    EXPECT_EQ(frame.paneText(3), "Device Verision: " + listed[0]);

    trigger(frame, "actionReaderVersion");
    EXPECT_EQ(version, listed[0]);
    EXPECT_TRUE(version.startsWith("T7") || version.startsWith("T6") || version.startsWith("KR") ||
                version.startsWith("QV"))
        << version.toStdString();

    trigger(frame, "toolGetCurrentCardType");
    EXPECT_EQ(frame.paneText(2), "Current Card Type: Mifare one");

    trigger(frame, "actionClosePort");
    EXPECT_EQ(t7::connection().portOpen, 0);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    EXPECT_TRUE(frame.findChild<QAction *>("toolOpenSerialPort")->isEnabled());

    // Closed readers can be opened again.
    const QStringList firstListing = listed;
    listed.clear();
    trigger(frame, "toolOpenSerialPort");
    EXPECT_EQ(listed, firstListing);
    trigger(frame, "toolCloseSerialPort");
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
}

TEST_F(ShellEndToEnd, TheCardTypeFollowsTheCardInTheField)
{
    bench.run("place usb1 typea s70");
    modals.on("CInitPortDlg", [](QDialog &dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton);
        return dialog.result();
    });
    modals.on("CSelectReaderDlg", [](QDialog &dialog) {
        auto *list = dialog.findChild<QTreeWidget *>("readerList");
        const QPoint first = list->visualItemRect(list->topLevelItem(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        return int(QDialog::Accepted);
    });
    CMainFrame frame;
    frame.show();
    trigger(frame, "toolOpenSerialPort");
    ASSERT_EQ(t7::connection().portOpen, 1);
    trigger(frame, "actionCardTest");
    EXPECT_EQ(frame.paneText(2), "Current Card Type: S70");

    // A 7-byte-UID 1K answers ATQA 0x0044, which the tool names as a real reader shows it.
    bench.run("place usb1 typea s50 --uid 04A1B2C3D4E5F6");
    trigger(frame, "actionCardTest");
    EXPECT_EQ(frame.paneText(2), "Current Card Type: UtraLight");

    bench.run("remove usb1 typea");
    trigger(frame, "actionCardTest");
    EXPECT_EQ(frame.paneText(2), "Find card error!");
    trigger(frame, "actionClosePort");
}
