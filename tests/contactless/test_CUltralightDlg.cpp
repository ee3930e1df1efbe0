#include "panels/contactless/CUltralightDlg.h"

#include "reader/ConnectionState.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

constexpr int kHandle = 5;

// The card's pages: page p byte b holds 16 * p + b + offset.
std::array<unsigned char, 64> patternPages(int offset)
{
    std::array<unsigned char, 64> pages{};
    for (int i = 0; i < 64; ++i)
        pages[static_cast<size_t>(i)] = static_cast<unsigned char>(16 * (i / 4) + i % 4 + offset);
    return pages;
}

class UltralightDlgTest : public ::testing::Test
{
protected:
    UltralightDlgTest()
    {
        t7::connection().deviceHandle = kHandle;
        fake::installLibraryHex(fake);
        FAKE_ON(fake, rz_anticall_ultralt, [this](int, unsigned int *number) {
            *number = 3000000000u;
            return anticallResult;
        });
        FAKE_ON(fake, rz_read_ultralt, [this](int, unsigned char page, unsigned char *data) {
            if (page == failingPage)
                return 1;
            std::copy_n(card.begin() + page * 4, 4, data);
            return 0;
        });
    }
    ~UltralightDlgTest() override { t7::connection().deviceHandle = 0; }

    void open()
    {
        dialog = std::make_unique<CUltralightDlg>();
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
    }
    QPushButton *button(const char *name) { return dialog->findChild<QPushButton *>(name); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void doubleClickCell(int page, int byte)
    {
        QTest::mouseDClick(dialog.get(), Qt::LeftButton, {}, dialog->cellRect(page, byte).center());
    }
    // Keys reach the grid whichever control has the focus.
    void key(Qt::Key k) { QTest::keyClick(button("readCard"), k); }
    std::vector<unsigned char> image()
    {
        std::vector<unsigned char> bytes;
        for (int page = 0; page < 16; ++page)
            for (int byte = 0; byte < 4; ++byte)
                bytes.push_back(dialog->pageByte(page, byte));
        return bytes;
    }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    std::array<unsigned char, 64> card = patternPages(0);
    int failingPage = -1;
    int anticallResult = 0;
    std::unique_ptr<CUltralightDlg> dialog;
};

TEST_F(UltralightDlgTest, OpeningWithNoCardSaysSoAndShowsAnAllZeroGrid)
{
    fake.returns("rz_select_ultralt", 1);
    open();
    EXPECT_EQ(dialog->windowTitle(), "Ultralight CARD");
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(boxes.messages()[0].text, "No card now!");
    EXPECT_EQ(image(), std::vector<unsigned char>(64, 0));
    EXPECT_EQ(fake.count("rz_read_ultralt"), 0);
    EXPECT_THAT(fake.callsTo({"rz_request_ultralt", "rz_select_ultralt"}),
                ElementsAre("rz_request_ultralt(5,1)", "rz_select_ultralt(5,3000000000)"));
}

TEST_F(UltralightDlgTest, AReadFailingAtPageFourKeepsTheOlderPagesFromThere)
{
    open();
    const auto before = patternPages(0);
    card = patternPages(1);
    failingPage = 4;
    click("readCard");
    ASSERT_EQ(boxes.texts(), QStringList{"Read4page failed!,Reason:1"});
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    const auto shown = image();
    EXPECT_EQ(std::vector<unsigned char>(shown.begin(), shown.begin() + 16),
              std::vector<unsigned char>(card.begin(), card.begin() + 16));
    EXPECT_EQ(std::vector<unsigned char>(shown.begin() + 16, shown.end()),
              std::vector<unsigned char>(before.begin() + 16, before.end()));
}

TEST_F(UltralightDlgTest, WritingSendsPagesThreeToFifteenInOrderAndStopsAtAFailure)
{
    open();
    std::vector<std::string> written;
    FAKE_ON(fake, rz_write_ultralt, [&](int, unsigned char page, unsigned char *data) {
        written.push_back(std::to_string(page) + ":" + std::to_string(data[0]) + "," + std::to_string(data[3]) + "," +
                          std::to_string(data[4]));
        return page == failingPage ? 1 : 0;
    });
    click("writeCard");
    ASSERT_EQ(written.size(), 13u);
    EXPECT_EQ(written.front(), "3:48,51,0");
    EXPECT_EQ(written.back(), "15:240,243,0");
    EXPECT_EQ(dialog->statusText(), "4-16 page-data write success!");

    written.clear();
    failingPage = 7;
    click("writeCard");
    EXPECT_EQ(written.size(), 5u);
    EXPECT_EQ(dialog->statusText(), "Write card  failed!");
}

TEST_F(UltralightDlgTest, ATypedDigitReplacesTheNibbleUnderTheCaret)
{
    open();
    dialog->setPageByte(5, 1, 0xA5);
    doubleClickCell(5, 1);
    ASSERT_EQ(dialog->currentPage(), 5);
    EXPECT_TRUE(dialog->caretShown());
    key(Qt::Key_7);
    EXPECT_EQ(dialog->pageByte(5, 1), 0x75);
    dialog->setPageByte(5, 1, 0xA5);
    key(Qt::Key_Right);
    key(Qt::Key_7);
    EXPECT_EQ(dialog->pageByte(5, 1), 0xA7);
    EXPECT_TRUE(dialog->lowNibble()) << "the caret does not advance";
    key(Qt::Key_Return);
    EXPECT_FALSE(dialog->caretShown());
    key(Qt::Key_C);
    EXPECT_EQ(dialog->pageByte(5, 1), 0xAC);
    EXPECT_TRUE(dialog->caretShown());
    EXPECT_THAT(boxes.texts(), IsEmpty());
}

TEST_F(UltralightDlgTest, ArrowsKeepToTheEditableCells)
{
    struct Case {
        int page, byte;
        bool low;
        Qt::Key key;
        int toPage, toByte;
        bool toLow;
    };
    const Case cases[] = {
        {3, 1, false, Qt::Key_Up, 3, 1, false},   {3, 2, false, Qt::Key_Up, 2, 2, false},
        {2, 2, false, Qt::Key_Left, 2, 2, false}, {2, 3, false, Qt::Key_Left, 2, 2, true},
        {3, 0, false, Qt::Key_Left, 3, 0, false}, {4, 2, true, Qt::Key_Left, 4, 2, false},
        {4, 2, false, Qt::Key_Left, 4, 1, true},  {4, 3, true, Qt::Key_Right, 4, 3, true},
        {4, 1, true, Qt::Key_Right, 4, 2, false}, {15, 0, false, Qt::Key_Down, 15, 0, false},
        {1, 0, false, Qt::Key_Down, 2, 0, false},
    };
    open();
    for (const Case &c : cases) {
        doubleClickCell(c.page, c.byte);
        if (c.low)
            key(Qt::Key_Right);
        key(c.key);
        EXPECT_EQ(dialog->currentPage(), c.toPage) << c.page << "/" << c.byte << " key " << c.key;
        EXPECT_EQ(dialog->currentByte(), c.toByte) << c.page << "/" << c.byte << " key " << c.key;
        EXPECT_EQ(dialog->lowNibble(), c.toLow) << c.page << "/" << c.byte << " key " << c.key;
        EXPECT_EQ(dialog->caretShown(), CUltralightDlg::isEditable(c.toPage, c.toByte));
    }
}

TEST_F(UltralightDlgTest, FindAndHaltTellTheOutcomeInTheStatusText)
{
    struct Case {
        const char *button;
        std::string failing; // the entry point that fails, if any
        const char *status;
    };
    const Case cases[] = {
        {"findCard", "", "Card number:\n3000000000"},
        {"findCard", "rz_request_ultralt", "Find card error\nReason: request error"},
        {"findCard", "rz_anticall_ultralt", "Find card error\nReason: anticall error"},
        {"findCard", "rz_select_ultralt", "Find card error\nReason: select error"},
        {"halt", "", "Halt OK!"},
        {"halt", "rz_halt_ultralt", "Halt Error!"},
    };
    open();
    for (const Case &c : cases) {
        fake.returns(c.failing, 1);
        anticallResult = c.failing == "rz_anticall_ultralt" ? 1 : 0;
        click(c.button);
        EXPECT_EQ(dialog->statusText(), c.status) << c.failing;
        fake.returns(c.failing, 0);
    }
}

} // namespace
