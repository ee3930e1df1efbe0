#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <string>

namespace
{

using simtest::qvd;

constexpr unsigned char kAddressed = 0x22;

class Iso15693Tag : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bench.run("place usb1 iso15693 iso15693 --uid E004010012345678");
        h = qvd().rz_init(100, 0);
        ASSERT_GT(h, 0);
        ASSERT_EQ(qvd().rz_config_card(h, '1'), 0);
    }
    int inventory()
    {
        unsigned char reply[256];
        unsigned char found[8];
        return qvd().rz_inventory(h, 0x36, 0, 0, reply, found);
    }
    int write(int block, unsigned char fill)
    {
        unsigned char data[4] = {fill, fill, fill, fill};
        return qvd().rz_writeblock(h, kAddressed, static_cast<unsigned char>(block), 1, uid, 4, data);
    }

    sim::SimBench bench;
    int h = 0;
    unsigned char uid[8] = {0xE0, 0x04, 0x01, 0x00, 0x12, 0x34, 0x56, 0x78};
};

TEST_F(Iso15693Tag, SystemInformationGivesDsfidAfiAndBlockCountAtBytesTenToTwelve)
{
    ASSERT_EQ(qvd().rz_write_afi(h, kAddressed, 0x07, uid), 0);
    ASSERT_EQ(qvd().rz_write_dsfid(h, kAddressed, 0x3C, uid), 0);
    unsigned char length = 0;
    unsigned char reply[256] = {};
    ASSERT_EQ(qvd().rz_get_systeminfo(h, kAddressed, uid, &length, reply), 0);
    EXPECT_EQ(length, 15);
    EXPECT_EQ(reply[2], 0x78); // UID, least significant byte first
    EXPECT_EQ(reply[9], 0xE0);
    EXPECT_EQ(reply[10], 0x3C);
    EXPECT_EQ(reply[11], 0x07);
    EXPECT_EQ(reply[12], 27); // 28 blocks, as the tag counts them
    EXPECT_EQ(reply[13], 3);  // of 4 bytes

    unsigned char other[8] = {0xE0, 0x04, 0x01, 0x00, 0x12, 0x34, 0x56, 0x79};
    EXPECT_EQ(qvd().rz_get_systeminfo(h, kAddressed, other, &length, reply), 1);
    ASSERT_EQ(qvd().rz_config_card(h, 'A'), 0);
    EXPECT_EQ(qvd().rz_get_systeminfo(h, kAddressed, uid, &length, reply), 1);
}

TEST_F(Iso15693Tag, ALockedBlockRefusesWritesForEverAndShowsInTheSecurityStatus)
{
    ASSERT_EQ(write(17, 0xAB), 0);
    ASSERT_EQ(qvd().rz_lock_block(h, kAddressed, 17, uid), 0);
    EXPECT_EQ(write(17, 0xCD), 3);
    EXPECT_EQ(qvd().rz_lock_block(h, kAddressed, 17, uid), 3);
    EXPECT_EQ(write(28, 0xCD), 4);
    qvd().rz_reset(h, 10);
    EXPECT_EQ(write(17, 0xCD), 3);
    EXPECT_EQ(write(16, 0xCD), 0);

    unsigned char length = 0;
    unsigned char data[256] = {};
    ASSERT_EQ(qvd().rz_readblock(h, kAddressed, 17, 1, uid, &length, data), 0);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(data[0], 0xAB);
    unsigned char status[256] = {};
    ASSERT_EQ(qvd().rz_get_securityinfo(h, kAddressed, 10, 10, uid, &length, status), 0);
    ASSERT_EQ(length, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(status[i], i == 7 ? 1 : 0) << i;
    EXPECT_NE(bench.run("show").find("locked blocks: 17"), std::string::npos);
}

TEST_F(Iso15693Tag, LockedAfiAndDsfidKeepTheirValues)
{
    ASSERT_EQ(qvd().rz_write_afi(h, kAddressed, 0x01, uid), 0);
    ASSERT_EQ(qvd().rz_lock_afi(h, kAddressed, 0x99, uid), 0);
    EXPECT_EQ(qvd().rz_write_afi(h, kAddressed, 0x02, uid), 3);
    EXPECT_EQ(qvd().rz_lock_afi(h, kAddressed, 0x01, uid), 3);
    EXPECT_EQ(qvd().rz_write_dsfid(h, kAddressed, 0x05, uid), 0);
    ASSERT_EQ(qvd().rz_lock_dsfid(h, kAddressed, 0x05, uid), 0);
    EXPECT_EQ(qvd().rz_write_dsfid(h, kAddressed, 0x06, uid), 3);
    EXPECT_NE(bench.run("show").find("AFI 01 (locked), DSFID 05 (locked)"), std::string::npos);
}

TEST_F(Iso15693Tag, AQuietTagIgnoresInventoryUntilResetToReadyOrTheFieldResets)
{
    ASSERT_EQ(qvd().rz_stay_quiet(h, kAddressed, uid), 0);
    EXPECT_EQ(inventory(), 1);
    EXPECT_EQ(write(3, 1), 0); // addressed requests still reach it
    ASSERT_EQ(qvd().rz_reset_to_ready(h, kAddressed, uid), 0);
    EXPECT_EQ(inventory(), 0);

    ASSERT_EQ(qvd().rz_stay_quiet(h, kAddressed, uid), 0);
    qvd().rz_reset(h, 10);
    EXPECT_EQ(inventory(), 0);

    unsigned char length = 0;
    unsigned char data[256];
    EXPECT_EQ(qvd().rz_readblock(h, 0x12, 3, 1, uid, &length, data), 1); // select flag, not selected
    ASSERT_EQ(qvd().rz_select_uid(h, kAddressed, uid), 0);
    EXPECT_EQ(qvd().rz_readblock(h, 0x12, 3, 1, uid, &length, data), 0);
}

} // namespace
