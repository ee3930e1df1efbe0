// vpcd's framing and the virtual cards behind it, APDU by APDU.
#include "pcsc/vcard/Iso7816Card.h"
#include "pcsc/vcard/MifareClassicCard.h"
#include "pcsc/vcard/VpcdFraming.h"
#include "tests/pcsc/HexBytes.h"

#include <gtest/gtest.h>

namespace
{

using namespace vcard;
using pcsctest::bytes;
using pcsctest::hex;

TEST(VpcdFraming, MessagesSurviveAnySplitOfTheStream)
{
    const Bytes apdu = bytes("FF B0 00 04 10");
    const Bytes stream = [&] {
        Bytes s = encodeFrame(bytes("04"));
        const Bytes second = encodeFrame(apdu);
        s.insert(s.end(), second.begin(), second.end());
        return s;
    }();
    EXPECT_EQ(hex(encodeFrame(apdu)), "00 05 FF B0 00 04 10");
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        FrameReader reader;
        reader.feed(stream.data(), cut);
        std::vector<Bytes> got;
        while (auto m = reader.next())
            got.push_back(*m);
        reader.feed(stream.data() + cut, stream.size() - cut);
        while (auto m = reader.next())
            got.push_back(*m);
        ASSERT_EQ(got.size(), 2u) << "cut at " << cut;
        EXPECT_EQ(hex(got[0]), "04");
        EXPECT_EQ(got[1], apdu);
    }
    // A 300-byte message: the length's high byte counts.
    const Bytes long300 = encodeFrame(Bytes(300, 0xAA));
    EXPECT_EQ(hex(Bytes(long300.begin(), long300.begin() + 2)), "01 2C");
}

TEST(VpcdFraming, OnlyTheAtrRequestAndApdusAreAnswered)
{
    MifareClassicCard card(bytes("04A1B2C3"));
    EXPECT_EQ(hex(*respond(card, bytes("04"))), "3B 8F 80 01 80 4F 0C A0 00 00 03 06 03 00 01 00 00 00 00 6A");
    EXPECT_FALSE(respond(card, bytes("00")));
    EXPECT_FALSE(respond(card, bytes("01")));
    EXPECT_FALSE(respond(card, bytes("02")));
    EXPECT_EQ(hex(*respond(card, bytes("FF CA 00 00 00"))), "04 A1 B2 C3 90 00");
}

class VirtualMifare : public ::testing::Test
{
protected:
    std::string send(const std::string &apdu) { return hex(card.process(bytes(apdu))); }
    std::string sw(const std::string &apdu)
    {
        const std::string all = send(apdu);
        return all.substr(all.size() - 5);
    }
    std::string authenticate(int block, bool keyB, const std::string &key)
    {
        EXPECT_EQ(sw("FF 82 00 00 06 " + key), "90 00");
        char command[64];
        std::snprintf(command, sizeof command, "FF 86 00 00 05 01 00 %02X %s 00", block, keyB ? "61" : "60");
        return sw(command);
    }
    std::string write(int block, const std::string &data)
    {
        char head[32];
        std::snprintf(head, sizeof head, "FF D6 00 %02X 10 ", block);
        return sw(head + data);
    }
    std::string read(int block)
    {
        char command[32];
        std::snprintf(command, sizeof command, "FF B0 00 %02X 10", block);
        return send(command);
    }

    MifareClassicCard card{bytes("04A1B2C3")};
    const std::string transport = "FF FF FF FF FF FF";
};

TEST_F(VirtualMifare, KeysGuardEachSectorAndAPowerCycleForgetsThem)
{
    EXPECT_EQ(read(4), "69 82") << "no authentication yet";
    EXPECT_EQ(authenticate(4, false, "00 00 00 00 00 00"), "63 00");
    EXPECT_EQ(authenticate(4, false, transport), "90 00");
    EXPECT_EQ(read(4), "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 90 00");
    EXPECT_EQ(read(8), "69 82") << "another sector";
    EXPECT_EQ(sw("FF 86 00 00 05 01 00 04 60 02"), "69 88") << "two volatile slots only";
    EXPECT_EQ(sw("FF 86 00 00 05 01 00 40 60 00"), "6A 82") << "a 1K has 64 blocks";
    card.powerCycle();
    EXPECT_EQ(read(4), "69 82");
}

