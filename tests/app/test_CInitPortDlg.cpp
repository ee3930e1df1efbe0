#include "app/CInitPortDlg.h"
#include "app/CSelectReaderDlg.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/StatusPaneRecorder.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>

using Calls = std::vector<std::string>;

namespace
{

// A bench of scripted readers: rz_init hands out the handles in order (then
// -1), rz_getver answers with the text given for the handle, or fails.
class PortTest : public ::testing::Test
{
protected:
    PortTest()
    {
        t7::connection().reset();
        FAKE_ON(fake, rz_init, [this](int, int) {
            if (handles.empty())
                return -1;
            const int next = handles.front();
            handles.pop_front();
            return next;
        });
        FAKE_ON(fake, rz_getver, [this](int h, char *text) {
            const auto it = versions.find(h);
            if (it == versions.end())
                return 1;
            std::strcpy(text, it->second.c_str());
            return 0;
        });
    }
    ~PortTest() override { t7::connection().reset(); }

    void choose(CInitPortDlg &dialog, int portIndex, int baudIndex = 0)
    {
        dialog.findChild<QComboBox *>("portList")->setCurrentIndex(portIndex);
        dialog.findChild<QComboBox *>("baudList")->setCurrentIndex(baudIndex);
    }
    void clickOk(CInitPortDlg &dialog) { QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton); }

    std::string readerName(int i) const { return t7::connection().readers[i].name; }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    fake::StatusPaneRecorder panes;
    fake::ModalScript modals;
    std::deque<int> handles;
    std::map<int, std::string> versions;
};

} // namespace

