#include "sim/core/MifarePlus.h"
#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <array>
#include <string>

namespace
{

using simtest::qvd;
using Key = std::array<unsigned char, 16>;

Key key(unsigned char fill)
{
    Key k;
    k.fill(fill);
    return k;
}

// Each level key its own value, so a wrong one is always caught.
constexpr unsigned short kLevelKeys[] = {0x9000, 0x9001, 0x9002, 0x9003, 0x9004};
unsigned char levelKeyFill(unsigned short address)
{
    return static_cast<unsigned char>(0x10 + (address & 0x0F));
}

class MifarePlus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bench.run("place usb1 typea mfplus2k --uid 04A1B2C3");
        h = qvd().rz_init(100, 0);
        ASSERT_GT(h, 0);
    }
    // What the tool does before each card-level command.
    int activate()
    {
        unsigned serial = 0;
        unsigned char length = 0;
        unsigned char ats[256] = {};
        qvd().rz_reset(h, 10);
        if (const int rc = qvd().rz_card(h, 1, &serial))
            return rc;
        return qvd().rz_pro_reset(h, &length, ats);
    }
    int writePerso(unsigned short address, Key value) { return qvd().rz_MFPlusL0_WritePerso(h, value.data(), address); }
    // Level 0 to 3, sector 1 key A = 0x41.
    void toLevel3()
    {
        ASSERT_EQ(activate(), 0);
        for (const unsigned short address : kLevelKeys)
            ASSERT_EQ(writePerso(address, key(levelKeyFill(address))), 0);
        ASSERT_EQ(writePerso(0x4002, key(0x41)), 0);
        ASSERT_EQ(qvd().rz_MFPlusL0_CommitPerso(h), 0);
        ASSERT_EQ(activate(), 0);
        Key switchKey = key(levelKeyFill(0x9003));
        ASSERT_EQ(qvd().rz_MFPlusL1_SwitchToL3(h, switchKey.data()), 0);
        ASSERT_EQ(activate(), 0);
    }
    bool showsLevel(int level)
    {
        return bench.run("show").find("security level " + std::to_string(level)) != std::string::npos;
    }

    sim::SimBench bench;
    int h = 0;
};

TEST_F(MifarePlus, CommitIsRefusedUntilEveryMandatoryKeyIsWritten)
{
    for (const unsigned short left : kLevelKeys) {
        bench.run("place usb1 typea mfplus4k");
        ASSERT_EQ(activate(), 0);
        for (const unsigned short address : kLevelKeys) {
            if (address == left)
                continue;
            ASSERT_EQ(writePerso(address, key(1)), 0);
        }
        EXPECT_EQ(qvd().rz_MFPlusL0_CommitPerso(h), 3) << std::hex << left;
        EXPECT_TRUE(showsLevel(0));
    }
    ASSERT_EQ(writePerso(0x9004, key(1)), 0); // the one the last round left out
    EXPECT_EQ(writePerso(0x1234, key(1)), 4); // no perso address
    EXPECT_EQ(writePerso(0x0000, key(1)), 3); // manufacturer block
    ASSERT_EQ(qvd().rz_MFPlusL0_CommitPerso(h), 0);
    EXPECT_TRUE(showsLevel(1));
    ASSERT_EQ(activate(), 0);
    EXPECT_EQ(writePerso(0x4000, key(1)), 7); // level 0 only
}

TEST_F(MifarePlus, LevelsAnswerWithTheirSakAndSwitchOnlyWithTheirKeys)
{
    auto sak = [this] {
        int tag = 0;
        unsigned serial = 0;
        unsigned char value = 0;
        qvd().rz_reset(h, 10);
        qvd().rz_request(h, 1, &tag);
        qvd().rz_anticoll(h, 0, &serial);
        qvd().rz_select(h, serial, &value);
        return int(value);
    };
    EXPECT_EQ(sak(), 0x20);
    ASSERT_EQ(activate(), 0);
    for (const unsigned short address : kLevelKeys)
        ASSERT_EQ(writePerso(address, key(levelKeyFill(address))), 0);
    ASSERT_EQ(qvd().rz_MFPlusL0_CommitPerso(h), 0);
    EXPECT_EQ(sak(), 0x08);

    Key wrong = key(0x77);
    Key l1 = key(levelKeyFill(0x9004));
    Key l2 = key(levelKeyFill(0x9002));
    Key l3 = key(levelKeyFill(0x9003));
    ASSERT_EQ(activate(), 0);
    EXPECT_EQ(qvd().rz_MFPlusL1_AuthenKeyL1(h, wrong.data()), 2);
    EXPECT_EQ(qvd().rz_MFPlusL1_AuthenKeyL1(h, l1.data()), 0);
    EXPECT_EQ(qvd().rz_MFPlusL1_SwitchToL3(h, l2.data()), 2);
    EXPECT_EQ(qvd().rz_MFPlusL2_SwitchToL3(h, l3.data()), 7);
    EXPECT_EQ(qvd().rz_MFPlusL1_SwitchToL2(h, l2.data()), 0);
    EXPECT_TRUE(showsLevel(2));
    EXPECT_EQ(sak(), 0x10);
    ASSERT_EQ(activate(), 0);
    EXPECT_EQ(qvd().rz_MFPlusL1_AuthenKeyL1(h, l1.data()), 7);
    EXPECT_EQ(qvd().rz_MFPlusL2_SwitchToL3(h, l2.data()), 2);
    EXPECT_EQ(qvd().rz_MFPlusL2_SwitchToL3(h, l3.data()), 0);
    EXPECT_TRUE(showsLevel(3));
    EXPECT_EQ(sak(), 0x20);
}

