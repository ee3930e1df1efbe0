// The application shell on libqvd-pcsc.so: Open Port lists vpcd's readers,
// the card type follows the virtual card, Close Port closes them.
#include "app/CMainFrame.h"
#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"
#include "tests/e2e/pcsc/VirtualCardInReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinters.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace
{

TEST(ShellOnPcsc, OpenPortListsThePcscReadersAndTheCardTypeFollowsTheCard)
{
    if (!pcsctest::fixturePort())
        GTEST_SKIP() << "no private pcscd (the fixture needs root; see pcsc_fixture.start)";
    pcsctest::VirtualCardInReader card(0, "mifare1k");
    ASSERT_TRUE(card.present());
    qvd::setLibraryFileForTesting(pcsctest::pcscLibraryFile());
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    t7::connection().reset();
    fake::MessageRecorder boxes;
    fake::ModalScript modals;
    modals.on("CInitPortDlg", [](QDialog &dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton);
        return dialog.result();
    });
    QStringList listed;
    modals.on("CSelectReaderDlg", [&listed](QDialog &dialog) {
        auto *list = dialog.findChild<QTreeWidget *>("readerList");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            listed << list->topLevelItem(i)->text(1);
        // The first reader holds the card.
        const QPoint first = list->visualItemRect(list->topLevelItem(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseClick(dialog.findChild<QPushButton *>("exit"), Qt::LeftButton);
        return dialog.result();
    });

    {
        CMainFrame frame;
        frame.show();
        frame.findChild<QAction *>("toolOpenSerialPort")->trigger();
        ASSERT_EQ(t7::connection().portOpen, 1) << boxes.texts().join('|').toStdString();
        EXPECT_EQ(listed, (QStringList{"QVD-PCSC Virtual PCD 00 00", "QVD-PCSC Virtual PCD 00 01"}));
        EXPECT_EQ(frame.paneText(3), "Device Verision: QVD-PCSC Virtual PCD 00 00");
        frame.findChild<QAction *>("toolGetCurrentCardType")->trigger();
        EXPECT_EQ(frame.paneText(2), "Current Card Type: Mifare one");
        frame.findChild<QAction *>("actionClosePort")->trigger();
        EXPECT_EQ(t7::connection().portOpen, 0);
        EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    }
    qunsetenv("XDG_DATA_HOME");
    t7::connection().reset();
    qvd::setLibraryFileForTesting(std::string());
}

} // namespace
