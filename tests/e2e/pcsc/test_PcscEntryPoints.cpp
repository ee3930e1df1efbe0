// libqvd-pcsc.so's entry points through pcscd and vpcd: the readers it
// opens, a card that comes and goes, value transfers between blocks, and a
// contact card worked by plain APDUs.
#include "reader/qvd_api.h"
#include "tests/e2e/pcsc/VirtualCardInReader.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <string>

namespace
{

class PcscEntryPoints : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!pcsctest::fixturePort())
            GTEST_SKIP() << "no private pcscd (the fixture needs root; see pcsc_fixture.start)";
        ASSERT_NE(lib, nullptr) << ::dlerror();
    }
    void TearDown() override
    {
        if (lib)
            ::dlclose(lib);
    }
    template <typename Fn> Fn get(const char *name) { return reinterpret_cast<Fn>(::dlsym(lib, name)); }
#define ENTRY(name) get<PFN_##name>(#name)

    // rz_card, the second cascade level when there is one, authentication.
    void findAndAuthenticate(int h, unsigned char sector)
    {
        unsigned int serial = 0;
        ASSERT_EQ(ENTRY(rz_card)(h, 1, &serial), 0);
        unsigned int second = 0;
        if (ENTRY(rz_anticoll2)(h, 0, &second) == 0) {
            ASSERT_EQ(ENTRY(rz_select2)(h, second), 0);
        }
        ASSERT_EQ(ENTRY(rz_authentication)(h, 0, sector), 0);
    }
    int readValue(int h, unsigned char block)
    {
        int value = -1;
        EXPECT_EQ(ENTRY(rz_readval)(h, block, &value), 0) << int(block);
        return value;
    }

    void *lib = ::dlopen(pcsctest::pcscLibraryFile().c_str(), RTLD_NOW | RTLD_LOCAL);
};

TEST_F(PcscEntryPoints, OpensEachReaderOnceAndNamesItInTheVersion)
{
    EXPECT_EQ(ENTRY(rz_init)(0, 9600), -1) << "COM1 is no PC/SC reader";
    const int first = ENTRY(rz_init)(100, 0);
    const int second = ENTRY(rz_init)(100, 0);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    EXPECT_EQ(ENTRY(rz_init)(100, 0), -1) << "vpcd has two readers";
    char version[255] = {};
    ASSERT_EQ(ENTRY(rz_getver)(first, version), 0);
    EXPECT_STREQ(version, "QVD-PCSC Virtual PCD 00 00");
    ASSERT_EQ(ENTRY(rz_getver)(second, version), 0);
    EXPECT_STREQ(version, "QVD-PCSC Virtual PCD 00 01");
    EXPECT_EQ(ENTRY(rz_beep)(first, 10), 0) << "a live reader answers the beep";
    EXPECT_EQ(ENTRY(rz_lcd_dispclear)(first), 7);
    EXPECT_EQ(ENTRY(rz_exit)(first), 0);
    EXPECT_EQ(ENTRY(rz_exit)(first), 6);
    EXPECT_EQ(ENTRY(rz_init)(100, 0), first + 2) << "handles are never reused";
}

TEST_F(PcscEntryPoints, ASevenByteUidCardNeedsBothCascadeLevels)
{
    pcsctest::VirtualCardInReader card(0, "mifare1k", "04112233445566");
    ASSERT_TRUE(card.present());
    const int h = ENTRY(rz_init)(100, 0);
    int tagType = 0;
    ASSERT_EQ(ENTRY(rz_request)(h, 1, &tagType), 0);
    EXPECT_EQ(tagType, 0x0044);
    unsigned int serial = 0;
    ASSERT_EQ(ENTRY(rz_card)(h, 1, &serial), 0);
    EXPECT_EQ(serial, 0x88041122u);
    EXPECT_EQ(ENTRY(rz_authentication)(h, 0, 1), 1) << "only the first level is selected";
    unsigned int second = 0;
    ASSERT_EQ(ENTRY(rz_anticoll2)(h, 0, &second), 0);
    EXPECT_EQ(second, 0x33445566u);
    ASSERT_EQ(ENTRY(rz_select2)(h, second), 0);
    EXPECT_EQ(ENTRY(rz_authentication)(h, 0, 1), 0);
}

TEST_F(PcscEntryPoints, ACardTakenAwayIsGoneAndItsReturnStartsAfresh)
{
    const int h = ENTRY(rz_init)(100, 0);
    unsigned char data[16] = {};
    {
        pcsctest::VirtualCardInReader card(0, "mifare1k");
        ASSERT_TRUE(card.present());
        findAndAuthenticate(h, 1);
        ASSERT_EQ(ENTRY(rz_read)(h, 4, data), 0);
        unsigned char key[6] = {1, 2, 3, 4, 5, 6};
        ASSERT_EQ(ENTRY(rz_load_key)(h, 0, 2, key), 0);
        EXPECT_EQ(ENTRY(rz_authentication)(h, 0, 2), 2) << "wrong key";
        EXPECT_EQ(ENTRY(rz_read)(h, 4, data), 1) << "a failed authentication unselects the card";
        findAndAuthenticate(h, 1);
    }
    EXPECT_EQ(ENTRY(rz_read)(h, 4, data), 1) << "no card";
    int tagType = 0;
    EXPECT_EQ(ENTRY(rz_request)(h, 1, &tagType), 1);
    pcsctest::VirtualCardInReader again(0, "mifare1k");
    ASSERT_TRUE(again.present());
    unsigned int serial = 0;
    ASSERT_EQ(ENTRY(rz_card)(h, 1, &serial), 0);
    EXPECT_EQ(serial, 0x04A1B2C3u);
    EXPECT_EQ(ENTRY(rz_read)(h, 4, data), 2) << "nothing authenticated on the new card";
}

