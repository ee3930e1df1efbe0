#include "sim/core/MifareClassic.h"
#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <array>
#include <climits>
#include <cstring>
#include <string>

namespace
{

using simtest::qvd;
using Key = std::array<unsigned char, 6>;
using Bytes16 = std::array<unsigned char, 16>;

const Key kTransport = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const Key kKeyA = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
const Key kKeyB = {0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
constexpr unsigned char kModeA = 0; // key A, set 0
constexpr unsigned char kModeB = 4; // key B, set 0

class MifareClassic : public ::testing::Test
{
protected:
    sim::SimBench bench;
    int h = 0;

    void SetUp() override
    {
        h = qvd().rz_init(100, 0); // usb1 with an S50
        ASSERT_GT(h, 0);
    }

    int loadKey(unsigned char mode, unsigned char row, Key key) { return qvd().rz_load_key(h, mode, row, key.data()); }
    int find()
    {
        unsigned serial = 0;
        return qvd().rz_card(h, 1, &serial);
    }
    // Finds the card and authenticates the sector with this key.
    int open(unsigned char sector, unsigned char mode, const Key &key)
    {
        EXPECT_EQ(loadKey(mode, sector % 16, key), 0);
        EXPECT_EQ(find(), 0);
        return qvd().rz_authentication(h, mode, sector);
    }
    int read(unsigned char block, Bytes16 *out)
    {
        out->fill(0xEE);
        return qvd().rz_read(h, block, out->data());
    }
    int write(unsigned char block, Bytes16 data) { return qvd().rz_write(h, block, data.data()); }
    // Rewrites a sector trailer from the factory state.
    void configure(unsigned char sector, const std::array<int, 4> &groups, const Key &keyA = kKeyA,
                   const Key &keyB = kKeyB)
    {
        ASSERT_EQ(open(sector, kModeA, kTransport), 0);
        const auto access = sim::mifare::encodeAccessBytes(groups);
        unsigned char control[4] = {access[0], access[1], access[2], 0x69};
        Key a = keyA;
        Key b = keyB;
        ASSERT_EQ(qvd().rz_changeb3(h, sector, a.data(), control, 0, b.data()), 0);
    }
};

Bytes16 pattern(unsigned char seed)
{
    Bytes16 b;
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<unsigned char>(seed + i);
    return b;
}

TEST_F(MifareClassic, AuthenticationWithTheTransportKeyA)
{
    EXPECT_EQ(open(1, kModeA, kTransport), 0);
    Bytes16 data;
    EXPECT_EQ(read(4, &data), 0);
    EXPECT_EQ(data, Bytes16{});
}

TEST_F(MifareClassic, WrongKeyFailsAndLeavesTheCardUnselected)
{
    EXPECT_NE(open(1, kModeA, kKeyA), 0);
    // The right key no longer helps until the card is found again.
    ASSERT_EQ(loadKey(kModeA, 1, kTransport), 0);
    EXPECT_NE(qvd().rz_authentication(h, kModeA, 1), 0);
    Bytes16 data;
    EXPECT_NE(read(4, &data), 0);
    ASSERT_EQ(find(), 0);
    EXPECT_EQ(qvd().rz_authentication(h, kModeA, 1), 0);
}

TEST_F(MifareClassic, ReadNeedsTheBlocksSectorAuthenticated)
{
    Bytes16 data;
    ASSERT_EQ(find(), 0);
    EXPECT_NE(read(4, &data), 0);
    ASSERT_EQ(open(1, kModeA, kTransport), 0);
    EXPECT_EQ(read(7, &data), 0);
    EXPECT_NE(read(8, &data), 0);
    EXPECT_NE(read(3, &data), 0);
}

TEST_F(MifareClassic, RightAndWrongKeyB)
{
    configure(2, {0, 0, 0, 3}); // trailer 011: key B is secret and usable
    EXPECT_EQ(open(2, kModeB, kKeyB), 0);
    EXPECT_NE(open(2, kModeB, kKeyA), 0);
    EXPECT_NE(open(2, kModeA, kTransport), 0);
    EXPECT_EQ(open(2, kModeA, kKeyA), 0);
}

TEST_F(MifareClassic, KeySetsAndKeyRowsAreSeparate)
{
    ASSERT_EQ(loadKey(0, 1, kKeyA), 0);
    ASSERT_EQ(loadKey(1, 1, kTransport), 0); // key A, second set
    ASSERT_EQ(find(), 0);
    EXPECT_EQ(qvd().rz_authentication(h, 1, 1), 0);
    ASSERT_EQ(find(), 0);
    EXPECT_NE(qvd().rz_authentication(h, 0, 1), 0);
    EXPECT_NE(loadKey(3, 0, kKeyA), 0); // no key mode 3
    EXPECT_NE(loadKey(7, 0, kKeyA), 0);
    EXPECT_NE(loadKey(0, 16, kKeyA), 0);
}

TEST_F(MifareClassic, TransportConfiguration)
{
    ASSERT_EQ(open(1, kModeA, kTransport), 0);
    EXPECT_EQ(write(5, pattern(1)), 0);
    Bytes16 data;
    ASSERT_EQ(read(5, &data), 0);
    EXPECT_EQ(data, pattern(1));
    // Trailer: key A hidden, access bytes and (readable) key B shown.
    ASSERT_EQ(read(7, &data), 0);
    const Bytes16 trailer = {0, 0, 0, 0, 0, 0, 0xFF, 0x07, 0x80, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(data, trailer);
    // Key B is readable here, so after key B authentication every access is refused.
    ASSERT_EQ(open(1, kModeB, kTransport), 0);
    EXPECT_NE(read(5, &data), 0);
    EXPECT_NE(write(5, pattern(2)), 0);
}

TEST_F(MifareClassic, KeyAAlwaysReadsAsZeros)
{
    for (const int trailerBits : {0, 1, 3, 4, 7}) {
        SCOPED_TRACE(trailerBits);
        sim::SimBench fresh;
        h = qvd().rz_init(100, 0);
        configure(1, {0, 0, 0, trailerBits});
        const bool keyBReadable = trailerBits <= 2;
        const Key &key = keyBReadable ? kKeyA : kKeyB;
        ASSERT_EQ(open(1, keyBReadable ? kModeA : kModeB, key), 0);
        Bytes16 data;
        ASSERT_EQ(read(7, &data), 0);
        EXPECT_EQ(data[0] | data[1] | data[2] | data[3] | data[4] | data[5], 0);
    }
}

TEST_F(MifareClassic, KeyBReadsAsDataOnlyWhenTheAccessBitsSaySo)
{
    struct Case {
        int trailerBits;
        bool keyBShown;
    };
    for (const Case c : {Case{0, true}, Case{1, true}, Case{2, true}, Case{3, false}, Case{4, false}}) {
        SCOPED_TRACE(c.trailerBits);
        sim::SimBench fresh;
        h = qvd().rz_init(100, 0);
        configure(1, {0, 0, 0, c.trailerBits});
        ASSERT_EQ(open(1, kModeA, kKeyA), 0);
        Bytes16 data;
        ASSERT_EQ(read(7, &data), 0);
        const Bytes16 expectedKeyB = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
        EXPECT_EQ(std::memcmp(data.data() + 10, expectedKeyB.data() + 10, 6) == 0, c.keyBShown);
        if (!c.keyBShown) {
            EXPECT_EQ(data[10] | data[11] | data[15], 0);
        }
        const auto access = sim::mifare::encodeAccessBytes({0, 0, 0, c.trailerBits});
        EXPECT_EQ(data[6], access[0]);
        EXPECT_EQ(data[7], access[1]);
        EXPECT_EQ(data[8], access[2]);
        EXPECT_EQ(data[9], 0x69);
    }
}

// Data block access conditions, for both keys. Trailer 011 keeps key B
// secret so that it can be used.
TEST_F(MifareClassic, DataBlockAccessConditions)
{
    struct Expect {
        bool read, write, increment, decrement;
    };
    struct Row {
        int bits;
        Expect keyA, keyB;
    };
    const Row rows[] = {
        {0, {true, true, true, true}, {true, true, true, true}},
        {2, {true, false, false, false}, {true, false, false, false}},
        {4, {true, false, false, false}, {true, true, false, false}},
        {6, {true, false, false, true}, {true, true, true, true}},
        {1, {true, false, false, true}, {true, false, false, true}},
        {3, {false, false, false, false}, {true, true, false, false}},
        {5, {false, false, false, false}, {true, false, false, false}},
        {7, {false, false, false, false}, {false, false, false, false}},
    };
    for (const Row &row : rows) {
        for (const bool useKeyB : {false, true}) {
            SCOPED_TRACE("C1C2C3=" + std::to_string(row.bits) + (useKeyB ? " key B" : " key A"));
            sim::SimBench fresh;
            h = qvd().rz_init(100, 0);
            ASSERT_EQ(open(1, kModeA, kTransport), 0);
            ASSERT_EQ(qvd().rz_initval(h, 6, 1000), 0);
            configure(1, {row.bits, row.bits, row.bits, 3});
            ASSERT_EQ(open(1, useKeyB ? kModeB : kModeA, useKeyB ? kKeyB : kKeyA), 0);
            const Expect &e = useKeyB ? row.keyB : row.keyA;
            Bytes16 data;
            EXPECT_EQ(read(4, &data) == 0, e.read);
            EXPECT_EQ(write(5, pattern(9)) == 0, e.write);
            EXPECT_EQ(qvd().rz_initval(h, 5, 7) == 0, e.write);
            EXPECT_EQ(qvd().rz_increment(h, 6, 1) == 0, e.increment);
            EXPECT_EQ(qvd().rz_decrement(h, 6, 1) == 0, e.decrement);
            EXPECT_EQ(qvd().rz_restore(h, 6) == 0, e.decrement);
            EXPECT_EQ(qvd().rz_transfer(h, 6) == 0, e.decrement);
        }
    }
}

TEST_F(MifareClassic, ReadOnlyConfiguration)
{
    ASSERT_EQ(open(1, kModeA, kTransport), 0);
    ASSERT_EQ(write(4, pattern(3)), 0);
    configure(1, {2, 2, 2, 6}); // data read-only, trailer frozen
    ASSERT_EQ(open(1, kModeA, kKeyA), 0);
    Bytes16 data;
    ASSERT_EQ(read(4, &data), 0);
    EXPECT_EQ(data, pattern(3));
    EXPECT_NE(write(4, pattern(4)), 0);
    EXPECT_NE(write(7, pattern(4)), 0);
    Key a = kTransport;
    unsigned char control[4] = {0xFF, 0x07, 0x80, 0x69};
    EXPECT_NE(qvd().rz_changeb3(h, 1, a.data(), control, 0, a.data()), 0);
    ASSERT_EQ(open(1, kModeB, kKeyB), 0);
    EXPECT_NE(write(4, pattern(4)), 0);
    ASSERT_EQ(open(1, kModeA, kKeyA), 0);
    ASSERT_EQ(read(4, &data), 0);
    EXPECT_EQ(data, pattern(3));
}

TEST_F(MifareClassic, TrailerWritesFollowTheTrailerAccessBits)
{
    // 011: key A and key B written with key B only, access bits too.
    configure(1, {0, 0, 0, 3});
    ASSERT_EQ(open(1, kModeA, kKeyA), 0);
    Key other = {1, 2, 3, 4, 5, 6};
    const auto transport = sim::mifare::encodeAccessBytes({0, 0, 0, 1});
    unsigned char control[4] = {transport[0], transport[1], transport[2], 0x69};
    EXPECT_NE(qvd().rz_changeb3(h, 1, other.data(), control, 0, other.data()), 0);
    ASSERT_EQ(open(1, kModeB, kKeyB), 0);
    ASSERT_EQ(qvd().rz_changeb3(h, 1, other.data(), control, 0, other.data()), 0);
    EXPECT_EQ(open(1, kModeA, other), 0);
    EXPECT_NE(open(1, kModeA, kKeyA), 0);
}

TEST_F(MifareClassic, ManufacturerBlockIsReadOnly)
{
    ASSERT_EQ(open(0, kModeA, kTransport), 0);
    Bytes16 data;
    ASSERT_EQ(read(0, &data), 0);
    EXPECT_EQ(data[0], 0x5A);
    EXPECT_EQ(data[3], 0x0E);
    EXPECT_EQ(data[4], 0x5A ^ 0x3C ^ 0x91 ^ 0x0E); // BCC
    EXPECT_NE(write(0, pattern(5)), 0);
    EXPECT_NE(qvd().rz_initval(h, 0, 5), 0);
    Bytes16 again;
    ASSERT_EQ(read(0, &again), 0);
    EXPECT_EQ(again, data);
}

TEST_F(MifareClassic, ValueBlockOperations)
{
    ASSERT_EQ(open(1, kModeA, kTransport), 0);
    ASSERT_EQ(qvd().rz_initval(h, 5, 100), 0);
    Bytes16 raw;
    ASSERT_EQ(read(5, &raw), 0);
    const Bytes16 format = {0x64, 0, 0, 0, 0x9B, 0xFF, 0xFF, 0xFF, 0x64, 0, 0, 0, 0x05, 0xFA, 0x05, 0xFA};
    EXPECT_EQ(raw, format);
    int value = 0;
    ASSERT_EQ(qvd().rz_readval(h, 5, &value), 0);
    EXPECT_EQ(value, 100);

    ASSERT_EQ(qvd().rz_increment(h, 5, 5), 0);
    ASSERT_EQ(qvd().rz_readval(h, 5, &value), 0);
    EXPECT_EQ(value, 100); // not stored before the transfer
    ASSERT_EQ(qvd().rz_transfer(h, 5), 0);
    ASSERT_EQ(qvd().rz_readval(h, 5, &value), 0);
    EXPECT_EQ(value, 105);

    ASSERT_EQ(qvd().rz_decrement(h, 5, 3), 0);
    ASSERT_EQ(qvd().rz_transfer(h, 6), 0); // into another block of the sector
    ASSERT_EQ(qvd().rz_readval(h, 6, &value), 0);
    EXPECT_EQ(value, 102);
    ASSERT_EQ(qvd().rz_readval(h, 5, &value), 0);
    EXPECT_EQ(value, 105);

    ASSERT_EQ(qvd().rz_restore(h, 5), 0);
    ASSERT_EQ(qvd().rz_transfer(h, 4), 0); // a copy of block 5
    ASSERT_EQ(qvd().rz_readval(h, 4, &value), 0);
    EXPECT_EQ(value, 105);

    EXPECT_NE(qvd().rz_transfer(h, 4), 0); // nothing left to transfer
}

TEST_F(MifareClassic, NegativeValuesKeepTheirFormat)
{
    ASSERT_EQ(open(1, kModeA, kTransport), 0);
    ASSERT_EQ(qvd().rz_initval(h, 4, -20), 0);
    ASSERT_EQ(qvd().rz_increment(h, 4, 5), 0);
    ASSERT_EQ(qvd().rz_transfer(h, 4), 0);
    int value = 0;
    ASSERT_EQ(qvd().rz_readval(h, 4, &value), 0);
    EXPECT_EQ(value, -15);
}

TEST_F(MifareClassic, NonValueBlocksAreRefused)
{
    ASSERT_EQ(open(1, kModeA, kTransport), 0);
    int value = 42;
    EXPECT_NE(qvd().rz_readval(h, 4, &value), 0); // all zero: not a value block
    EXPECT_EQ(value, 42);
    EXPECT_NE(qvd().rz_increment(h, 4, 1), 0);
    EXPECT_NE(qvd().rz_decrement(h, 4, 1), 0);
    EXPECT_NE(qvd().rz_restore(h, 4), 0);
    // A valid block with one inverted copy broken.
    ASSERT_EQ(qvd().rz_initval(h, 5, 100), 0);
    Bytes16 raw;
    ASSERT_EQ(read(5, &raw), 0);
    raw[5] ^= 0x01;
    ASSERT_EQ(write(5, raw), 0);
    EXPECT_NE(qvd().rz_readval(h, 5, &value), 0);
    // The trailer is never a value block.
    EXPECT_NE(qvd().rz_initval(h, 7, 1), 0);
    EXPECT_NE(qvd().rz_readval(h, 7, &value), 0);
}

TEST_F(MifareClassic, OverflowAndUnderflowAreRefused)
{
    ASSERT_EQ(open(1, kModeA, kTransport), 0);
    ASSERT_EQ(qvd().rz_initval(h, 4, INT_MAX - 1), 0);
    EXPECT_NE(qvd().rz_increment(h, 4, 2), 0);
    EXPECT_NE(qvd().rz_transfer(h, 4), 0);
    ASSERT_EQ(qvd().rz_increment(h, 4, 1), 0);
    ASSERT_EQ(qvd().rz_transfer(h, 4), 0);
    int value = 0;
    ASSERT_EQ(qvd().rz_readval(h, 4, &value), 0);
    EXPECT_EQ(value, INT_MAX);

    ASSERT_EQ(qvd().rz_initval(h, 5, INT_MIN + 1), 0);
    EXPECT_NE(qvd().rz_decrement(h, 5, 2), 0);
    ASSERT_EQ(qvd().rz_decrement(h, 5, 1), 0);
    ASSERT_EQ(qvd().rz_transfer(h, 5), 0);
    ASSERT_EQ(qvd().rz_readval(h, 5, &value), 0);
    EXPECT_EQ(value, INT_MIN);
    EXPECT_NE(qvd().rz_increment(h, 5, -1), 0); // amounts are not negative
}

TEST_F(MifareClassic, InvalidControlWordBricksTheSector)
{
    ASSERT_EQ(open(3, kModeA, kTransport), 0);
    unsigned char control[4] = {0xFF, 0x07, 0x81, 0x69}; // C2 copy disagrees
    Key a = kTransport;
    ASSERT_EQ(qvd().rz_changeb3(h, 3, a.data(), control, 0, a.data()), 0);
    Bytes16 data;
    EXPECT_NE(read(12, &data), 0);
    EXPECT_NE(open(3, kModeA, kTransport), 0);
    EXPECT_NE(open(3, kModeB, kTransport), 0);
    // For good: also for another process and after the card was found again.
    ASSERT_EQ(qvd().rz_exit(h), 0);
    h = qvd().rz_init(100, 0);
    EXPECT_NE(open(3, kModeA, kTransport), 0);
    EXPECT_NE(bench.run("dump usb1 typea").find("015: FFFFFFFFFFFFFF078169FFFFFFFFFFFF"), std::string::npos);
    // Other sectors are fine.
    EXPECT_EQ(open(2, kModeA, kTransport), 0);
}

TEST_F(MifareClassic, S70LargeSectorsNumberTheirBlocks)
{
    const int usb2 = qvd().rz_init(100, 0); // the S70
    h = usb2;
    ASSERT_EQ(open(32, kModeA, kTransport), 0);
    Bytes16 data;
    EXPECT_EQ(qvd().rz_read_S70(h, 128, data.data()), 0);
    EXPECT_EQ(qvd().rz_read_S70(h, 142, data.data()), 0);
    EXPECT_NE(qvd().rz_read_S70(h, 144, data.data()), 0);
    EXPECT_NE(qvd().rz_read_S70(h, 127, data.data()), 0);
    ASSERT_EQ(qvd().rz_read_S70(h, 143, data.data()), 0); // trailer of sector 32
    EXPECT_EQ(data[6], 0xFF);
    EXPECT_EQ(data[7], 0x07);
    ASSERT_EQ(qvd().rz_write_S70(h, 140, pattern(7).data()), 0);

    ASSERT_EQ(open(39, kModeA, kTransport), 0);
    EXPECT_EQ(qvd().rz_read_S70(h, 240, data.data()), 0);
    ASSERT_EQ(qvd().rz_read_S70(h, 255, data.data()), 0);
    EXPECT_EQ(data[9], 0x69);
    EXPECT_NE(qvd().rz_read_S70(h, 239, data.data()), 0);
    // rz_read reaches the large sectors of an S70 too.
    EXPECT_EQ(qvd().rz_read(h, 250, data.data()), 0);

    const std::string dump = bench.run("dump usb2 typea");
    EXPECT_NE(dump.find("140: " + std::string("0708090A0B0C0D0E0F10111213141516")), std::string::npos);
}

TEST_F(MifareClassic, S70AccessGroupsCoverFiveBlocksEach)
{
    h = qvd().rz_init(100, 0);
    configure(33, {2, 0, 0, 1}); // group 0 (blocks 144-148) read-only
    ASSERT_EQ(open(33, kModeA, kKeyA), 0);
    EXPECT_NE(qvd().rz_write_S70(h, 144, pattern(1).data()), 0);
    EXPECT_NE(qvd().rz_write_S70(h, 148, pattern(1).data()), 0);
    EXPECT_EQ(qvd().rz_write_S70(h, 149, pattern(1).data()), 0);
    EXPECT_EQ(qvd().rz_write_S70(h, 158, pattern(1).data()), 0);
}

TEST_F(MifareClassic, KeyRowServesSectorsSixteenApart)
{
    h = qvd().rz_init(100, 0); // S70
    configure(17, {0, 0, 0, 1}, kKeyA);
    configure(33, {0, 0, 0, 1}, kKeyA);
    ASSERT_EQ(loadKey(kModeA, 1, kKeyA), 0);
    for (const unsigned char sector : {17, 33}) {
        ASSERT_EQ(find(), 0);
        EXPECT_EQ(qvd().rz_authentication(h, kModeA, sector), 0) << int(sector);
    }
    ASSERT_EQ(find(), 0);
    EXPECT_NE(qvd().rz_authentication(h, kModeA, 1), 0); // sector 1 keeps FF..FF
    ASSERT_EQ(find(), 0);
    EXPECT_NE(qvd().rz_authentication(h, kModeA, 40), 0); // no sector 40
}

TEST_F(MifareClassic, S50HasNoBlocksAbove63)
{
    ASSERT_EQ(find(), 0);
    EXPECT_NE(qvd().rz_authentication(h, kModeA, 16), 0);
    ASSERT_EQ(open(15, kModeA, kTransport), 0);
    Bytes16 data;
    EXPECT_NE(qvd().rz_read_S70(h, 64, data.data()), 0);
    EXPECT_EQ(qvd().rz_read_S70(h, 63, data.data()), 0);
}

TEST_F(MifareClassic, WrittenBlocksPersistAcrossReloadAndProcesses)
{
    ASSERT_EQ(open(2, kModeA, kTransport), 0);
    ASSERT_EQ(write(9, pattern(0x40)), 0);
    EXPECT_NE(bench.run("dump usb1 typea").find("009: 404142434445464748494A4B4C4D4E4F"), std::string::npos);
    // Another process changes an unrelated card; the written block survives the re-read.
    bench.run("place usb2 typea s50");
    ASSERT_EQ(qvd().rz_exit(h), 0);
    h = qvd().rz_init(100, 0);
    ASSERT_EQ(open(2, kModeA, kTransport), 0);
    Bytes16 data;
    ASSERT_EQ(read(9, &data), 0);
    EXPECT_EQ(data, pattern(0x40));
}

TEST_F(MifareClassic, LoadedKeysPersist)
{
    ASSERT_EQ(loadKey(kModeB, 5, kKeyB), 0);
    EXPECT_NE(bench.run("show").find("usb1"), std::string::npos);
    std::string file;
    {
        FILE *f = std::fopen(bench.benchFile().c_str(), "r");
        ASSERT_NE(f, nullptr);
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            file.append(buf, n);
        std::fclose(f);
    }
    EXPECT_NE(file.find("\"B0B1B2B3B4B5\""), std::string::npos);
}

} // namespace