TEST_F(MifarePlus, LevelThreeDataNeedTheSectorsAuthentication)
{
    toLevel3();
    unsigned char data[256] = {};
    EXPECT_EQ(qvd().rz_MFPlusL3_ReadWithPlain(h, 4, 1, data), 2);
    Key wrong = key(0x42);
    Key right = key(0x41);
    EXPECT_EQ(qvd().rz_MFPlusL3_AuthenSectorKey(h, 1, 1, wrong.data()), 2);
    EXPECT_EQ(qvd().rz_MFPlusL3_AuthenSectorKey(h, 2, 1, right.data()), 2); // key B is another key
    ASSERT_EQ(qvd().rz_MFPlusL3_AuthenSectorKey(h, 1, 1, right.data()), 0);

    unsigned char written[48];
    for (int i = 0; i < 48; ++i)
        written[i] = static_cast<unsigned char>(i * 7);
    ASSERT_EQ(qvd().rz_MFPlusL3_WriteWithPlain(h, 4, 3, written), 0);
    ASSERT_EQ(qvd().rz_MFPlusL3_ReadWithPlain(h, 4, 3, data), 0);
    EXPECT_EQ(std::string(data, data + 48), std::string(written, written + 48));
    EXPECT_EQ(qvd().rz_MFPlusL3_ReadWithPlain(h, 8, 1, data), 2); // sector 2
    EXPECT_EQ(qvd().rz_MFPlusL3_ReadWithPlain(h, 6, 3, data), 4); // runs into sector 2

    int value = 0;
    EXPECT_EQ(qvd().rz_MFPlusL3_ReadVal(h, 4, &value), 5); // not a value block
    ASSERT_EQ(qvd().rz_MFPlusL3_InitVal(h, 5, 1000), 0);
    ASSERT_EQ(qvd().rz_MFPlusL3_Increment(h, 5, 10), 0);
    ASSERT_EQ(qvd().rz_MFPlusL3_Decrement(h, 5, 30), 0);
    ASSERT_EQ(qvd().rz_MFPlusL3_ReadVal(h, 5, &value), 0);
    EXPECT_EQ(value, 980);
    EXPECT_EQ(qvd().rz_MFPlusL3_InitVal(h, 7, 1), 5); // trailer

    ASSERT_EQ(activate(), 0); // a new activation forgets the authentication
    EXPECT_EQ(qvd().rz_MFPlusL3_ReadVal(h, 5, &value), 2);
}

TEST_F(MifarePlus, UpdatedKeysAreInForceAtTheNextAuthentication)
{
    toLevel3();
    Key oldKey = key(0x41);
    Key newKey = key(0x5A);
    EXPECT_EQ(qvd().rz_MFPlusL3_UpdateKey(h, 0x4002, newKey.data()), 2); // sector 1 not authenticated
    ASSERT_EQ(qvd().rz_MFPlusL3_AuthenL3Key(h, oldKey.data(), 0x4002), 0);
    EXPECT_EQ(qvd().rz_MFPlusL3_UpdateKey(h, 0x9000, newKey.data()), 2); // needs the card master key
    ASSERT_EQ(qvd().rz_MFPlusL3_UpdateKey(h, 0x4002, newKey.data()), 0);
    ASSERT_EQ(activate(), 0);
    EXPECT_EQ(qvd().rz_MFPlusL3_AuthenSectorKey(h, 1, 1, oldKey.data()), 2);
    EXPECT_EQ(qvd().rz_MFPlusL3_AuthenSectorKey(h, 1, 1, newKey.data()), 0);
}

TEST(MifarePlusAes, TheChallengeResponseSucceedsOnlyWithTheSameKey)
{
    const Key k = key(0x3C);
    Key other = k;
    other[15] ^= 1;
    EXPECT_TRUE(sim::mfplus::authenticate(k, k));
    EXPECT_FALSE(sim::mfplus::authenticate(k, other));
    EXPECT_FALSE(sim::mfplus::authenticate(other, k));
}

} // namespace