TEST_F(VirtualMifare, TrailersHideKeyAAndWriteOnlyThePartsTheKeyMay)
{
    ASSERT_EQ(authenticate(7, false, transport), "90 00");
    EXPECT_EQ(read(7), "00 00 00 00 00 00 FF 07 80 69 FF FF FF FF FF FF 90 00");
    // Access bits 011 for the trailer: key B writes keys and access bits.
    ASSERT_EQ(write(7, "A1 A2 A3 A4 A5 A6 7F 07 88 69 B1 B2 B3 B4 B5 B6"), "90 00");
    EXPECT_EQ(authenticate(7, false, transport), "63 00");
    ASSERT_EQ(authenticate(7, false, "A1 A2 A3 A4 A5 A6"), "90 00");
    EXPECT_EQ(read(7), "00 00 00 00 00 00 7F 07 88 69 00 00 00 00 00 00 90 00") << "key B no longer readable";
    EXPECT_EQ(write(7, "00 00 00 00 00 00 FF 07 80 69 00 00 00 00 00 00"), "63 00") << "key A may write nothing";
    ASSERT_EQ(authenticate(7, true, "B1 B2 B3 B4 B5 B6"), "90 00");
    EXPECT_EQ(write(7, "C1 C2 C3 C4 C5 C6 7F 07 88 69 B1 B2 B3 B4 B5 B6"), "90 00");
    EXPECT_EQ(authenticate(7, false, "C1 C2 C3 C4 C5 C6"), "90 00");
    EXPECT_EQ(card.block(7)[0], 0xC1);
}

TEST_F(VirtualMifare, BlockZeroAndReadableKeyBRefuseAccess)
{
    ASSERT_EQ(authenticate(0, false, transport), "90 00");
    EXPECT_EQ(write(0, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"), "63 00");
    EXPECT_EQ(read(0).substr(0, 11), "04 A1 B2 C3");
    // Transport access bits make key B readable: it is data, not a key.
    ASSERT_EQ(authenticate(4, true, transport), "90 00");
    EXPECT_EQ(read(4), "63 00");
    EXPECT_EQ(write(5, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"), "63 00");
}

TEST_F(VirtualMifare, ValueOperationsKeepTheFormatAndTheAccessBits)
{
    ASSERT_EQ(authenticate(4, false, transport), "90 00");
    EXPECT_EQ(sw("FF D7 00 04 05 01 00 00 00 01"), "63 00") << "block 4 is no value block yet";
    ASSERT_EQ(sw("FF D7 00 04 05 00 00 00 00 64"), "90 00");
    EXPECT_EQ(read(4), "64 00 00 00 9B FF FF FF 64 00 00 00 04 FB 04 FB 90 00");
    ASSERT_EQ(sw("FF D7 00 04 05 01 00 00 00 05"), "90 00");
    ASSERT_EQ(sw("FF D7 00 04 05 02 00 00 00 03"), "90 00");
    ASSERT_EQ(sw("FF D7 00 04 02 03 06"), "90 00") << "restore 4 into 6";
    EXPECT_EQ(read(6), "66 00 00 00 99 FF FF FF 66 00 00 00 04 FB 04 FB 90 00");
    EXPECT_EQ(sw("FF D7 00 04 05 01 7F FF FF FF"), "63 00") << "overflow";
    EXPECT_EQ(sw("FF D7 00 04 02 03 08"), "63 00") << "target in another sector";
    // Access bits 001 for block 5: decrement by key A or B, nothing else.
    ASSERT_EQ(sw("FF D7 00 05 05 00 00 00 00 0A"), "90 00");
    ASSERT_EQ(write(7, "FF FF FF FF FF FF FF 05 A0 69 FF FF FF FF FF FF"), "90 00");
    ASSERT_EQ(authenticate(5, false, transport), "90 00");
    EXPECT_EQ(sw("FF D7 00 05 05 01 00 00 00 01"), "63 00");
    EXPECT_EQ(sw("FF D7 00 05 05 02 00 00 00 01"), "90 00");
    EXPECT_EQ(write(5, "0A 00 00 00 F5 FF FF FF 0A 00 00 00 05 FA 05 FA"), "63 00");
    EXPECT_EQ(read(5).substr(0, 2), "09");
}

TEST(VirtualIso7816, SelectReadAndUpdateTheFile)
{
    Iso7816Card card;
    auto send = [&](const std::string &apdu) { return hex(card.process(bytes(apdu))); };
    EXPECT_EQ(send("00 B0 00 00 04"), "69 86") << "no file selected";
    EXPECT_EQ(send("00 A4 00 00 02 2F 00"), "6A 82");
    EXPECT_EQ(send("00 A4 04 00 02 A0 00"), "6A 82");
    EXPECT_EQ(send("00 A4 00 00 02 00 01"), "90 00");
    EXPECT_EQ(send("00 D6 00 7E 02 CA FE"), "90 00");
    EXPECT_EQ(send("00 B0 00 7E 04"), "CA FE 62 82") << "end of file";
    EXPECT_EQ(send("00 D6 00 7F 02 CA FE"), "6B 00");
    EXPECT_EQ(send("00 B0 00 80 01"), "6B 00");
    EXPECT_EQ(send("00 84 00 00 08"), "6D 00");
    EXPECT_EQ(send("80 B0 00 00 01"), "6E 00");
    card.powerCycle();
    EXPECT_EQ(send("00 B0 00 00 01"), "69 86");
}

} // namespace
