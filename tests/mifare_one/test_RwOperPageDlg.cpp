// The Read and write page: the verified sector's blocks, reading with trailer
// masking, and writing as hex or as text.
#include "tests/mifare_one/MifarePageTest.h"

#include "panels/mifare_one/RwOperPageDlg.h"

#include <array>
#include <cstring>

using mifaretest::PageTest;
using t7::mifare::state;
using ::testing::ElementsAre;

namespace
{

// Block b reads as bytes b*16 + i.
int fillBlock(unsigned char block, unsigned char *data)
{
    for (int i = 0; i < 16; ++i)
        data[i] = static_cast<unsigned char>(block * 16 + i);
    return 0;
}

class ReadWritePage : public PageTest
{
protected:
    explicit ReadWritePage(int kind = t7::mifare::kCardKindS50) : PageTest(kind)
    {
        fake::installLibraryHex(fake);
        FAKE_ON(fake, rz_read, [](int, unsigned char b, unsigned char *d) { return fillBlock(b, d); });
        FAKE_ON(fake, rz_read_S70, [](int, unsigned char b, unsigned char *d) { return fillBlock(b, d); });
        FAKE_ON(fake, rz_write, [this](int, unsigned char, unsigned char *d) {
            std::memcpy(written.data(), d, 16);
            return 0;
        });
    }
    // As after a verification of sector on the Verify Key page.
    void openVerified(int sector)
    {
        state().verified = 1;
        state().verifiedSector = sector;
        open();
    }
    void open()
    {
        page.opening();
        page.show();
        page.activated();
    }
    void chooseBlock(int index) { child<QComboBox>(page, "blockList")->setCurrentIndex(index); }
    bool writable() const
    {
        return !child<QLineEdit>(page, "hexEdit")->isReadOnly() && !child<QLineEdit>(page, "textEdit")->isReadOnly() &&
               child<QAbstractButton>(page, "writeHexButton")->isEnabled() &&
               child<QAbstractButton>(page, "writeAsciiButton")->isEnabled();
    }
    bool lockedAgainstWrites() const
    {
        return child<QLineEdit>(page, "hexEdit")->isReadOnly() && child<QLineEdit>(page, "textEdit")->isReadOnly() &&
               !child<QAbstractButton>(page, "writeHexButton")->isEnabled() &&
               !child<QAbstractButton>(page, "writeAsciiButton")->isEnabled();
    }
    QStringList blockEntries() const
    {
        QStringList entries;
        auto *list = child<QComboBox>(page, "blockList");
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        return entries;
    }

