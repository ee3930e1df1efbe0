#include "sim/core/Iso7816Card.h"
#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <string>
#include <vector>

namespace
{

using simtest::qvd;
using Bytes = std::vector<uint8_t>;
namespace iso = sim::iso7816;

Bytes hex(const std::string &text)
{
    std::string digits;
    for (const char c : text)
        if (c != ' ')
            digits += c;
    Bytes out;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

uint16_t sw(const Bytes &response)
{
    return response.size() < 2 ? 0 : static_cast<uint16_t>(response[response.size() - 2] << 8 | response.back());
}

// One card session: the application and what it forgets without power.
struct Card {
    iso::Application app = iso::defaultApplication(iso::defaultAid());
    iso::Context context;
    iso::Exchange send(const std::string &apdu, iso::Link link = iso::Link::T1)
    {
        const Bytes bytes = hex(apdu);
        return iso::process(app, context, bytes.data(), bytes.size(), link);
    }
};

TEST(Iso7816Engine, AnswersEachCommandWithItsStatusWord)
{
    struct Case {
        const char *name;
        std::vector<std::string> before; // commands sent first, their answers not checked
        std::string apdu;
        uint16_t sw;
    };
    const std::string selectData = "00A4000C020015";
    const std::string verifyPin = "0020000003123456";
    const Case cases[] = {
        {"select MF", {}, "00A40000023F00", 0x9000},
        {"select by name", {}, "00A4040C09F00000543744454D4F", 0x9000},
        {"select by partial name", {}, "00A4040C03F00000", 0x9000},
        {"unknown name", {}, "00A4040C03A00000", 0x6A82},
        {"unknown file", {}, "00A4000C021234", 0x6A82},
        {"EF of another DF", {}, "00A4000C020015", 0x6A82},
        {"bad select P1", {}, "00A4080C023F00", 0x6A86},
        {"bad select P2", {}, "00A40001023F00", 0x6A86},
        {"wrong CLA", {}, "80B0000010", 0x6E00},
        {"unknown INS", {}, "00CA000000", 0x6D00},
        {"too short", {}, "00B000", 0x6700},
        {"Lc disagrees with length", {}, "00D6000005AABB", 0x6700},
        {"read without EF", {}, "00B0000010", 0x6986},
        {"read a free EF", {"00A4000C022F00"}, "00B0000004", 0x9000},
        {"read past the end", {"00A4000C022F00"}, "00B0001E10", 0x6282},
        {"offset outside", {"00A4000C022F00"}, "00B0002001", 0x6B00},
        {"read by short identifier", {"00A4040C09F00000543744454D4F"}, "00B0950004", 0x9000},
        {"update needs the PIN", {"00A4040C09F00000543744454D4F", selectData}, "00D6000002AABB", 0x6982},
        {"update after the PIN", {"00A4040C09F00000543744454D4F", selectData, verifyPin}, "00D6000002AABB", 0x9000},
        {"update past the end", {"00A4040C09F00000543744454D4F", selectData, verifyPin}, "00D6001F02AABB", 0x6700},
        {"read secret without the PIN", {"00A4040C09F00000543744454D4F", "00A4000C020016"}, "00B0000010", 0x6982},
        {"wrong PIN", {}, "0020000003654321", 0x63C2},
        {"tries left", {}, "00200000", 0x63C3},
        {"unknown PIN reference", {}, "0020000103123456", 0x6A88},
        {"challenge", {}, "0084000008", 0x9000},
        {"challenge with P1", {}, "0084010008", 0x6A86},
        {"nothing to get", {}, "00C0000010", 0x6985},
    };
    for (const Case &c : cases) {
        Card card;
        for (const std::string &before : c.before)
            card.send(before);
        EXPECT_EQ(sw(card.send(c.apdu).response), c.sw) << c.name;
    }
}

TEST(Iso7816Engine, ReadsWhatWasUpdatedAndReportsChanges)
{
    Card card;
    card.send("00A4040C09F00000543744454D4F");
    card.send("00A4000C020015");
    EXPECT_TRUE(card.send("0020000003123456").changed == false);
    const iso::Exchange update = card.send("00D6000404CAFEBABE");
    EXPECT_TRUE(update.changed);
    EXPECT_EQ(card.send("00B0000408").response, hex("CAFEBABE000000009000"));
}

TEST(Iso7816Engine, ThreeWrongPinsBlockItAndTheRightOneRestoresTheCounter)
{
    Card card;
    EXPECT_EQ(sw(card.send("0020000003000000").response), 0x63C2);
    EXPECT_EQ(sw(card.send("0020000003123456").response), 0x9000);
    EXPECT_EQ(card.app.pin.triesLeft, 3);
    card.send("0020000003000000");
    card.send("0020000003000000");
    EXPECT_EQ(sw(card.send("0020000003000000").response), 0x6983);
    EXPECT_EQ(sw(card.send("0020000003123456").response), 0x6983) << "blocked for ever";
}

TEST(Iso7816Engine, OnT0ACaseFourAnswerWaitsForGetResponse)
{
    Card card;
    const Bytes fci = card.send("00A40000023F00", iso::Link::T1).response;
    ASSERT_EQ(sw(fci), 0x9000);
    const Bytes announced = card.send("00A40000023F00", iso::Link::T0).response;
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[0], 0x61);
    EXPECT_EQ(announced[1], fci.size() - 2);
    EXPECT_EQ(sw(card.send("00C00000FF", iso::Link::T0).response), 0x6C00 | announced[1]);
    EXPECT_EQ(card.send("00C0000000", iso::Link::T0).response, fci);
    EXPECT_EQ(sw(card.send("00C0000000", iso::Link::T0).response), 0x6985) << "nothing left";
}

TEST(Iso7816Engine, AnswersNeverOutgrowTheReplyBuffer)
{
    Card card;
    card.app.mf.children[0].data.assign(600, 0x5A);
    card.send("00A4000C022F00");
    const Bytes read = card.send("00B0000000").response;
    EXPECT_LE(read.size(), 255u);
    EXPECT_EQ(sw(read), 0x9000);
}

TEST(Iso7816Engine, TheTreeSurvivesItsJsonForm)
{
    Card card;
    card.send("0020000003000000");
    const iso::Application back = iso::applicationFromJson(iso::toJson(card.app));
    EXPECT_EQ(iso::describe(back), iso::describe(card.app));
    EXPECT_EQ(back.pin.triesLeft, 2);
    auto broken = iso::toJson(card.app);
    broken["mf"]["fid"] = "3F01";
    EXPECT_ANY_THROW(iso::applicationFromJson(broken));
}

// ---- through the library ----

class CpuCards : public ::testing::Test
{
protected:
    sim::SimBench bench;
    int h = 0;
    unsigned char length = 0;
    unsigned char buffer[256] = {};

