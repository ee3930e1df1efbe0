// What the library makes of an ATR, and how the T7 key store meets the
// reader's key slots.
#include "pcsc/core/Atr.h"
#include "pcsc/core/KeyStore.h"
#include "pcsc/core/MifareLayout.h"
#include "tests/pcsc/HexBytes.h"

#include <gtest/gtest.h>

namespace
{

using namespace pcsc;
using pcsctest::bytes;
using pcsctest::hex;

struct AtrCase {
    const char *atr;
    CardFamily family;
    AirProtocol protocol;
    const char *name;
    int sectors;
};

TEST(Atrs, NameTheCardBehindTheReader)
{
    const AtrCase cases[] = {
        {"3B 8F 80 01 80 4F 0C A0 00 00 03 06 03 00 01 00 00 00 00 6A", CardFamily::MifareClassic, AirProtocol::TypeA,
         "MIFARE Classic 1K", 16},
        {"3B 8F 80 01 80 4F 0C A0 00 00 03 06 03 00 02 00 00 00 00 69", CardFamily::MifareClassic, AirProtocol::TypeA,
         "MIFARE Classic 4K", 40},
        {"3B 8F 80 01 80 4F 0C A0 00 00 03 06 03 00 26 00 00 00 00 4D", CardFamily::MifareClassic, AirProtocol::TypeA,
         "MIFARE Mini", 5},
        {"3B 8F 80 01 80 4F 0C A0 00 00 03 06 03 00 03 00 00 00 00 68", CardFamily::Ultralight, AirProtocol::TypeA,
         "MIFARE Ultralight", 0},
        {"3B 8F 80 01 80 4F 0C A0 00 00 03 06 03 00 3A 00 00 00 00 51", CardFamily::Ultralight, AirProtocol::TypeA,
         "MIFARE Ultralight C", 0},
        {"3B 8F 80 01 80 4F 0C A0 00 00 03 06 0B 00 14 00 00 00 00 77", CardFamily::OtherStorage, AirProtocol::Iso15693,
         "I-CODE SLI", 0},
        // A DESFire EV1 (ATS historical byte 80) and a TYPE B card.
        {"3B 81 80 01 80 80", CardFamily::Iso14443Part4, AirProtocol::Unknown, "ISO 14443-4", 0},
        {"3B 88 80 01 00 00 00 00 00 81 71 00 79", CardFamily::Iso14443Part4, AirProtocol::Unknown, "ISO 14443-4", 0},
        // Contact cards: T=1 with TA3/TB3, and an SLE4442's synchronous answer.
        {"3B 88 81 31 FE 45 54 37 56 43 41 52 44 31 93", CardFamily::Contact, AirProtocol::None, "contact card", 0},
        {"A2 13 10 91", CardFamily::Contact, AirProtocol::None, "contact card", 0},
        {"", CardFamily::Unknown, AirProtocol::None, "", 0},
    };
    for (const AtrCase &c : cases) {
        const CardInfo info = describeAtr(bytes(c.atr));
        EXPECT_EQ(info.family, c.family) << c.atr;
        EXPECT_EQ(info.protocol, c.protocol) << c.atr;
        EXPECT_EQ(info.name, c.name) << c.atr;
        EXPECT_EQ(info.sectors, c.sectors) << c.atr;
    }
}

TEST(Atrs, HistoricalBytesFollowTheInterfaceBytes)
{
    EXPECT_EQ(hex(historicalBytes(bytes("3B 88 81 31 FE 45 54 37 56 43 41 52 44 31 93"))), "54 37 56 43 41 52 44 31");
    EXPECT_EQ(hex(historicalBytes(bytes("3B 02 14 50"))), "14 50");
    // Cut short inside the interface bytes or the historical bytes: none.
    EXPECT_TRUE(historicalBytes(bytes("3B 88 81 31")).empty());
    EXPECT_TRUE(historicalBytes(bytes("3B 8F 80 01 80 4F")).empty());
    EXPECT_TRUE(historicalBytes(bytes("3B F0")).empty());
}

TEST(KeyModes, GiveKeyTypeAndSetOrAreRefused)
{
    struct Mode {
        unsigned char mode;
        bool valid;
        int set;
        bool keyB;
    };
    const Mode cases[] = {{0, true, 0, false},  {1, true, 1, false},    {2, true, 2, false}, {3, false, 0, false},
                          {4, true, 0, true},   {5, true, 1, true},     {6, true, 2, true},  {7, false, 0, false},
                          {8, false, 0, false}, {0x60, false, 0, false}};
    for (const Mode &c : cases) {
        const std::optional<KeyRef> ref = decodeKeyMode(c.mode);
        ASSERT_EQ(ref.has_value(), c.valid) << int(c.mode);
        if (ref) {
            EXPECT_EQ(ref->set, c.set) << int(c.mode);
            EXPECT_EQ(ref->keyB, c.keyB) << int(c.mode);
        }
    }
    EXPECT_EQ(volatileSlot(false), 0x00);
    EXPECT_EQ(volatileSlot(true), 0x01);
}

TEST(KeyStore, ARowServesItsSectorAndTheSectorsSixteenAndThirtyTwoOn)
{
    KeyStore store;
    const Key transport = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const Key mine = {1, 2, 3, 4, 5, 6};
    store.set(KeyRef{1, true}, 7, mine);
    for (int sector : {7, 23, 39})
        EXPECT_EQ(store.forSector(KeyRef{1, true}, sector), mine) << sector;
    // Other sets, the other key type and other rows keep the transport key.
    EXPECT_EQ(store.forSector(KeyRef{1, false}, 7), transport);
    EXPECT_EQ(store.forSector(KeyRef{0, true}, 7), transport);
    EXPECT_EQ(store.forSector(KeyRef{1, true}, 8), transport);
}

TEST(MifareLayout, SectorsTrailersAndValueBlocks)
{
    EXPECT_EQ(mifare::sectorOfBlock(63), 15);
    EXPECT_EQ(mifare::sectorOfBlock(128), 32);
    EXPECT_EQ(mifare::sectorOfBlock(255), 39);
    EXPECT_EQ(mifare::firstBlockOfSector(33), 144);
    EXPECT_TRUE(mifare::isTrailer(143));
    EXPECT_FALSE(mifare::isTrailer(131));
    EXPECT_TRUE(mifare::isTrailer(7));

    const Bytes value = mifare::encodeValue(-2, 5);
    EXPECT_EQ(hex(value), "FE FF FF FF 01 00 00 00 FE FF FF FF 05 FA 05 FA");
    const auto decoded = mifare::decodeValue(value.data());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->value, -2);
    EXPECT_EQ(decoded->address, 5);
    Bytes broken = value;
    broken[13] = 0xFB; // inverted address copy disagrees
    EXPECT_FALSE(mifare::decodeValue(broken.data()));
    EXPECT_FALSE(mifare::decodeValue(Bytes(16, 0).data()));
}

} // namespace
