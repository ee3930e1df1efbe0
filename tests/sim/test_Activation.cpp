#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <cstdio>
#include <cstring>

namespace
{

using simtest::qvd;

class Activation : public ::testing::Test
{
protected:
    sim::SimBench bench;
    int h = 0;
    void SetUp() override
    {
        h = qvd().rz_init(100, 0); // usb1, an S50 with UID 5A3C910E
        ASSERT_GT(h, 0);
    }
};

TEST_F(Activation, RequestReportsTagTypesOfS50AndS70)
{
    int tag = -1;
    ASSERT_EQ(qvd().rz_request(h, 1, &tag), 0);
    EXPECT_EQ(tag, 4);
    const int usb2 = qvd().rz_init(100, 0);
    ASSERT_EQ(qvd().rz_request(usb2, 0, &tag), 0);
    EXPECT_EQ(tag, 2);
}

// The ATQA's bits 7-8 give the UID size (ISO/IEC 14443-3).
TEST_F(Activation, RequestAnswersTheAtqaOfTheCardsKindAndUidSize)
{
    struct Case {
        const char *place;
        int atqa;
    };
    const Case cases[] = {
        {"place usb1 typea s50 --uid 04A1B2C3", 0x0004},
        {"place usb1 typea s70 --uid 04A1B2C3", 0x0002},
        {"place usb1 typea s50 --uid 04A1B2C3D4E5F6", 0x0044},
        {"place usb1 typea s70 --uid 04A1B2C3D4E5F6", 0x0042},
    };
    for (const Case &c : cases) {
        bench.run(c.place);
        int tag = -1;
        ASSERT_EQ(qvd().rz_request(h, 1, &tag), 0) << c.place;
        EXPECT_EQ(tag, c.atqa) << c.place;
        char shown[16];
        std::snprintf(shown, sizeof shown, "ATQA %04X", c.atqa);
        EXPECT_NE(bench.run("show").find(shown), std::string::npos) << c.place;
    }
}

TEST_F(Activation, CardGivesTheUidInCardOrder)
{
    unsigned serial = 0;
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    EXPECT_EQ(serial, 0x5A3C910Eu);
    // A single-size UID has no second cascade level.
    unsigned part2 = 0xDEAD;
    EXPECT_NE(qvd().rz_anticoll2(h, 0, &part2), 0);
    EXPECT_EQ(part2, 0xDEADu);
}

TEST_F(Activation, RequestKeepsTheSelectedCardButACardSearchStartsAfresh)
{
    unsigned char key[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(qvd().rz_load_key(h, 0, 1, key), 0);
    unsigned serial = 0;
    int tag = 0;
    unsigned char data[16] = {};
    // Find, then request (as a polling loop does): still selected.
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_request(h, 1, &tag), 0);
    EXPECT_EQ(tag, 4);
    ASSERT_EQ(qvd().rz_authentication(h, 0, 1), 0);
    // A request keeps the authentication too.
    ASSERT_EQ(qvd().rz_request(h, 0, &tag), 0);
    EXPECT_EQ(qvd().rz_read(h, 4, data), 0);
    // A new card search drops it.
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    EXPECT_NE(qvd().rz_read(h, 4, data), 0);
}

TEST_F(Activation, HaltedCardAnswersOnlyTheAllRequest)
{
    unsigned serial = 0;
    int tag = 0;
    ASSERT_EQ(qvd().rz_card(h, 0, &serial), 0);
    ASSERT_EQ(qvd().rz_halt(h), 0);
    EXPECT_NE(qvd().rz_request(h, 0, &tag), 0);
    EXPECT_NE(qvd().rz_card(h, 0, &serial), 0);
    ASSERT_EQ(qvd().rz_request(h, 1, &tag), 0);
    // Woken up, it is an ordinary card again.
    ASSERT_EQ(qvd().rz_card(h, 0, &serial), 0);
    EXPECT_EQ(serial, 0x5A3C910Eu);
}

TEST_F(Activation, HaltNeedsASelectedCard)
{
    EXPECT_NE(qvd().rz_halt(h), 0);
}

TEST_F(Activation, AnticollAndSelectStepByStep)
{
    int tag = 0;
    unsigned serial = 0;
    unsigned char sak = 0;
    EXPECT_NE(qvd().rz_anticoll(h, 0, &serial), 0); // no request yet
    ASSERT_EQ(qvd().rz_request(h, 1, &tag), 0);
    ASSERT_EQ(qvd().rz_anticoll(h, 0, &serial), 0);
    EXPECT_EQ(serial, 0x5A3C910Eu);
    EXPECT_NE(qvd().rz_select(h, serial ^ 1, &sak), 0);
    ASSERT_EQ(qvd().rz_request(h, 1, &tag), 0);
    ASSERT_EQ(qvd().rz_anticoll(h, 0, &serial), 0);
    ASSERT_EQ(qvd().rz_select(h, serial, &sak), 0);
    EXPECT_EQ(sak, 0x08);
    ASSERT_EQ(qvd().rz_load_key(h, 0, 0, (unsigned char *)"\xFF\xFF\xFF\xFF\xFF\xFF"), 0);
    EXPECT_EQ(qvd().rz_authentication(h, 0, 0), 0);
}

TEST_F(Activation, SevenByteUidTakesTwoCascadeLevels)
{
    bench.run("place usb1 typea s50 --uid 04A1B2C3D4E5F6");
    unsigned serial = 0;
    unsigned part2 = 0;
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    EXPECT_EQ(serial, 0x8804A1B2u);
    // Not usable before the second level is selected.
    EXPECT_NE(qvd().rz_authentication(h, 0, 1), 0);
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_anticoll2(h, 0, &part2), 0);
    EXPECT_EQ(part2, 0xC3D4E5F6u);
    EXPECT_NE(qvd().rz_select2(h, part2 ^ 0x10), 0);
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_anticoll2(h, 0, &part2), 0);
    ASSERT_EQ(qvd().rz_select2(h, part2), 0);
    EXPECT_EQ(qvd().rz_authentication(h, 0, 1), 0);
}

