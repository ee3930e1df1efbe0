// SLE4442, SLE4428, AT24C64, contact CPU cards and SAMs through the library.
#include "sim/core/Hex.h"
#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <functional>
#include <string>
#include <vector>

namespace
{

using simtest::qvd;
using Bytes = std::vector<uint8_t>;

Bytes bytes(const std::string &hex)
{
    return sim::fromHex(hex).value();
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

class ContactCards : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h = qvd().rz_init(100, 0); // usb1
        ASSERT_GT(h, 0);
    }
    std::string shownContact() { return bench.run("show"); }

    sim::SimBench bench;
    int h = 0;
};

// The same PSC rules for both chips, through their own entry points.
struct PscChip {
    const char *kind;
    std::string psc;
    std::string wrong;
    int attempts;
    std::function<int(int, Bytes &)> verify;
    std::function<int(int, int, Bytes &)> write;
    std::function<int(int, int, Bytes &)> read;
    std::function<int(int, int, Bytes &)> protect;
};

std::vector<PscChip> pscChips()
{
    return {
        {"sle4442", "7E25A1", "000000", 3, [](int h, Bytes &p) { return qvd().rz_authentikey_4442(h, 0, 3, p.data()); },
         [](int h, int a, Bytes &d) { return qvd().rz_write_4442(h, a, d.data(), int(d.size())); },
         [](int h, int a, Bytes &d) { return qvd().rz_read_4442(h, a, d.data(), int(d.size())); },
         [](int h, int a, Bytes &d) { return qvd().rz_setProtectData_4442(h, a, d.data(), int(d.size())); }},
        {"sle4428", "5B9D", "0000", 8, [](int h, Bytes &p) { return qvd().rz_authentikey_4428(h, p.data()); },
         [](int h, int a, Bytes &d) { return qvd().rz_write_4428(h, a, d.data(), int(d.size())); },
         [](int h, int a, Bytes &d) { return qvd().rz_read_4428(h, a, d.data(), int(d.size())); },
         [](int h, int a, Bytes &d) { return qvd().rz_setProtectData_4428(h, a, d.data(), int(d.size())); }},
    };
}

std::string attemptsText(int left, int of)
{
    return std::to_string(left) + " of " + std::to_string(of) + " attempts left";
}

TEST_F(ContactCards, AWrongPscSpendsAnAttemptTheRightOneGivesThemBackAndNoneLeftLocksForEver)
{
    for (const PscChip &chip : pscChips()) {
        bench.run("place usb1 contact " + std::string(chip.kind) + " --psc " + chip.psc);
        Bytes right = bytes(chip.psc);
        Bytes wrong = bytes(chip.wrong);
        for (int spent = 1; spent < chip.attempts; ++spent)
            EXPECT_NE(chip.verify(h, wrong), 0) << chip.kind;
        EXPECT_TRUE(contains(shownContact(), attemptsText(1, chip.attempts))) << chip.kind;
        EXPECT_EQ(chip.verify(h, right), 0) << chip.kind;
        EXPECT_TRUE(contains(shownContact(), attemptsText(chip.attempts, chip.attempts))) << chip.kind;
        for (int spent = 0; spent < chip.attempts; ++spent)
            EXPECT_NE(chip.verify(h, wrong), 0) << chip.kind;
        EXPECT_NE(chip.verify(h, right), 0) << chip.kind << ": locked for ever";
        EXPECT_TRUE(contains(shownContact(), attemptsText(0, chip.attempts) + " (locked)")) << chip.kind;
        Bytes data = bytes("AA");
        EXPECT_NE(chip.write(h, 40, data), 0) << chip.kind << ": a locked card takes no writes";
    }
}

