#include "app/PanelDispatch.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinters.h"

#include <QDialog>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace
{

struct DispatchCase {
    int itemData;
    QString dialog;   // objectName of the dialog that opens
    QString title;    // its window title
    QString startTab; // the sheet's current page, where it has one
};

// What each operation node opens: the sheet of the S50 and S70 nodes on the
// page their item data names.
const std::vector<DispatchCase> kDispatch = {
    {0, "mifareOneDialog", "Mifare One CARD", "Verify Key"},
    {1, "mifareOneDialog", "Mifare One CARD", "Read and write"},
    {2, "mifareOneDialog", "Mifare One CARD", "Auto Test"},
    {4, "mifareOneDialog", "Mifare One CARD", "Value Operate"},
    {6, "mifareOneDialog", "Mifare One CARD", "Update Key"},
    {7, "mifareOneDialog", "Mifare One CARD", "Load key"},
    {20, "mifareOneDialog", "Mifare One CARD", "Load key"},
    {21, "mifareOneDialog", "Mifare One CARD", "Verify Key"},
    {22, "mifareOneDialog", "Mifare One CARD", "Read and write"},
    {23, "mifareOneDialog", "Mifare One CARD", "Auto Test"},
    {24, "mifareOneDialog", "Mifare One CARD", "Value Operate"},
    {25, "mifareOneDialog", "Mifare One CARD", "Update Key"},
    {15, "CMifareOneRwDlg", "Mifare One Read and Write", ""},
    {19, "CS70EasyDlg", "S70 easy operate", ""},
    {26, "CCardTypeSetDlg", "Card type setting", ""},
    {30, "CIdCardDlg", "ID CARD    read card serial number", ""},
    {5, "CCpuCardDlg", "CPU card operation", ""},
    {8, "C4442Dlg", "4442 CARD", "Password"},
    {9, "C4442Dlg", "4442 CARD", "Common data read and write"},
    {10, "C4442Dlg", "4442 CARD", "Protect Zone"},
    {28, "C4428Dlg", "4428 CARD", ""},
    {29, "C24C64Dlg", "24C64 CARD", ""},
    {12, "CUltralightDlg", "Ultralight CARD", ""},
    {13, "CMifareProDlg", "Mifare Pro  CARD", ""},
    {27, "CFcpuDlg", "FCPU", ""},
    {31, "CFcpuDlg", "CPU card  [ TYPEB ]", ""},
    {33, "CUltralightCDlg", "Ultralight_C", ""},
    {17, "CIcode2Dlg", "I-CODE2 CARD", ""},
    {18, "CAt88rf020Dlg", "AT88RF020 CARD", ""},
    {32, "CMifarePlusDlg", "MF-PLUS", "Level 0"},
    {3, "CMoreTestDlg", "More Test", "Device functions test"},
    {14, "CLcdDlg", "LCD operation", ""},
    {16, "CDeviceDlg", "Device", ""},
};

class PanelDispatchTest : public ::testing::TestWithParam<DispatchCase>
{
protected:
    void SetUp() override
    {
        t7::connection().reset();
        t7::connection().portOpen = 1;
        t7::connection().deviceHandle = 9;
        // No card answers, so the panels stay in their opening state.
        reader.returns("rz_request", 1);
        reader.returns("rz_card", 1);
    }
    void TearDown() override { t7::connection().reset(); }

    fake::FakeReader reader;
    fake::MessageRecorder boxes;
    fake::ModalScript modal;
};

TEST_P(PanelDispatchTest, OpensItsPanelOnItsPage)
{
    const DispatchCase &c = GetParam();
    QString title;
    QString tab;
    modal.on(c.dialog, [&](QDialog &dialog) {
        title = dialog.windowTitle();
        if (const auto *pages = dialog.findChild<QTabWidget *>("pages"))
            tab = pages->tabText(pages->currentIndex());
        return int(QDialog::Accepted);
    });

    t7::openPanel(c.itemData, nullptr);

    EXPECT_EQ(modal.shown(), QStringList{c.dialog});
    EXPECT_EQ(title, c.title);
    EXPECT_EQ(tab, c.startTab);
    // Setting TYPEA: only the TYPE B and ISO15693 nodes warn first.
    const bool warns = c.itemData == 17 || c.itemData == 18 || c.itemData == 31;
    EXPECT_EQ(boxes.texts().filter(QStringLiteral("Operation maybe faile")).size(), warns ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Nodes, PanelDispatchTest, ::testing::ValuesIn(kDispatch),
                         [](const ::testing::TestParamInfo<DispatchCase> &info) {
                             return "ItemData" + std::to_string(info.param.itemData);
                         });

TEST(PanelDispatch, ItemDataWithoutAPanelOpensNothing)
{
    fake::FakeReader reader;
    fake::MessageRecorder boxes;
    fake::ModalScript modal;
    t7::connection().reset();
    t7::connection().cardTypeSetting = t7::kTypeA;
    for (const int itemData : {11, 99})
        t7::openPanel(itemData, nullptr);
    EXPECT_TRUE(modal.shown().isEmpty()) << modal.shown().join(',').toStdString();
    EXPECT_TRUE(boxes.texts().isEmpty());
}

} // namespace