TEST_F(Activation, ProtocolSettingHidesCardsOfOtherProtocols)
{
    bench.run("place usb1 iso15693 iso15693 --uid E004010012345678");
    unsigned serial = 0;
    unsigned char uid[8] = {};
    unsigned char reply[256] = {};
    EXPECT_NE(qvd().rz_inventory(h, 0x36, 0, 0, reply, uid), 0);
    ASSERT_EQ(qvd().rz_config_card(h, '1'), 0);
    EXPECT_NE(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_inventory(h, 0x36, 0, 0, reply, uid), 0);
    const unsigned char expected[8] = {0xE0, 0x04, 0x01, 0x00, 0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(std::memcmp(uid, expected, 8), 0);
    ASSERT_EQ(qvd().rz_config_card(h, 'A'), 0);
    EXPECT_EQ(qvd().rz_card(h, 1, &serial), 0);
    EXPECT_NE(qvd().rz_inventory(h, 0x36, 0, 0, reply, uid), 0);
}

TEST_F(Activation, InventoryWithAnAfiFindsOnlyCardsOfThatFamily)
{
    bench.run("place usb1 iso15693 iso15693");
    ASSERT_EQ(qvd().rz_config_card(h, '1'), 0);
    unsigned char uid[8] = {};
    unsigned char reply[256] = {};
    EXPECT_NE(qvd().rz_inventory(h, 0x36, 0x07, 0, reply, uid), 0); // card's AFI is 0
    EXPECT_EQ(qvd().rz_inventory(h, 0x36, 0x00, 0, reply, uid), 0);
    EXPECT_EQ(uid[0], 0xE0);
}

TEST_F(Activation, TypeBRequestAndAttrib)
{
    bench.run("place usb1 typeb typeb --uid 11223344");
    unsigned char answer[36] = {};
    EXPECT_NE(qvd().rz_request_b(h, 0, 0, 0, answer), 0); // reader set to TYPE A
    ASSERT_EQ(qvd().rz_config_card(h, 'B'), 0);
    ASSERT_EQ(qvd().rz_request_b(h, 0, 0, 0, answer), 0);
    EXPECT_EQ(answer[0], 0x50);
    const unsigned char pupi[4] = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(std::memcmp(answer + 1, pupi, 4), 0);
    unsigned char wrong[4] = {0x11, 0x22, 0x33, 0x45};
    EXPECT_NE(qvd().rz_attrib(h, wrong, 0), 0);
    EXPECT_EQ(qvd().rz_attrib(h, answer + 1, 0), 0);
    // Attrib needs a fresh request after the card was selected.
    EXPECT_NE(qvd().rz_attrib(h, answer + 1, 0), 0);
}

TEST_F(Activation, TypeBWithoutCardFails)
{
    unsigned char answer[36] = {};
    ASSERT_EQ(qvd().rz_config_card(h, 'B'), 0);
    EXPECT_NE(qvd().rz_request_b(h, 0, 0, 0, answer), 0);
}

TEST_F(Activation, RfResetDropsSelectionAndAuthentication)
{
    unsigned serial = 0;
    unsigned char block[16] = {};
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_authentication(h, 0, 1), 0);
    ASSERT_EQ(qvd().rz_read(h, 4, block), 0);
    ASSERT_EQ(qvd().rz_reset(h, 2), 0);
    EXPECT_NE(qvd().rz_read(h, 4, block), 0);
    EXPECT_NE(qvd().rz_authentication(h, 0, 1), 0);
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    EXPECT_EQ(qvd().rz_authentication(h, 0, 1), 0);
}

TEST_F(Activation, RfResetWakesAHaltedCard)
{
    unsigned serial = 0;
    int tag = 0;
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_halt(h), 0);
    ASSERT_EQ(qvd().rz_reset(h, 5), 0);
    EXPECT_EQ(qvd().rz_request(h, 0, &tag), 0);
}

TEST_F(Activation, ZeroResetLeavesTheFieldOffUntilTheNextRequest)
{
    unsigned serial = 0;
    unsigned char block[16] = {};
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_authentication(h, 0, 1), 0);
    ASSERT_EQ(qvd().rz_reset(h, 0), 0);
    EXPECT_NE(qvd().rz_read(h, 4, block), 0);
    EXPECT_NE(qvd().rz_authentication(h, 0, 1), 0);
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0); // switches the field on
    ASSERT_EQ(qvd().rz_authentication(h, 0, 1), 0);
    EXPECT_EQ(qvd().rz_read(h, 4, block), 0);
}

TEST_F(Activation, NoCardInTheField)
{
    bench.run("remove usb1 typea");
    int tag = 0;
    unsigned serial = 0;
    EXPECT_NE(qvd().rz_request(h, 1, &tag), 0);
    EXPECT_NE(qvd().rz_card(h, 1, &serial), 0);
    const int com1 = qvd().rz_init(0, 115200); // empty reader
    EXPECT_NE(qvd().rz_card(com1, 1, &serial), 0);
}

} // namespace