    std::array<unsigned char, 16> written{};
    RwOperPageDlg page;
};

class ReadWritePageS70 : public ReadWritePage
{
protected:
    ReadWritePageS70() : ReadWritePage(t7::mifare::kCardKindS70) {}
};

class ReadWritePageNoKind : public ReadWritePage
{
protected:
    ReadWritePageNoKind() : ReadWritePage(0) {}
};

TEST_F(ReadWritePage, ActivationOffersTheFourBlocksOfTheVerifiedSector)
{
    openVerified(1);
    EXPECT_EQ(text(page, "addressLabel"), QStringLiteral("Block address:4-7"));
    EXPECT_EQ(blockEntries(), QStringList({"4", "5", "6", "7"}));
    EXPECT_EQ(page.block(), 4);
    chooseBlock(2);
    EXPECT_EQ(page.block(), 6);
}

TEST_F(ReadWritePageS70, ALargeSectorOffersSixteenBlocks)
{
    EXPECT_EQ(text(page, "addressLabel"), QStringLiteral("Address(0-63)"));
    page.opening();
    EXPECT_EQ(text(page, "addressLabel"), QStringLiteral("Block address(0-255)"));
    state().verified = 1;
    state().verifiedSector = 32;
    page.activated();
    EXPECT_EQ(text(page, "addressLabel"), QStringLiteral("Block address:128-143"));
    EXPECT_EQ(blockEntries().size(), 16);
    EXPECT_EQ(blockEntries().front(), QStringLiteral("128"));
    EXPECT_EQ(blockEntries().back(), QStringLiteral("143"));
    chooseBlock(15);
    EXPECT_EQ(page.block(), 143);
}

TEST_F(ReadWritePageNoKind, NoKnownCardLeavesTheListEmpty)
{
    openVerified(3);
    EXPECT_TRUE(blockEntries().isEmpty());
    EXPECT_EQ(page.block(), 0);
    EXPECT_EQ(text(page, "addressLabel"), QStringLiteral("Block address:12-15"));
}

TEST_F(ReadWritePage, ReadingBeforeAnyVerificationIsRefused)
{
    state().verifiedSector = 1;
    open();
    ASSERT_FALSE(blockEntries().isEmpty());
    click(page, "readButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Password authentication first please!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_TRUE(fake.calls().empty());
}

TEST_F(ReadWritePage, ReadsADataBlockAfterFindingTheCardAndAuthenticating)
{
    state().currentKeyMode = 4;
    openVerified(1);
    chooseBlock(1);
    click(page, "readButton");
    EXPECT_THAT(fake.callsTo({"rz_card", "rz_authentication", "rz_read", "rz_read_S70", "hex_a"}),
                ElementsAre("rz_card(7,1,*)", "rz_authentication(7,4,1)", "rz_read(7,5,*)", "hex_a(*,*,32)"));
    EXPECT_EQ(text(page, "hexEdit"), QStringLiteral("505152535455565758595A5B5C5D5E5F"));
    EXPECT_EQ(text(page, "textEdit"), QStringLiteral("PQRSTUVWXYZ[\\]^_"));
    EXPECT_TRUE(writable());
    EXPECT_TRUE(text(page, "statusLabel").isEmpty());
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(ReadWritePage, ATrailerReadsMaskedAndLocksWriting)
{
    openVerified(0);
    chooseBlock(3);
    click(page, "readButton");
    EXPECT_EQ(text(page, "hexEdit"), QStringLiteral("************363738393A3B3C3D3E3F"));
    EXPECT_EQ(text(page, "statusLabel"), QStringLiteral("This is the code block,************ the codes"));
    EXPECT_TRUE(lockedAgainstWrites());

    // Choosing another block does not unlock writing; only another read does.
    chooseBlock(1);
    setText(page, "hexEdit", QString(32, QLatin1Char('1')));
    click(page, "writeHexButton");
    EXPECT_EQ(fake.count("rz_write"), 0);
    EXPECT_TRUE(lockedAgainstWrites());
}

TEST_F(ReadWritePage, ReadingBlockZeroLocksWritingWithoutTheNotice)
{
    openVerified(0);
    click(page, "readButton");
    EXPECT_EQ(text(page, "hexEdit"), QStringLiteral("000102030405060708090A0B0C0D0E0F"));
    EXPECT_TRUE(text(page, "textEdit").isEmpty()) << "text stops at the first zero byte";
    EXPECT_TRUE(lockedAgainstWrites());
    EXPECT_TRUE(text(page, "statusLabel").isEmpty());
    // The next read of a data block unlocks the page again.
    chooseBlock(1);
    click(page, "readButton");
    EXPECT_TRUE(writable());
}

TEST_F(ReadWritePageS70, S70BlocksUseTheS70EntryPoints)
{
    page.opening();
    state().verified = 1;
    state().verifiedSector = 32;
    page.activated();
    chooseBlock(15);
    click(page, "readButton");
    EXPECT_THAT(fake.callsTo({"rz_authentication", "rz_read", "rz_read_S70"}),
                ElementsAre("rz_authentication(7,0,32)", "rz_read_S70(7,143,*)"));
    EXPECT_TRUE(text(page, "hexEdit").startsWith("************"));
    EXPECT_TRUE(lockedAgainstWrites());

    chooseBlock(3);
    click(page, "readButton");
    EXPECT_FALSE(text(page, "hexEdit").startsWith("*")) << "block 131 is not a trailer";
    EXPECT_TRUE(writable());
    fake.clearCalls();
    setText(page, "hexEdit", QString(32, QLatin1Char('1')));
    click(page, "writeHexButton");
    EXPECT_THAT(fake.callsTo({"rz_write", "rz_write_S70"}), ElementsAre("rz_write_S70(7,131,*)"));
}

TEST_F(ReadWritePage, AFailedReadReportsTheReasonAndKeepsTheShownData)
{
    openVerified(1);
    chooseBlock(1);
    click(page, "readButton");
    const QString shown = text(page, "hexEdit");
    FAKE_ON(fake, rz_read, [](int, unsigned char, unsigned char *) { return 3; });
    click(page, "readButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Readdata failed!,Reason: 3"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(text(page, "hexEdit"), shown);
}

TEST_F(ReadWritePage, AFailedAuthenticationSaysSoInAPageBox)
{
    openVerified(2);
    fake.returns("rz_authentication", 1);
    click(page, "readButton");
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("2Sector authentication error!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);
    EXPECT_EQ(fake.count("rz_read"), 0);
}

TEST_F(ReadWritePage, NoCardSaysFindCardError)
{
    openVerified(2);
    fake.returns("rz_card", 1);
    click(page, "readButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Find card error!"));
    EXPECT_EQ(fake.count("rz_authentication"), 0);
}

TEST_F(ReadWritePage, HexWriteChecksLengthAndDigitsBeforeWriting)
{
    openVerified(1);
    setText(page, "hexEdit", QString(31, QLatin1Char('A')));
    click(page, "writeHexButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Length of chars inserted not enough!"));

    boxes.clear();
    setText(page, "hexEdit", QStringLiteral("00112233  445566778899AABBCCDDEE"));
    click(page, "writeHexButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Input data is incorrect!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_EQ(fake.count("rz_write"), 0);
}

TEST_F(ReadWritePage, HexWriteStoresTheSixteenBytesWithoutAuthenticating)
{
    openVerified(1);
    chooseBlock(2);
    setText(page, "hexEdit", QStringLiteral("00112233445566778899aabbccddeeff"));
    click(page, "writeHexButton");
    EXPECT_THAT(fake.calls(), ElementsAre("rz_write(7,6,*)"));
    EXPECT_THAT(written, ElementsAre(0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD,
                                     0xEE, 0xFF));
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("Writedata success!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);

    boxes.clear();
    FAKE_ON(fake, rz_write, [](int, unsigned char, unsigned char *) { return 1; });
    click(page, "writeHexButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Writedata failed!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
}

TEST_F(ReadWritePage, AsciiWriteStoresExactlyTheSixteenCharactersTyped)
{
    openVerified(1);
    setText(page, "textEdit", QStringLiteral("Hello, T7 reader"));
    click(page, "writeAsciiButton");
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(written.data()), 16), "Hello, T7 reader");
    EXPECT_THAT(boxes.texts(), ElementsAre("Writedata success!"));

    boxes.clear();
    setText(page, "textEdit", QStringLiteral("too short"));
    click(page, "writeAsciiButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Length of chars inserted not enough!"));
    EXPECT_EQ(fake.count("rz_write"), 1);
}

TEST_F(ReadWritePageS70, AnS70BlockBeyond63IsNotOutOfRangeButOnAnS50ItIs)
{
    page.opening();
    state().verified = 1;
    state().verifiedSector = 20;
    page.activated();
    ASSERT_EQ(page.block(), 80);
    click(page, "readButton");
    EXPECT_TRUE(boxes.texts().isEmpty());
    // The card changed to an S50 while sector 20 is still the verified one.
    state().cardKind = t7::mifare::kCardKindS50;
    click(page, "readButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("block is out of range!"));
}

} // namespace