TEST_F(PortTest, UsbRecordsEveryReaderUntilNoFurtherOneAnswersAndTheLastBecomesCurrent)
{
    handles = {11, 12};
    versions = {{11, "T7-USB-A"}, {12, "T6-USB-B"}};
    int rowsListed = -1;
    QStringList indexes;
    modals.on("CSelectReaderDlg", [&](QDialog &dialog) {
        auto *list = dialog.findChild<QTreeWidget *>("readerList");
        rowsListed = list->topLevelItemCount();
        for (int i = 0; i < rowsListed; ++i)
            indexes << list->topLevelItem(i)->text(2);
        return int(QDialog::Accepted);
    });
    CInitPortDlg dialog;
    dialog.show();
    clickOk(dialog);

    EXPECT_EQ(fake.calls(), (Calls{"rz_init(100,0)", "rz_getver(11,*)", "rz_init(100,0)", "rz_getver(12,*)",
                                   "rz_init(100,0)", "rz_getver(12,*)", "rz_beep(12,10)"}));
    const t7::ConnectionState &state = t7::connection();
    ASSERT_EQ(state.readerCount, 2);
    EXPECT_EQ(readerName(0), "T7-USB-A");
    EXPECT_EQ(readerName(1), "T6-USB-B");
    EXPECT_EQ(state.readers[0].index, 0);
    EXPECT_EQ(state.readers[1].index, 1);
    EXPECT_EQ(state.readers[1].handle, 12);
    EXPECT_EQ(state.deviceHandle.load(), 12);
    EXPECT_EQ(state.portOpen, 1);
    EXPECT_EQ(state.serialLink, 0);
    EXPECT_EQ(panes.text(1), "Type of port:USB");
    EXPECT_EQ(panes.text(3), "Device Verision: T6-USB-B");
    EXPECT_GE(panes.changes(), 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(modals.shown(), QStringList{"CSelectReaderDlg"});
    EXPECT_EQ(rowsListed, 2);
    EXPECT_EQ(indexes, (QStringList{"0", "1"}));
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(PortTest, Com3At9600OpensPortTwoAndSetsTheSerialLink)
{
    handles = {5};
    versions = {{5, "T7-COM"}};
    CInitPortDlg dialog;
    choose(dialog, 3, 4);
    dialog.OpenReaders();

    EXPECT_EQ(fake.callsTo({"rz_init"}), Calls{"rz_init(2,9600)"});
    EXPECT_EQ(panes.text(1), "Type of port:COM3");
    EXPECT_EQ(panes.text(3), "Device Verision: T7-COM");
    EXPECT_EQ(t7::connection().serialLink, 1);
    EXPECT_EQ(t7::connection().readerCount, 1);
    EXPECT_EQ(t7::connection().deviceHandle.load(), 5);
}

TEST_F(PortTest, TheSerialOnlyFamilyIsListedOnASerialPortButSkippedOnUsb)
{
    versions = {{7, "T5S-DESK"}};
    {
        handles = {7};
        CInitPortDlg serial;
        choose(serial, 1);
        serial.OpenReaders();
        ASSERT_EQ(t7::connection().readerCount, 1);
        EXPECT_EQ(readerName(0), "T5S-DESK");
    }
    fake.clearCalls();
    boxes.clear();
    {
        handles = {7};
        CInitPortDlg usb;
        usb.show();
        usb.OpenReaders();
        EXPECT_EQ(t7::connection().readerCount, 0);
        EXPECT_EQ(boxes.texts(), QStringList{"Initial port error!"});
        // Nobody could close it later, so it is closed once the search is over.
        EXPECT_EQ(fake.calls(), (Calls{"rz_init(100,0)", "rz_getver(7,*)", "rz_init(100,0)", "rz_exit(7)"}));
    }
}

TEST_F(PortTest, AReaderWhoseVersionCannotBeReadIsRecordedAsUnknownType)
{
    handles = {3, 4};
    versions = {{4, "KR-200"}};
    CInitPortDlg usb;
    usb.OpenReaders();
    ASSERT_EQ(t7::connection().readerCount, 2);
    EXPECT_EQ(readerName(0), "Unknown type");
    EXPECT_EQ(readerName(1), "KR-200");

    // On a serial port an unrecognised text is no reason to skip the reader.
    handles = {9};
    versions = {{9, "XY-OTHER"}};
    CInitPortDlg serial;
    choose(serial, 6);
    serial.OpenReaders();
    ASSERT_EQ(t7::connection().readerCount, 1);
    EXPECT_EQ(readerName(0), "Unknown type");
    EXPECT_EQ(fake.callsTo({"rz_init"}).back(), "rz_init(5,115200)");
}

TEST_F(PortTest, NoReaderShowsInitialPortErrorAndKeepsTheDialogOpen)
{
    CInitPortDlg dialog;
    dialog.show();
    clickOk(dialog);
    EXPECT_EQ(boxes.texts(), QStringList{"Initial port error!"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(t7::connection().portOpen, 0);
    EXPECT_EQ(fake.count("rz_beep"), 0);
    EXPECT_FALSE(panes.written(1));
    EXPECT_TRUE(modals.shown().isEmpty());

    // A second attempt after a reader was plugged in works.
    handles = {21};
    versions = {{21, "QV-1"}};
    clickOk(dialog);
    EXPECT_EQ(t7::connection().portOpen, 1);
    EXPECT_EQ(t7::connection().deviceHandle.load(), 21);
}

TEST_F(PortTest, HandlesZeroNegativeAndThirtyTwoMeanNoFurtherReader)
{
    for (const int end : {0, -5, 32}) {
        handles = {40, end, 41};
        versions = {{40, "T7"}, {41, "T7"}};
        CInitPortDlg dialog;
        dialog.OpenReaders();
        EXPECT_EQ(t7::connection().readerCount, 1) << "end " << end;
        EXPECT_EQ(t7::connection().deviceHandle.load(), 40) << "end " << end;
    }
}

TEST_F(PortTest, MoreReadersThanTheTableHoldsAreNotOpened)
{
    FAKE_ON(fake, rz_init, [](int, int) {
        static int next = 1000;
        return next++;
    });
    FAKE_ON(fake, rz_getver, [](int, char *text) {
        std::strcpy(text, "T7");
        return 0;
    });
    CInitPortDlg dialog;
    dialog.OpenReaders();
    EXPECT_EQ(t7::connection().readerCount, t7::ConnectionState::kCapacity);
    EXPECT_EQ(fake.count("rz_init"), t7::ConnectionState::kCapacity);
    EXPECT_EQ(t7::connection().readers[99].index, 99);
}

TEST_F(PortTest, AVersionTextThatFillsTheBufferIsCutAtItsEnd)
{
    handles = {8};
    FAKE_ON(fake, rz_getver, [](int, char *text) {
        std::memset(text, 'T', 255); // no terminator inside the buffer
        text[1] = '7';
        return 0;
    });
    CInitPortDlg dialog;
    dialog.OpenReaders();
    ASSERT_EQ(t7::connection().readerCount, 1);
    EXPECT_EQ(readerName(0), "T7" + std::string(252, 'T'));
}

TEST_F(PortTest, TheBaudListIsUsableExactlyForSerialPorts)
{
    CInitPortDlg dialog;
    auto *port = dialog.findChild<QComboBox *>("portList");
    auto *baud = dialog.findChild<QComboBox *>("baudList");
    EXPECT_FALSE(baud->isEnabled());
    port->setCurrentIndex(2);
    EXPECT_TRUE(baud->isEnabled());
    port->setCurrentIndex(0);
    EXPECT_FALSE(baud->isEnabled());
    EXPECT_EQ(port->count(), 7);
    EXPECT_EQ(port->itemText(6), "COM6");
    EXPECT_EQ(baud->count(), 10);
}

TEST(PortMapping, PortsBaudRatesAndNames)
{
    const std::vector<std::pair<int, int>> ports = {{0, 100}, {1, 0}, {3, 2}, {6, 5}};
    for (const auto &[index, number] : ports)
        EXPECT_EQ(CInitPortDlg::portNumber(index), number) << index;

    const std::vector<std::pair<int, int>> bauds = {{0, 115200}, {1, 1200},  {2, 2400},  {3, 4800},  {4, 9600},
                                                    {5, 19200},  {6, 14400}, {7, 28800}, {8, 38400}, {9, 57600}};
    for (const auto &[index, rate] : bauds)
        EXPECT_EQ(CInitPortDlg::baudRate(index), rate) << index;

    EXPECT_EQ(CInitPortDlg::portName(0), "COM1");
    EXPECT_EQ(CInitPortDlg::portName(8), "COM9");
    EXPECT_EQ(CInitPortDlg::portName(100), "USB");
    EXPECT_EQ(CInitPortDlg::portName(9), "Port is opened");
    EXPECT_EQ(CInitPortDlg::portName(-1), "Port is opened");
}

TEST_F(PortTest, TabGoesPortBaudOkCancel)
{
    CInitPortDlg dialog;
    QStringList order;
    for (QWidget *w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
    EXPECT_EQ(order, (QStringList{"portList", "baudList", "ok", "cancel"}));
}

TEST_F(PortTest, TheMenuVariantForgetsTheSerialLinkAndEveryVariantTheDeviceHandle)
{
    t7::connection().serialLink = 1;
    t7::connection().deviceHandle = 77;
    {
        CInitPortDlg tree(26, false);
        EXPECT_EQ(t7::connection().deviceHandle.load(), 0);
        EXPECT_EQ(t7::connection().serialLink, 1);
    }
    {
        CInitPortDlg menu;
        EXPECT_EQ(t7::connection().serialLink, 0);
    }
}

TEST_F(PortTest, AUsbOpeningFromTheTreeClearsASerialLinkLeftFromBefore)
{
    t7::connection().serialLink = 1;
    handles = {11};
    versions = {{11, "T7"}};
    CInitPortDlg tree(26, false);
    tree.OpenReaders();
    EXPECT_EQ(t7::connection().serialLink, 0);
}

TEST_F(PortTest, TheTreeVariantOpensTheNodesPanelAfterTheReaderSelection)
{
    handles = {11};
    versions = {{11, "T7"}};
    CInitPortDlg leaf(26, false);
    leaf.OpenReaders();
    EXPECT_EQ(modals.shown(), (QStringList{"CSelectReaderDlg", "CCardTypeSetDlg"}));
}

TEST_F(PortTest, TheTreeVariantOpensNoPanelForANodeWithChildren)
{
    handles = {11};
    versions = {{11, "T7"}};
    CInitPortDlg container(26, true);
    container.OpenReaders();
    EXPECT_EQ(modals.shown(), QStringList{"CSelectReaderDlg"});
    EXPECT_EQ(t7::connection().portOpen, 1);
}

TEST_F(PortTest, CancelOpensNothing)
{
    CInitPortDlg dialog;
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>("cancel"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(fake.calls().empty());
    EXPECT_EQ(t7::connection().deviceHandle.load(), 0);
}