TEST_F(ContactCards, WritesNeedThePscAndProtectionNeedsDataEqualToTheContent)
{
    for (const PscChip &chip : pscChips()) {
        bench.run("place usb1 contact " + std::string(chip.kind) + " --psc " + chip.psc);
        Bytes data = bytes("11223344");
        EXPECT_NE(chip.write(h, 20, data), 0) << chip.kind << ": no PSC yet";
        Bytes psc = bytes(chip.psc);
        ASSERT_EQ(chip.verify(h, psc), 0) << chip.kind;
        ASSERT_EQ(chip.write(h, 20, data), 0) << chip.kind;
        Bytes differs = bytes("11FF");
        ASSERT_EQ(chip.protect(h, 20, differs), 0) << chip.kind; // byte 20 equal, byte 21 not
        Bytes overwrite = bytes("99999999");
        ASSERT_EQ(chip.write(h, 20, overwrite), 0) << chip.kind;
        Bytes back(4);
        ASSERT_EQ(chip.read(h, 20, back), 0) << chip.kind;
        EXPECT_EQ(back, bytes("11999999")) << chip.kind << ": only the protected byte kept its content";
        const std::string shown = shownContact();
        EXPECT_TRUE(contains(shown, chip.kind == std::string("sle4442") ? "protected 00-03, 14" : "protected 014"))
            << shown;
    }
}

TEST_F(ContactCards, Sle4442AnswersItsCounterAndProtectionBitsAndProtectsNothingPastByte31)
{
    unsigned char counter = 0;
    ASSERT_EQ(qvd().rz_cntReadError_4442(h, &counter), 0); // the default bench's card
    EXPECT_EQ(counter, 0x07);
    unsigned char bits[4] = {};
    ASSERT_EQ(qvd().rz_getProtectData_4442(h, 0, bits, 4), 0);
    EXPECT_EQ(Bytes(bits, bits + 4), bytes("F0FFFFFF")) << "the ATR bytes 0-3 come protected";
    unsigned char atr[4] = {};
    ASSERT_EQ(qvd().rz_read_4442(h, 0, atr, 4), 0);
    EXPECT_EQ(Bytes(atr, atr + 4), bytes("A2131091"));

    unsigned char psc[3] = {0x7E, 0x25, 0xA1};
    unsigned char newPsc[3] = {0x01, 0x02, 0x03};
    EXPECT_NE(qvd().rz_changkey_4442(h, 0, 3, newPsc), 0) << "not before the PSC was presented";
    ASSERT_EQ(qvd().rz_authentikey_4442(h, 0, 3, psc), 0);
    // From byte 31 on only 31 has a protection bit; 32 on is no start.
    unsigned char pscAt31[3] = {0x7E, 0x00, 0x00};
    ASSERT_EQ(qvd().rz_write_4442(h, 31, pscAt31, 3), 0);
    EXPECT_NE(qvd().rz_setProtectData_4442(h, 32, psc, 1), 0);
    EXPECT_EQ(qvd().rz_setProtectData_4442(h, 31, psc, 3), 0);
    ASSERT_EQ(qvd().rz_getProtectData_4442(h, 0, bits, 4), 0);
    EXPECT_EQ(bits[3], 0x7F);
    EXPECT_NE(qvd().rz_getProtectData_4442(h, 2, bits, 4), 0);

    ASSERT_EQ(qvd().rz_changkey_4442(h, 0, 3, newPsc), 0);
    EXPECT_TRUE(contains(shownContact(), "sle4442 PSC 010203"));

    bench.run("place usb1 contact sle4428");
    EXPECT_NE(qvd().rz_cntReadError_4442(h, &counter), 0) << "only an SLE4442 answers";
    bench.run("remove usb1 contact");
    EXPECT_NE(qvd().rz_cntReadError_4442(h, &counter), 0);
}

