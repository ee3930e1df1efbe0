#include "sim/core/Ultralight.h"
#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <array>
#include <string>

namespace
{

using simtest::qvd;
namespace ul = sim::ultralight;
using ul::Chip;
using ul::Outcome;
using Page = ul::Page;

const std::vector<uint8_t> kUid = {0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6};

Page pageOf(const ul::Memory &m, int page)
{
    return {m[page * 4], m[page * 4 + 1], m[page * 4 + 2], m[page * 4 + 3]};
}

TEST(UltralightMemory, HoldsTheUidWithBothCheckBytesAndTheKeyReversedByHalves)
{
    const ul::Memory m = ul::factoryMemory(Chip::UltralightC, kUid);
    EXPECT_EQ(pageOf(m, 0), (Page{0x04, 0xA1, 0xB2, 0x88 ^ 0x04 ^ 0xA1 ^ 0xB2}));
    EXPECT_EQ(pageOf(m, 1), (Page{0xC3, 0xD4, 0xE5, 0xF6}));
    EXPECT_EQ(pageOf(m, 2)[0], 0xC3 ^ 0xD4 ^ 0xE5 ^ 0xF6);
    EXPECT_EQ(pageOf(m, ul::kAuth0Page)[0], 0x30);
    // "BREAKMEIFYOUCAN!" as the datasheet lists pages 2Ch-2Fh.
    EXPECT_EQ(pageOf(m, 44), (Page{0x49, 0x45, 0x4D, 0x4B}));
    EXPECT_EQ(pageOf(m, 47), (Page{0x55, 0x4F, 0x59, 0x46}));
    EXPECT_EQ(ul::storedKey(m), ul::factoryKey());
}

TEST(UltralightMemory, WritesFollowTheOneWayRules)
{
    struct Step {
        int page;
        Page data;
        Outcome outcome;
    };
    struct Case {
        const char *name;
        std::vector<Step> steps;
        int page;   // checked afterwards
        Page after; // its content
    };
    const Case cases[] = {
        {"pages 0-1 are read-only", {{1, {1, 2, 3, 4}, Outcome::Refused}}, 1, {0xC3, 0xD4, 0xE5, 0xF6}},
        {"OTP bits add up",
         {{3, {0x0F, 0, 0, 1}, Outcome::Done}, {3, {0xF0, 0, 0, 0}, Outcome::Done}},
         3,
         {0xFF, 0, 0, 1}},
        {"lock bytes add up, BCC1 stays",
         {{2, {0, 0, 0x10, 0x01}, Outcome::Done}, {2, {0xFF, 0xFF, 0x20, 0x00}, Outcome::Done}},
         2,
         {0xC3 ^ 0xD4 ^ 0xE5 ^ 0xF6, 0x48, 0x30, 0x01}},
        {"a locked page refuses", {{2, {0, 0, 0x10, 0}, Outcome::Done}, {4, {9, 9, 9, 9}, Outcome::Refused}}, 4, {}},
        {"L-OTP freezes the OTP page",
         {{2, {0, 0, 0x08, 0}, Outcome::Done}, {3, {1, 0, 0, 0}, Outcome::Refused}},
         3,
         {}},
        {"BL-9-4 freezes L4",
         {{2, {0, 0, 0x02, 0}, Outcome::Done}, {2, {0, 0, 0x10, 0x01}, Outcome::Done}},
         2,
         {0xC3 ^ 0xD4 ^ 0xE5 ^ 0xF6, 0x48, 0x02, 0x00}},
        {"BL-15-10 leaves L8 free",
         {{2, {0, 0, 0x04, 0}, Outcome::Done}, {2, {0, 0, 0, 0x05}, Outcome::Done}},
         2,
         {0xC3 ^ 0xD4 ^ 0xE5 ^ 0xF6, 0x48, 0x04, 0x01}},
        {"a data page takes anything",
         {{15, {1, 2, 3, 4}, Outcome::Done}, {15, {5, 0, 0, 0}, Outcome::Done}},
         15,
         {5, 0, 0, 0}},
        {"no page 16", {{16, {1, 2, 3, 4}, Outcome::OutOfRange}}, 15, {}},
    };
    for (const Case &c : cases) {
        ul::Memory m = ul::factoryMemory(Chip::Ultralight, kUid);
        for (const Step &s : c.steps)
            EXPECT_EQ(ul::write(Chip::Ultralight, m, s.page, s.data, false), s.outcome) << c.name;
        EXPECT_EQ(pageOf(m, c.page), c.after) << c.name;
    }
}

TEST(UltralightMemory, TheCounterOnlyCountsUpInSmallSteps)
{
    ul::Memory m = ul::factoryMemory(Chip::UltralightC, kUid);
    EXPECT_EQ(ul::write(Chip::UltralightC, m, 41, {0x00, 0x10, 0xAA, 0xAA}, false), Outcome::Done);
    EXPECT_EQ(ul::counter(m), 0x1000);
    EXPECT_EQ(ul::write(Chip::UltralightC, m, 41, {0x0F, 0x00, 0, 0}, false), Outcome::Done);
    EXPECT_EQ(ul::write(Chip::UltralightC, m, 41, {0x10, 0x00, 0, 0}, false), Outcome::Refused);
    EXPECT_EQ(ul::counter(m), 0x100F);
    EXPECT_EQ(pageOf(m, 41), (Page{0x0F, 0x10, 0, 0}));
}

TEST(UltralightMemory, MutualAuthenticationNeedsExactlyTheCardsKey)
{
    ul::Key other = ul::factoryKey();
    EXPECT_TRUE(ul::mutualAuthentication(ul::factoryKey(), ul::factoryKey()));
    other[15] ^= 0x01; // a parity bit: DES alone would not see it
    EXPECT_FALSE(ul::mutualAuthentication(other, ul::factoryKey()));
    other = ul::factoryKey();
    other[0] ^= 0x80;
    EXPECT_FALSE(ul::mutualAuthentication(other, ul::factoryKey()));
    const ul::Key zero{};
    EXPECT_TRUE(ul::mutualAuthentication(zero, zero)) << "a weak key is still a key";
}

// ---- through the library ----

class UltralightCards : public ::testing::Test
{
protected:
    sim::SimBench bench;
    int h = 0;