    void SetUp() override
    {
        h = qvd().rz_init(100, 0); // usb1
        ASSERT_GT(h, 0);
    }
    bool findTypeA()
    {
        unsigned serial = 0;
        return qvd().rz_card(h, 1, &serial) == 0;
    }
    // Sends an APDU through rz_pro_commandlink; the reply as bytes, or {} on failure.
    Bytes command(const std::string &apdu)
    {
        Bytes bytes = hex(apdu);
        unsigned char replyLength = 0;
        unsigned char reply[256] = {};
        if (qvd().rz_pro_commandlink(h, static_cast<unsigned char>(bytes.size()), bytes.data(), &replyLength, reply, 7,
                                     52) != 0)
            return {};
        return Bytes(reply, reply + replyLength);
    }
};

TEST_F(CpuCards, TypeAResetGivesTheAtsAndTakesSelectAndReadBinary)
{
    bench.run("place usb1 typea cpua --uid 01020304");
    EXPECT_NE(qvd().rz_pro_reset(h, &length, buffer), 0) << "not selected yet";
    ASSERT_TRUE(findTypeA());
    ASSERT_EQ(qvd().rz_pro_reset(h, &length, buffer), 0);
    EXPECT_EQ(Bytes(buffer, buffer + length), hex("067577810280"));
    EXPECT_EQ(sw(command("00A4040C09F00000543744454D4F")), 0x9000);
    const Bytes read = command("00B0950004");
    EXPECT_EQ(read, hex("00000000 9000"));
}

TEST_F(CpuCards, AnRfResetDropsTheProtocolStateUntilTheCardIsResetAgain)
{
    bench.run("place usb1 typea cpua");
    ASSERT_TRUE(findTypeA());
    ASSERT_EQ(qvd().rz_pro_reset(h, &length, buffer), 0);
    ASSERT_FALSE(command("00A40000023F00").empty());
    ASSERT_EQ(qvd().rz_reset(h, 2), 0);
    EXPECT_TRUE(command("00A40000023F00").empty());
    ASSERT_TRUE(findTypeA());
    EXPECT_TRUE(command("00A40000023F00").empty()) << "selected again, but no RATS yet";
    ASSERT_EQ(qvd().rz_pro_reset(h, &length, buffer), 0);
    EXPECT_FALSE(command("00A40000023F00").empty());
}

TEST_F(CpuCards, MifareClassicHasNoIso14443Layer4)
{
    ASSERT_TRUE(findTypeA()); // the default S50
    EXPECT_EQ(qvd().rz_pro_reset(h, &length, buffer), 7);
}

TEST_F(CpuCards, TypeBAnswersItsAtqbAndTakesCommandsAfterAttrib)
{
    bench.run("place usb1 typeb typeb --uid A1B2C3D4");
    ASSERT_EQ(qvd().rz_config_card(h, 'B'), 0);
    unsigned char answer[36] = {};
    ASSERT_EQ(qvd().rz_request_b(h, 0, 0, 0, answer), 0);
    EXPECT_EQ(answer[0], 0x50);
    EXPECT_EQ(Bytes(answer + 1, answer + 5), hex("A1B2C3D4"));
    EXPECT_TRUE(command("00A40000023F00").empty()) << "not yet attributed";
    ASSERT_EQ(qvd().rz_attrib(h, answer + 1, 0), 0);
    EXPECT_EQ(sw(command("00A40000023F00")), 0x9000);
}

TEST_F(CpuCards, WhatACommandWritesStaysOnTheCard)
{
    bench.run("place usb1 typea cpua");
    ASSERT_TRUE(findTypeA());
    ASSERT_EQ(qvd().rz_pro_reset(h, &length, buffer), 0);
    command("00A4040C09F00000543744454D4F");
    command("00A4000C020015");
    command("0020000003123456");
    ASSERT_EQ(sw(command("00D6000003010203")), 0x9000);
    EXPECT_NE(bench.run("dump usb1 typea").find("0015 EF 32 bytes, read always, update pin: 010203"),
              std::string::npos);
    // A new session (power cycle) still reads it, without the PIN.
    ASSERT_EQ(qvd().rz_reset(h, 2), 0);
    ASSERT_TRUE(findTypeA());
    ASSERT_EQ(qvd().rz_pro_reset(h, &length, buffer), 0);
    command("00A4040C09F00000543744454D4F");
    command("00A4000C020015");
    EXPECT_EQ(command("00B0000003"), hex("010203 9000"));
}

TEST_F(CpuCards, MifareProResetsTakesApdusAndHalts)
{
    bench.run("place usb1 typea mifarepro --uid 11223344");
    int tag = 0;
    ASSERT_EQ(qvd().rz_request(h, 1, &tag), 0);
    EXPECT_EQ(tag, 0x0008);
    ASSERT_TRUE(findTypeA());
    ASSERT_EQ(qvd().rz_reset_mifarepro(h, &length, buffer), 0);
    EXPECT_EQ(length, 11);
    Bytes select = hex("00A40000023F00");
    unsigned char replyLength = 0;
    unsigned char reply[256] = {};
    ASSERT_EQ(qvd().rz_apdu_mifarepro(h, static_cast<unsigned char>(select.size()), select.data(), &replyLength, reply),
              0);
    EXPECT_EQ(sw(Bytes(reply, reply + replyLength)), 0x9000);
    ASSERT_EQ(qvd().rz_halt_mifarepro(h), 0);
    EXPECT_NE(qvd().rz_apdu_mifarepro(h, static_cast<unsigned char>(select.size()), select.data(), &replyLength, reply),
              0);
    EXPECT_NE(qvd().rz_request(h, 0, &tag), 0) << "a halted card ignores an idle request";
}

} // namespace