TEST_F(ContactCards, Sle4428GivesAStatusBytePerAddressAndShowsItsPscOnlyOnceVerified)
{
    bench.run("place usb1 contact sle4428 --psc 5B9D");
    unsigned char own[3] = {};
    ASSERT_EQ(qvd().rz_read_4428(h, 1021, own, 3), 0);
    EXPECT_EQ(Bytes(own, own + 3), bytes("FF0000"));
    unsigned char psc[2] = {0x5B, 0x9D};
    ASSERT_EQ(qvd().rz_authentikey_4428(h, psc), 0);
    ASSERT_EQ(qvd().rz_read_4428(h, 1021, own, 3), 0);
    EXPECT_EQ(Bytes(own, own + 3), bytes("FF5B9D"));
    unsigned char same[2] = {0xFF, 0xFF};
    ASSERT_EQ(qvd().rz_setProtectData_4428(h, 100, same, 2), 0);
    unsigned char status[4] = {};
    ASSERT_EQ(qvd().rz_getProtectData_4428(h, 99, status, 4), 0);
    EXPECT_EQ(Bytes(status, status + 4), bytes("01000001"));
    EXPECT_NE(qvd().rz_read_4428(h, 1020, own, 5), 0);
}

TEST_F(ContactCards, At24c64KeepsWhatIsWrittenWithinItsEightKilobytes)
{
    EXPECT_NE(qvd().rz_check_24c64(h), 0) << "an SLE4442 is in the slot";
    bench.run("place usb1 contact at24c64");
    ASSERT_EQ(qvd().rz_check_24c64(h), 0);
    struct Case {
        int address;
        int length;
        bool ok;
    };
    const Case cases[] = {{0, 16, true}, {8176, 16, true}, {8177, 16, false}, {-1, 1, false}, {8192, 1, false}};
    for (const Case &c : cases) {
        Bytes data(16, 0x5A);
        EXPECT_EQ(qvd().rz_write_24c64(h, c.address, c.length, data.data()) == 0, c.ok) << c.address;
        EXPECT_EQ(qvd().rz_read_24c64(h, c.address, c.length, data.data()) == 0, c.ok) << c.address;
    }
    EXPECT_TRUE(contains(bench.run("dump usb1 contact"), "1FE0: FFFFFFFF" + std::string(24, 'F') + "\n1FF0: 5A5A"));
}

// ---- CPU cards and SAMs ----

Bytes apdu(int h, const std::string &hex)
{
    Bytes command = bytes(hex);
    unsigned char length = 0;
    unsigned char reply[256] = {};
    if (qvd().rz_cpuapdu(h, int(command.size()), command.data(), &length, reply) != 0)
        return {};
    return Bytes(reply, reply + length);
}

Bytes reset(int h)
{
    unsigned char length = 0;
    unsigned char atr[255] = {};
    if (qvd().rz_cpureset(h, &length, atr) != 0)
        return {};
    return Bytes(atr, atr + length);
}

TEST_F(ContactCards, EachSlotResetsItsOwnCardAndAnswersUntilPoweredDown)
{
    bench.run("place usb1 contact cpu");
    for (const char *sam : {"sam1", "sam2", "sam3"})
        bench.run(std::string("place usb1 ") + sam + " sam");
    const Bytes cpuAtr = bytes("3B8A8001" + sim::toHex(Bytes{'T', '7', 'D', 'E', 'M', 'O', ' ', 'C', 'P', 'U'}));
    for (const unsigned char slot : {0x0C, 0x0D, 0x0E, 0x0F}) {
        ASSERT_EQ(qvd().rz_setcpu(h, slot), 0) << int(slot);
        EXPECT_TRUE(apdu(h, "00A40000023F00").empty()) << int(slot) << ": not reset yet";
        const Bytes atr = reset(h);
        ASSERT_EQ(atr.size(), 15u) << int(slot);
        uint8_t check = 0;
        for (size_t i = 1; i < atr.size(); ++i)
            check ^= atr[i];
        EXPECT_EQ(check, 0) << int(slot) << ": TCK";
        EXPECT_EQ(Bytes(atr.begin(), atr.end() - 1) == cpuAtr, slot == 0x0C) << int(slot);
        const Bytes announced = apdu(h, "00A40000023F00");
        ASSERT_EQ(announced.size(), 2u) << int(slot);
        EXPECT_EQ(announced[0], 0x61) << int(slot) << ": T=0 keeps the FCI for GET RESPONSE";
        const Bytes fci = apdu(h, "00C00000" + sim::toHex({announced[1]}));
        EXPECT_EQ(fci.size(), announced[1] + 2u);
        EXPECT_EQ(fci.back(), 0x00);
        EXPECT_EQ(qvd().rz_cpudown(h, slot), 0);
        EXPECT_TRUE(apdu(h, "00A40000023F00").empty()) << int(slot) << ": powered down";
    }
    ASSERT_EQ(qvd().rz_setcpu(h, 0x0D), 0);
    EXPECT_FALSE(reset(h).empty()) << "a reset powers it again";
    EXPECT_FALSE(apdu(h, "00A40000023F00").empty());
}

