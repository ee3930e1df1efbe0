// The contact-card panels against the simulated reader library and its cards.
#include "panels/contact/C24C64Dlg.h"
#include "panels/contact/C4428Dlg.h"
#include "panels/contact/C4442Dlg.h"
#include "panels/contact/CCpuCardDlg.h"
#include "reader/ConnectionState.h"
#include "reader/HexText.h"
#include "reader/QvdLibrary.h"
#include "tests/contact/ContactPanelTest.h"
#include "tests/support/SimBench.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>

namespace
{

class ContactCardsEndToEnd : public ::testing::Test, protected contacttest::Controls
{
protected:
    // Opens both USB readers into the reader table; usb2 (the last) is current.
    void SetUp() override
    {
        ASSERT_TRUE(lib) << "libqvd.so could not be loaded";
        t7::connection().reset();
        for (int i = 0; i < 2; ++i) {
            handles[i] = rz_init(100, 0);
            ASSERT_GT(handles[i], 0);
            t7::connection().readers[static_cast<size_t>(i)].handle = handles[i];
        }
        t7::connection().readerCount = 2;
        t7::connection().deviceHandle = handles[1];
        t7::connection().portOpen = 1;
    }
    void TearDown() override
    {
        for (const int h : handles)
            rz_exit(h);
        t7::connection().reset();
    }

    sim::SimBench bench;
    fake::MessageRecorder boxes;
    qvd::LibraryRef lib = qvd::Library::load();
    QVD_ENTRY(lib, rz_init);
    QVD_ENTRY(lib, rz_exit);
    QVD_ENTRY(lib, rz_write_4442);
    int handles[2] = {};
};

const QString kEdited = QStringLiteral("0123456789ABCDEFFEDCBA9876543210");

TEST_F(ContactCardsEndToEnd, Sle4442VerifiedEditedWrittenReadBackAndProtected)
{
    C4442Dlg sheet(0); // usb1 holds the default bench's SLE4442, PSC 7E25A1
    show(&sheet);
    ASSERT_EQ(t7::connection().deviceHandle, handles[0]);
    click("verify");
    sheet.tabs()->setCurrentIndex(1);
    ASSERT_EQ(view()->line(0), "A2 13 10 91 FF FF FF FF FF FF FF FF FF FF FF FF ");
    editLine(6, kEdited);
    click("write");
    EXPECT_EQ(child<QLabel>("writeStatus")->text(), "Write card  success!");
    click("read");
    EXPECT_EQ(view()->line(6), t7::contact::pairsEachFollowedByBlank(kEdited));

    // The page protects from byte 31 with the verified PSC: byte 31 holding
    // the PSC's first byte becomes protected and keeps it.
    unsigned char pscFirst[1] = {0x7E};
    ASSERT_EQ(rz_write_4442(handles[0], 31, pscFirst, 1), 0);
    sheet.tabs()->setCurrentIndex(2);
    click("writeProtection");
    EXPECT_EQ(child<QLabel>("result")->text(), "Write protection bits success!");
    click("readProtection");
    EXPECT_EQ(text("protectionBits"), "F0 FF FF 7F ");
    unsigned char other[1] = {0x11};
    ASSERT_EQ(rz_write_4442(handles[0], 31, other, 1), 0);
    sheet.tabs()->setCurrentIndex(1);
    click("read");
    EXPECT_TRUE(view()->line(1).endsWith(" 7E ")) << view()->line(1).toStdString();
    EXPECT_EQ(boxes.texts(), QStringList{"Password authentication success!"});
}

TEST_F(ContactCardsEndToEnd, ThreeWrongPscsLockTheSle4442ForEver)
{
    C4442Dlg sheet(0);
    show(&sheet);
    setText("verifyPsc", "000000");
    for (int i = 0; i < 3; ++i)
        click("verify");
    setText("verifyPsc", "7E25A1");
    click("verify");
    EXPECT_EQ(boxes.texts(), QStringList(4, "Password authtication failed!"));
    EXPECT_NE(bench.run("show").find("0 of 3 attempts left (locked)"), std::string::npos);
}

TEST_F(ContactCardsEndToEnd, Sle4428VerifiedPageWrittenAndReadBack)
{
    bench.run("place usb2 contact sle4428 --psc 5B9D");
    C4428Dlg dialog;
    show(&dialog);
    click("verify");
    child<QComboBox>("page")->setCurrentIndex(2);
    editLine(15, kEdited);
    click("write");
    view()->setLines(t7::contact::placeholderLines());
    click("read");
    EXPECT_EQ(view()->line(15), t7::InsertHexSpaces(kEdited));
    EXPECT_EQ(child<QListWidget>("statusList")->item(0)->text(), "Password authentication success!");
    EXPECT_EQ(child<QListWidget>("statusList")->count(), 3) << "no line failed";
}

TEST_F(ContactCardsEndToEnd, At24c64PageWrittenAndReadBack)
{
    bench.run("place usb2 contact at24c64");
    C24C64Dlg dialog;
    show(&dialog);
    setText("page", "5");
    editLine(0, kEdited);
    click("write");
    view()->setLines(QStringList(16, QString()));
    click("read");
    EXPECT_EQ(view()->line(0), t7::InsertHexSpaces(kEdited));
    EXPECT_EQ(view()->line(1), t7::contact::placeholderLines()[1]);
    EXPECT_EQ(boxes.texts(), QStringList({"Write card  complete!", "Read card  complete!"}));
}

TEST_F(ContactCardsEndToEnd, CpuCardAndSamResetAndAnswerASelect)
{
    CCpuCardDlg dialog; // usb2 holds a CPU card and a SAM in SAM1
    show(&dialog);
    ASSERT_EQ(t7::connection().deviceHandle, handles[1]);
    click("reset");
    EXPECT_TRUE(text("resetInfo").startsWith("3B8A8001")) << text("resetInfo").toStdString();
    setText("command", "00A40000023F00");
    click("send");
    const QString announced = text("returned");
    ASSERT_TRUE(announced.startsWith("61")) << announced.toStdString();
    setText("command", "00C00000" + announced.mid(2));
    click("send");
    EXPECT_TRUE(text("returned").endsWith("9000"));

    child<QRadioButton>("cpu")->click();
    click("reset");
    const QString cpuAtr = text("resetInfo");
    EXPECT_TRUE(cpuAtr.startsWith("3B8A8001") && cpuAtr.contains("435055")) << cpuAtr.toStdString();
    setText("command", "00A4040C09F00000543744454D4F");
    click("send");
    EXPECT_EQ(text("returned"), "9000");
    EXPECT_THAT(boxes.texts(), ::testing::IsEmpty());
}

} // namespace
