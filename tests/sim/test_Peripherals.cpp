// The reader's own peripherals: DES, clock, LED, LCD, note memory, beeps.
#include "sim/core/ReaderDisplays.h"
#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

using simtest::qvd;

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

// Fixes the PC time both the library and t7sim see.
struct FixedPcTime {
    explicit FixedPcTime(long long now) { set(now); }
    ~FixedPcTime() { ::unsetenv("T7SIM_NOW"); }
    void set(long long now) { ::setenv("T7SIM_NOW", std::to_string(now).c_str(), 1); }
};

std::string upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct DesCase {
    const char *key;
    const char *plain;
    const char *cipher;
};

TEST(Des, MatchesPublishedVectorsBothWays)
{
    const DesCase cases[] = {
        {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"}, // FIPS 81, "Now is t"
        {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
        {"0123456789abcdef", "4e6f772069732074", "3FA40E8A984D4815"}, // either case in
        {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"}, // weak key, SP 800-17 table
    };
    for (const DesCase &c : cases) {
        char key[256] = {};
        char data[256] = {};
        char result[256] = {};
        std::strcpy(key, c.key);
        std::strcpy(data, c.plain);
        ASSERT_EQ(qvd().rz_des(key, data, result, 1), 0) << c.key;
        EXPECT_STREQ(result, c.cipher) << c.key;
        char back[256] = {};
        std::strcpy(data, result);
        ASSERT_EQ(qvd().rz_des(key, data, back, 0), 0) << c.key;
        EXPECT_EQ(upper(back), upper(c.plain)) << c.key;
    }
}

TEST(Des, RefusesWhatIsNotOneKeyAndOneBlock)
{
    const struct {
        const char *key;
        const char *data;
        int mode;
    } cases[] = {
        {"0123456789ABCDEF", "4E6F77206973207", 1},   // 15 digits
        {"0123456789ABCDEF", "4E6F7720697320741", 1}, // 17 digits
        {"0123456789ABCDEG", "4E6F772069732074", 0},  // not hex
        {"0123456789ABCDEF", "4E6F772069732074", 2},  // no such mode
    };
    for (const auto &c : cases) {
        char result[256] = "stale";
        EXPECT_NE(qvd().rz_des(const_cast<char *>(c.key), const_cast<char *>(c.data), result, c.mode), 0) << c.data;
        EXPECT_STREQ(result, "") << c.data;
    }
}

TEST(ReaderClock, TakesAValidRecordAndRunsOnFromIt)
{
    sim::SimBench bench;
    FixedPcTime pc(1'000'000'000);
    const int h = qvd().rz_init(100, 0);
    unsigned char record[7] = {0x26, 0x20, 0x03, 0x07, 0x09, 0x05, 0x02};
    ASSERT_EQ(qvd().rz_settime(h, record), 0);
    ASSERT_EQ(qvd().rz_ctl_mode(h, 1), 0);
    ASSERT_EQ(qvd().rz_disp_mode(h, 1), 0);
    std::string shown = bench.run("show");
    EXPECT_TRUE(contains(shown, "  clock: 2026-03-07 09:05:02 (set to 2026-03-07 09:05:02, runs on)")) << shown;
    EXPECT_TRUE(contains(shown, "  LED: \"09-05-02\" (clock, time)"));

    pc.set(1'000'000'000 + 15 * 3600 + 55 * 60); // past midnight
    ASSERT_EQ(qvd().rz_disp_mode(h, 0), 0);
    shown = bench.run("show");
    EXPECT_TRUE(contains(shown, "  clock: 2026-03-08 01:00:02")) << shown;
    EXPECT_TRUE(contains(shown, "  LED: \"2026.03.08\" (clock, date)"));
}

TEST(ReaderClock, RefusesBadDigitsAndImpossibleDates)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    const std::array<unsigned char, 7> refused[] = {
        {0x26, 0x20, 0x13, 0x07, 0x09, 0x05, 0x02}, // month 13
        {0x26, 0x20, 0x02, 0x29, 0x09, 0x05, 0x02}, // 29 February 2026
        {0x00, 0x19, 0x02, 0x29, 0x00, 0x00, 0x00}, // 1900 was no leap year
        {0x26, 0x20, 0x04, 0x31, 0x09, 0x05, 0x02}, // 31 April
        {0x26, 0x20, 0x03, 0x07, 0x24, 0x05, 0x02}, // hour 24
        {0x26, 0x20, 0x03, 0x07, 0x09, 0x60, 0x02}, // minute 60
        {0x2A, 0x20, 0x03, 0x07, 0x09, 0x05, 0x02}, // not a decimal digit
        {0x26, 0x20, 0x00, 0x07, 0x09, 0x05, 0x02}, // month 0
    };
    for (auto record : refused)
        EXPECT_NE(qvd().rz_settime(h, record.data()), 0) << int(record[2]) << " " << int(record[3]);
    EXPECT_TRUE(contains(bench.run("show"), "(never set: the PC's local time)"));
    unsigned char leapDay[7] = {0x24, 0x20, 0x02, 0x29, 0x23, 0x59, 0x59};
    EXPECT_EQ(qvd().rz_settime(h, leapDay), 0);
    EXPECT_NE(qvd().rz_settime(h, nullptr), 0);
}

TEST(LedDisplay, ShowsDigitPatternsInDigitModeAndKeepsThemInClockMode)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    // 1 2 3 4. 5 6 7 8 with the point after the 4; then 'A' and a pattern that is no character.
    unsigned char pattern[8] = {0x06, 0x5B, 0x4F, 0xE6, 0x6D, 0x7D, 0x77, 0x49};
    ASSERT_EQ(qvd().rz_LED_disp8(h, 8, pattern), 0);
    EXPECT_TRUE(contains(bench.run("show"), "  LED: \"")); // still the clock
    ASSERT_EQ(qvd().rz_ctl_mode(h, 0), 0);
    EXPECT_TRUE(contains(bench.run("show"), "  LED: \"1234.56A?\" (digits 065B4FE66D7D7749)"));
    EXPECT_NE(qvd().rz_LED_disp8(h, 7, pattern), 0);
    EXPECT_NE(qvd().rz_ctl_mode(h, 2), 0);
    EXPECT_NE(qvd().rz_disp_mode(h, 2), 0);
    EXPECT_NE(qvd().rz_ctl_mode(h + 100, 0), 0);
}

TEST(Lcd, ShowsTextWithItsLineBreaksAndTheBacklight)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    char text[] = "KORVANE T7\r\nready to read a card";
    ASSERT_EQ(qvd().rz_lcd_dispstr(h, text), 0);
    ASSERT_EQ(qvd().rz_lcd_setbright(h, 15), 0);
    std::string shown = bench.run("show");
    EXPECT_TRUE(contains(shown, "  LCD: \"KORVANE T7\\r\\nready to read a card\" backlight 15 (on)\n"
                                "    +----------------+\n"
                                "    |KORVANE T7      |\n"
                                "    |ready to read a |\n"
                                "    |card            |\n"
                                "    |                |\n"))
        << shown;
    ASSERT_EQ(qvd().rz_lcd_dispclear(h), 0);
    ASSERT_EQ(qvd().rz_lcd_setbright(h, 0), 0);
    EXPECT_TRUE(contains(bench.run("show"), "  LCD: \"\" backlight 0 (off)"));
    EXPECT_NE(qvd().rz_lcd_setbright(h, 16), 0);
    const std::string tooLong(sim::kLcdTextLimit + 1, 'x');
    EXPECT_NE(qvd().rz_lcd_dispstr(h, const_cast<char *>(tooLong.c_str())), 0);
}

TEST(NoteMemory, KeepsWhatWasWrittenInTheBenchFileWithinItsBounds)
{
    sim::SimBench bench;
    int h = qvd().rz_init(100, 0);
    unsigned char written[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    ASSERT_EQ(qvd().rz_swr_eeprom(h, 1276, 4, written), 0);
    ASSERT_EQ(qvd().rz_exit(h), 0);
    h = qvd().rz_init(100, 0);
    unsigned char read[6] = {};
    ASSERT_EQ(qvd().rz_srd_eeprom(h, 1274, 6, read), 0);
    EXPECT_EQ(std::memcmp(read + 2, written, 4), 0);
    EXPECT_EQ(read[0], 0);

    const struct {
        int offset;
        int length;
    } refused[] = {{1277, 4}, {1280, 1}, {-1, 2}, {0, 0}, {0, 1281}};
    for (const auto &r : refused) {
        EXPECT_NE(qvd().rz_srd_eeprom(h, r.offset, r.length, read), 0) << r.offset << "+" << r.length;
        EXPECT_NE(qvd().rz_swr_eeprom(h, r.offset, r.length, written), 0) << r.offset << "+" << r.length;
    }
    EXPECT_NE(qvd().rz_srd_eeprom(h + 100, 0, 1, read), 0);
}

TEST(Beeps, ShowTellsTheBeepsSinceItsLastLook)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    qvd().rz_beep(h, 10);
    qvd().rz_beep(h, 25);
    bench.run("show");
    EXPECT_TRUE(contains(bench.run("show"), "  beeps: 2, none since the last look\n"));
    qvd().rz_beep(h, 5);
    EXPECT_TRUE(contains(bench.run("show"), "  beeps: 3, 1 since the last look: 50 ms\n"));
}

} // namespace