TEST_F(ContactCards, SlotCodesAreCheckedAndAnEmptySlotAnswersNothing)
{
    EXPECT_NE(qvd().rz_setcpu(h, 0x0D), 0) << "usb1 has no SAM";
    EXPECT_NE(qvd().rz_setcpu(h, 0x0B), 0);
    EXPECT_NE(qvd().rz_setcpu(h, 0x10), 0);
    ASSERT_EQ(qvd().rz_setcpu(h, 0x0C), 0) << "an SLE4442 sits in the slot";
    EXPECT_TRUE(reset(h).empty()) << "a memory card has no answer to reset";
    EXPECT_NE(qvd().rz_cpudown(h, 0x0E), 0);
    EXPECT_NE(qvd().rz_setcpupara(h, 0x0C, 2, 92), 0) << "T=0 or T=1 only";
}

TEST_F(ContactCards, ProtocolOneAnswersAtOnceAndANewCardWaitsForItsReset)
{
    bench.run("place usb1 sam2 sam");
    ASSERT_EQ(qvd().rz_setcpupara(h, 0x0E, 1, 92), 0);
    ASSERT_EQ(qvd().rz_setcpu(h, 0x0E), 0);
    ASSERT_FALSE(reset(h).empty());
    EXPECT_EQ(apdu(h, "00A40000023F00").back(), 0x00) << "9000 with the FCI on T=1";
    bench.run("place usb1 sam2 sam");
    EXPECT_TRUE(apdu(h, "00A40000023F00").empty()) << "a new card is not reset yet";
}

TEST(ContactCardsTool, PlacesEachKindOnlyWhereItFitsAndShowsIt)
{
    sim::SimBench bench;
    struct Case {
        const char *args;
        int status;
        const char *says;
    };
    const Case cases[] = {
        {"place usb1 contact sle4428", 0, "sle4428 PSC FFFF, 8 of 8 attempts left, protected none"},
        {"place usb1 contact sle4442", 0, "sle4442 PSC FFFFFF, 3 of 3 attempts left, protected 00-03"},
        {"place usb1 sam3 sam", 0, "sam ATR 3B8A8001"},
        {"place usb1 contact sam", 1, "goes in position sam1"},
        {"place usb1 sam1 cpu", 1, "goes in position contact"},
        {"place usb1 contact sle4442 --psc 12345", 1, "bad PSC"},
        {"place usb1 contact cpu --uid 01020304", 1, "no --uid"},
    };
    for (const Case &c : cases) {
        std::string output;
        EXPECT_EQ(bench.status(c.args, &output), c.status) << c.args;
        EXPECT_TRUE(contains(output, c.says)) << c.args << " said: " << output;
    }
    const std::string dump = bench.run("dump usb1 contact");
    EXPECT_TRUE(contains(dump, "00: A2131091FFFF")) << dump;
    EXPECT_TRUE(contains(dump, "\nF0: FFFF")) << dump;
}

} // namespace