TEST_F(PcscEntryPoints, TransfersReachOtherBlocksOfTheSector)
{
    pcsctest::VirtualCardInReader card(0, "mifare1k");
    ASSERT_TRUE(card.present());
    const int h = ENTRY(rz_init)(100, 0);
    findAndAuthenticate(h, 1);
    EXPECT_EQ(ENTRY(rz_transfer)(h, 4), 5) << "nothing in the transfer buffer";
    EXPECT_EQ(ENTRY(rz_increment)(h, 4, 1), 5) << "block 4 holds no value yet";
    ASSERT_EQ(ENTRY(rz_initval)(h, 4, 100), 0);
    ASSERT_EQ(ENTRY(rz_increment)(h, 4, 7), 0);
    ASSERT_EQ(ENTRY(rz_transfer)(h, 6), 0);
    EXPECT_EQ(readValue(h, 6), 107);
    EXPECT_EQ(readValue(h, 4), 100) << "the source keeps its value";
    ASSERT_EQ(ENTRY(rz_restore)(h, 6), 0);
    ASSERT_EQ(ENTRY(rz_transfer)(h, 5), 0);
    EXPECT_EQ(readValue(h, 5), 107);
    EXPECT_EQ(ENTRY(rz_transfer)(h, 5), 5) << "a transfer empties the buffer";
    ASSERT_EQ(ENTRY(rz_initval)(h, 4, 2147483647), 0);
    EXPECT_EQ(ENTRY(rz_increment)(h, 4, 1), 5) << "overflow";
    EXPECT_EQ(ENTRY(rz_decrement)(h, 4, -1), 4);
    EXPECT_EQ(ENTRY(rz_transfer)(h, 7), 3) << "a trailer takes no value";
    EXPECT_EQ(ENTRY(rz_increment)(h, 8, 1), 2) << "sector 2 is not authenticated";
}

TEST_F(PcscEntryPoints, AContactCardTakesPlainApdus)
{
    pcsctest::VirtualCardInReader card(1, "iso7816");
    ASSERT_TRUE(card.present());
    ENTRY(rz_init)(100, 0);
    const int h = ENTRY(rz_init)(100, 0);
    int tagType = 0;
    EXPECT_EQ(ENTRY(rz_request)(h, 1, &tagType), 1) << "no contactless card here";
    EXPECT_EQ(ENTRY(rz_setcpu)(h, 0x0D), 7) << "no SAM slot";
    ASSERT_EQ(ENTRY(rz_setcpu)(h, 0x0C), 0);
    unsigned char reply[256] = {};
    unsigned char length = 0;
    unsigned char select[] = {0x00, 0xA4, 0x00, 0x00, 0x02, 0x00, 0x01};
    EXPECT_EQ(ENTRY(rz_cpuapdu)(h, sizeof select, select, &length, reply), 1) << "not reset yet";
    ASSERT_EQ(ENTRY(rz_cpureset)(h, &length, reply), 0);
    ASSERT_EQ(length, 15);
    EXPECT_EQ(std::memcmp(reply, "\x3B\x88\x81\x31\xFE\x45T7VCARD1", 14), 0);

    auto exchange = [&](std::initializer_list<unsigned char> apdu) {
        std::string command(apdu.begin(), apdu.end());
        EXPECT_EQ(ENTRY(rz_cpuapdu)(h, static_cast<int>(command.size()),
                                    reinterpret_cast<unsigned char *>(command.data()), &length, reply),
                  0);
        return std::string(reinterpret_cast<char *>(reply), length);
    };
    EXPECT_EQ(exchange({0x00, 0xA4, 0x00, 0x00, 0x02, 0x00, 0x01}), std::string("\x90\x00", 2));
    EXPECT_EQ(exchange({0x00, 0xD6, 0x00, 0x10, 0x03, 'T', '7', '!'}), std::string("\x90\x00", 2));
    EXPECT_EQ(exchange({0x00, 0xB0, 0x00, 0x10, 0x03}), std::string("T7!\x90\x00", 5));
    EXPECT_EQ(exchange({0x00, 0x84, 0x00, 0x00, 0x08}), std::string("\x6D\x00", 2)) << "the card's own answer";
    ASSERT_EQ(ENTRY(rz_cpudown)(h, 0x0C), 0);
    EXPECT_EQ(ENTRY(rz_cpuapdu)(h, sizeof select, select, &length, reply), 1) << "powered down";
}

} // namespace