    void SetUp() override
    {
        h = qvd().rz_init(100, 0); // usb1
        ASSERT_GT(h, 0);
    }
    void place(const char *kind) { bench.run(std::string("place usb1 typea ") + kind + " --uid 04A1B2C3D4E5F6"); }
    // The tool's usual TYPE A activation: both cascade levels.
    int find()
    {
        unsigned first = 0, second = 0;
        if (const int rc = qvd().rz_card(h, 1, &first))
            return rc;
        if (const int rc = qvd().rz_anticoll2(h, 0, &second))
            return rc;
        return qvd().rz_select2(h, second);
    }
    int read(int page, Page *out = nullptr)
    {
        unsigned char buffer[8] = {};
        const int rc = qvd().rz_read_ultralt(h, static_cast<unsigned char>(page), buffer);
        if (out)
            *out = {buffer[0], buffer[1], buffer[2], buffer[3]};
        return rc;
    }
    int write(int page, Page data)
    {
        unsigned char buffer[5] = {data[0], data[1], data[2], data[3], 0};
        return qvd().rz_write_ultralt(h, static_cast<unsigned char>(page), buffer);
    }
    int authenticate(ul::Key key) { return qvd().rz_ultralt_C_authen(h, key.data()); }
};

TEST_F(UltralightCards, BothActivationsSelectTheCardAndARefusalLeavesItIdle)
{
    place("ultralight");
    ASSERT_EQ(qvd().rz_request_ultralt(h, 1), 0);
    unsigned number = 0;
    ASSERT_EQ(qvd().rz_anticall_ultralt(h, &number), 0);
    EXPECT_EQ(number, 0x8804A1B2u ^ 0xC3D4E5F6u) << "both cascade levels, as GetCardSerial combines them";
    ASSERT_EQ(qvd().rz_select_ultralt(h, number), 0);
    Page p0;
    ASSERT_EQ(read(0, &p0), 0);
    EXPECT_EQ(p0, (Page{0x04, 0xA1, 0xB2, 0x88 ^ 0x04 ^ 0xA1 ^ 0xB2}));
    EXPECT_EQ(qvd().rz_halt_ultralt(h), 0);
    EXPECT_EQ(read(0), 1) << "halted";

    unsigned first = 0;
    ASSERT_EQ(qvd().rz_card(h, 1, &first), 0);
    EXPECT_EQ(read(4), 1) << "only cascade level 1 selected";
    ASSERT_EQ(find(), 0);
    ASSERT_EQ(write(5, {1, 2, 3, 4}), 0);
    EXPECT_EQ(write(1, {9, 9, 9, 9}), 3);
    EXPECT_EQ(write(6, {9, 9, 9, 9}), 1) << "a NAK sends the card back to idle";
    ASSERT_EQ(find(), 0);
    EXPECT_EQ(read(16), 4);
    EXPECT_NE(bench.run("dump usb1 typea").find("05: 01020304\n"), std::string::npos);
}

TEST_F(UltralightCards, TheProtectedAreaNeedsTheKeyForWhatAuth1Says)
{
    place("ultralightc");
    ASSERT_EQ(find(), 0);
    EXPECT_EQ(read(44), 3) << "the key is never readable";
    ASSERT_EQ(find(), 0);
    ASSERT_EQ(qvd().rz_ultralt_C_setSafePage(h, 30, 0), 0); // writing only
    EXPECT_EQ(read(35), 0);
    EXPECT_EQ(write(35, {1, 1, 1, 1}), 3);
    ASSERT_EQ(find(), 0);
    EXPECT_EQ(write(29, {1, 1, 1, 1}), 0);
    EXPECT_EQ(qvd().rz_ultralt_C_setSafePage(h, 30, 1), 3) << "AUTH1 is protected now";

    ASSERT_EQ(find(), 0);
    ul::Key wrong = ul::factoryKey();
    wrong[3] ^= 0x10;
    EXPECT_EQ(authenticate(wrong), 2);
    EXPECT_EQ(authenticate(ul::factoryKey()), 1) << "a failed authentication leaves the card idle";
    ASSERT_EQ(find(), 0);
    ASSERT_EQ(authenticate(ul::factoryKey()), 0);
    EXPECT_EQ(write(35, {1, 1, 1, 1}), 0);
    ASSERT_EQ(qvd().rz_ultralt_C_setSafePage(h, 30, 1), 0); // reading too
    EXPECT_EQ(read(30), 0) << "still authenticated";
    ASSERT_EQ(qvd().rz_reset(h, 2), 0);
    ASSERT_EQ(find(), 0);
    EXPECT_EQ(read(29), 0);
    EXPECT_EQ(read(30), 3);
    ASSERT_EQ(find(), 0);
    EXPECT_EQ(qvd().rz_ultralt_C_setSafePage(h, 2, 1), 4);
}

TEST_F(UltralightCards, LockingAPageLocksItsGroup)
{
    place("ultralightc");
    struct Case {
        int locked; // page handed to rz_ultralt_C_lockPage
        int page;   // page written afterwards
        int writeResult;
    };
    const Case cases[] = {
        {20, 23, 3}, {20, 24, 0}, {37, 36, 3}, {3, 3, 3}, {10, 11, 0}, {41, 41, 3}, {44, 47, 3},
    };
    for (const Case &c : cases) {
        bench.run("place usb1 typea ultralightc --uid 04A1B2C3D4E5F6");
        ASSERT_EQ(find(), 0);
        EXPECT_EQ(qvd().rz_ultralt_C_lockPage(h, static_cast<unsigned char>(c.locked)), 0) << c.locked;
        EXPECT_EQ(write(c.page, {1, 0, 0, 0}), c.writeResult) << c.locked << " then " << c.page;
    }
    // Block-locking bits (lockPage 40) freeze the lock bits of page 40.
    ASSERT_EQ(find(), 0);
    ASSERT_EQ(qvd().rz_ultralt_C_lockPage(h, 40), 0);
    EXPECT_EQ(qvd().rz_ultralt_C_lockPage(h, 28), 3);
    EXPECT_EQ(qvd().rz_ultralt_C_lockPage(h, 1), 4);
}

TEST_F(UltralightCards, AKeyChangeNeedsTheOldKeyAndTheNewOneServesAfterIt)
{
    place("ultralightc");
    ul::Key fresh, old = ul::factoryKey();
    for (size_t i = 0; i < fresh.size(); ++i)
        fresh[i] = static_cast<uint8_t>(0x10 + i);
    const std::pair<ul::Key, int> steps[] = {{fresh, 2}, {old, 0}}; // old key, then the result
    for (auto [oldKey, result] : steps) {
        ASSERT_EQ(find(), 0);
        EXPECT_EQ(qvd().rz_ultralt_C_changePwd(h, oldKey.data(), fresh.data()), result);
    }
    for (auto [key, result] : {std::pair{old, 2}, std::pair{fresh, 0}}) {
        ASSERT_EQ(find(), 0);
        EXPECT_EQ(authenticate(key), result);
    }
    const std::string dump = bench.run("dump usb1 typea");
    EXPECT_NE(dump.find("44: 17161514\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("key (as the reader sends it) 101112131415161718191A1B1C1D1E1F"), std::string::npos);
}

} // namespace
