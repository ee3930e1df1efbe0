// The Device, LCD and More Test panels against the simulated reader, with
// what the reader shows read back through t7sim.
#include "app/PanelDispatch.h"
#include "panels/device/CDeviceDlg.h"
#include "panels/device/CMoreTestDlg.h"
#include "panels/device/DevFunTestPage.h"
#include "panels/device/PcClock.h"
#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SimBench.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

class DevicePanelsEndToEnd : public ::testing::Test
{
protected:
    DevicePanelsEndToEnd()
    {
        // The simulated reader's PC time, so its clock does not move under the test.
        ::setenv("T7SIM_NOW", "1772874302", 1);
        t7::device::setPcClock([] { return QDateTime(QDate(2026, 3, 7), QTime(9, 5, 2)); });
    }
    void SetUp() override
    {
        ASSERT_TRUE(lib) << "libqvd.so could not be loaded";
        handle = rz_init(100, 0);
        ASSERT_GT(handle, 0);
        t7::connection().deviceHandle = handle;
        t7::connection().portOpen = 1;
    }
    ~DevicePanelsEndToEnd() override
    {
        if (handle > 0)
            rz_exit(handle);
        t7::connection().reset();
        t7::device::setPcClock(nullptr);
        ::unsetenv("T7SIM_NOW");
    }

    // The part of `t7sim show` about usb1.
    std::string shownForUsb1()
    {
        const std::string shown = bench.run("show");
        const auto from = shown.find("usb1:");
        return shown.substr(from, shown.find("usb2:") - from);
    }
    static void click(QWidget *dialog, const char *button)
    {
        QTest::mouseClick(dialog->findChild<QAbstractButton *>(button), Qt::LeftButton);
    }
    static void set(QWidget *dialog, const char *edit, const QString &text)
    {
        dialog->findChild<QLineEdit *>(edit)->setText(text);
    }

    sim::SimBench bench;
    fake::MessageRecorder boxes;
    qvd::LibraryRef lib = qvd::Library::load();
    QVD_ENTRY(lib, rz_init);
    QVD_ENTRY(lib, rz_exit);
    int handle = 0;
};

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

TEST_F(DevicePanelsEndToEnd, TheReaderClockTakesThePcTimeAndTheLedShowsIt)
{
    CDeviceDlg dialog;
    dialog.show();
    dialog.showPcTime();
    click(&dialog, "ledShowTime");
    click(&dialog, "refreshLed");
    click(&dialog, "beep");
    ASSERT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    std::string shown = shownForUsb1();
    EXPECT_TRUE(contains(shown, "  clock: 2026-03-07 09:05:02 (set to 2026-03-07 09:05:02, runs on)")) << shown;
    EXPECT_TRUE(contains(shown, "  LED: \"09-05-02\" (clock, time)")) << shown;
    EXPECT_TRUE(contains(shown, "  beeps: 1, 1 since the last look: 100 ms")) << shown;
}

TEST_F(DevicePanelsEndToEnd, NoteMemoryWrittenIsReadBackAfterTheDialogWasClosed)
{
    {
        CMoreTestDlg dialog;
        dialog.show();
        set(&dialog, "offset", "1270");
        set(&dialog, "length", "4");
        set(&dialog, "eepromData", "C0FFEE42");
        click(&dialog, "writeEeprom");
        EXPECT_EQ(dialog.deviceFunctionPage()->logText(), "Test success!\r\n");
    }
    CMoreTestDlg dialog;
    dialog.show();
    set(&dialog, "offset", "1270");
    set(&dialog, "length", "4");
    click(&dialog, "readEeprom");
    EXPECT_TRUE(dialog.deviceFunctionPage()->logText().startsWith(QStringLiteral("Content(HEX)is\uFF1AC0FFEE42\r\n")))
        << dialog.deviceFunctionPage()->logText().toStdString();
}

TEST_F(DevicePanelsEndToEnd, DesEncryptThenDecryptGivesTheDataBack)
{
    CMoreTestDlg dialog;
    dialog.show();
    set(&dialog, "key", "0123456789ABCDEF");
    set(&dialog, "sourceData", "4E6F772069732074");
    click(&dialog, "encry");
    QPlainTextEdit *result = dialog.findChild<QPlainTextEdit *>("result");
    EXPECT_EQ(result->toPlainText(), "3FA40E8A984D4815");
    set(&dialog, "sourceData", result->toPlainText());
    click(&dialog, "decry");
    EXPECT_EQ(result->toPlainText(), "4E6F772069732074");
}

TEST_F(DevicePanelsEndToEnd, TheTreeOpensTheDevicePanels)
{
    fake::ModalScript modals;
    QString tab;
    for (const char *name : {"CDeviceDlg", "CLcdDlg"})
        modals.on(name, [](QDialog &) { return int(QDialog::Accepted); });
    modals.on("CMoreTestDlg", [&tab](QDialog &dialog) {
        const auto *pages = dialog.findChild<QTabWidget *>("pages");
        tab = pages->tabText(pages->currentIndex());
        return int(QDialog::Accepted);
    });
    t7::openPanel(16, nullptr);
    t7::openPanel(14, nullptr);
    t7::openPanel(3, nullptr);
    EXPECT_EQ(tab, "Device functions test");
    EXPECT_EQ(modals.shown(), QStringList({"CDeviceDlg", "CLcdDlg", "CMoreTestDlg"}));
}

} // namespace
