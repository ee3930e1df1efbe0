#include "panels/contact/C24C64Dlg.h"

#include "tests/contact/ContactPanelTest.h"

namespace
{

class C24C64DlgTest : public contacttest::PanelTest<C24C64Dlg>
{
protected:
    C24C64DlgTest()
    {
        FAKE_ON(fake, rz_read_24c64, [this](int, int address, int length, unsigned char *data) {
            if (address == failingAddress)
                return 1;
            for (int i = 0; i < length; ++i)
                data[i] = contacttest::patternByte(address + i);
            return 0;
        });
        open();
    }
    int failingAddress = -1;
};

TEST_F(C24C64DlgTest, PageThirtyTwoReadsTheLastAddressesAndAFailingLineFailsTheWhole)
{
    EXPECT_EQ(view()->lines(), t7::contact::placeholderLines());
    setText("page", "32");
    failingAddress = 7936 + 16 * 9;
    click("read");
    const std::vector<std::string> reads = calls({"rz_read_24c64"});
    ASSERT_EQ(reads.size(), 16u);
    EXPECT_EQ(reads.front(), "rz_read_24c64(7,7936,16,*)");
    EXPECT_EQ(reads.back(), "rz_read_24c64(7,8176,16,*)");
    EXPECT_EQ(view()->line(15), contacttest::patternLine(8176));
    EXPECT_EQ(view()->line(9), t7::contact::placeholderLines()[9]);
    EXPECT_EQ(boxes.texts(), QStringList{"Read card  failed!"});
}

TEST_F(C24C64DlgTest, APageOutsideOneToThirtyTwoOrAMissingCardStopsBeforeAnyTransfer)
{
    for (const char *page : {"0", "33"}) {
        setText("page", page);
        click("read");
        click("write");
    }
    EXPECT_EQ(boxes.texts(), QStringList(4, "Please enter an integer between 1 and 32."));
    fake.returns("rz_check_24c64", 1);
    click("write");
    EXPECT_EQ(boxes.texts().last(), "Please check whether or not have card insert!");
    EXPECT_EQ(fake.calls(), std::vector<std::string>(5, "rz_check_24c64(7)"));
}

TEST_F(C24C64DlgTest, WriteSendsEveryLineOfThePageAndSaysWhenOneFailed)
{
    setText("page", "2");
    editLine(4, "A0A1A2A3A4A5A6A7A8A9AAABACADAEAF");
    FAKE_ON(fake, rz_write_24c64,
            [](int, int address, int, unsigned char *data) { return address == 256 + 64 && data[15] != 0xAF ? 1 : 0; });
    click("write");
    EXPECT_EQ(calls({"rz_write_24c64"}).size(), 16u);
    EXPECT_EQ(boxes.texts(), QStringList{"Write card  complete!"});
    FAKE_ON(fake, rz_write_24c64, [](int, int address, int, unsigned char *) { return address == 512 - 16 ? 1 : 0; });
    click("write");
    EXPECT_EQ(boxes.texts().last(), "Write card  failed!");
}

} // namespace
