#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{

using simtest::qvd;

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

TEST(T7sim, PlaceAndRemoveReachAnOpenReaderAtOnce)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    unsigned serial = 0;
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    EXPECT_EQ(serial, 0x5A3C910Eu);
    bench.run("place usb1 typea s70 --uid 01020304");
    int tag = 0;
    ASSERT_EQ(qvd().rz_request(h, 1, &tag), 0);
    EXPECT_EQ(tag, 2);
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    EXPECT_EQ(serial, 0x01020304u);
    bench.run("remove usb1 typea");
    EXPECT_NE(qvd().rz_card(h, 1, &serial), 0);
}

TEST(T7sim, ANewCardForgetsTheOldCardsAuthentication)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    unsigned serial = 0;
    unsigned char block[16];
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_authentication(h, 0, 1), 0);
    bench.run("place usb1 typea s50");
    EXPECT_NE(qvd().rz_read(h, 4, block), 0);
}

TEST(T7sim, ACardPutBackIsAFreshCardEvenWithTheSameUid)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    unsigned serial = 0;
    unsigned char block[16];
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    ASSERT_EQ(qvd().rz_authentication(h, 0, 1), 0);
    bench.run("place usb1 typea s50 --uid 5A3C910E");
    EXPECT_NE(qvd().rz_read(h, 4, block), 0);
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    EXPECT_EQ(serial, 0x5A3C910Eu);
}

TEST(T7sim, ShowListsReadersCardsAndPeripherals)
{
    sim::SimBench bench;
    const std::string shown = bench.run("show");
    EXPECT_TRUE(contains(shown, "usb1: USB, version \"T7-U1 V3.2 KORVANE\", protocol TYPE A")) << shown;
    EXPECT_TRUE(contains(shown, "  typea: s50 UID 5A3C910E"));
    EXPECT_TRUE(contains(shown, "  id125: id number"));
    EXPECT_TRUE(contains(shown, "usb2: USB"));
    EXPECT_TRUE(contains(shown, "  typea: s70 UID C47B2093"));
    EXPECT_TRUE(contains(shown, "com1: COM1 at 115200 baud"));
    EXPECT_TRUE(contains(shown, "com3: COM3 at 9600 baud, version \"T5S"));
    EXPECT_TRUE(contains(shown, "  beeps: 0"));
    EXPECT_TRUE(contains(shown, "  LED: \""));
    EXPECT_TRUE(contains(shown, "  clock: "));
    EXPECT_TRUE(contains(shown, "  LCD: \"\""));
}

TEST(T7sim, DumpShowsOneLinePerBlock)
{
    sim::SimBench bench;
    bench.run("place usb1 typea s50 --uid 11223344");
    const std::string dump = bench.run("dump usb1 typea");
    EXPECT_TRUE(contains(dump, "000: 11223344"
                               "44"
                               "08"
                               "0400"));
    EXPECT_TRUE(contains(dump, "003: FFFFFFFFFFFFFF078069FFFFFFFFFFFF"));
    EXPECT_TRUE(contains(dump, "063: FFFFFFFFFFFFFF078069FFFFFFFFFFFF"));
    EXPECT_FALSE(contains(dump, "064: "));
    EXPECT_TRUE(contains(dump, "-- sector 15"));
    bench.run("place usb1 typea s70");
    const std::string big = bench.run("dump usb1 typea");
    EXPECT_TRUE(contains(big, "255: FFFFFFFFFFFFFF078069FFFFFFFFFFFF"));
    EXPECT_TRUE(contains(big, "143: FFFFFFFFFFFFFF078069FFFFFFFFFFFF"));
    EXPECT_TRUE(contains(big, "-- sector 39\n240: "));
}

TEST(T7sim, RandomUidsDiffer)
{
    sim::SimBench bench;
    bench.run("place usb1 typea s50");
    const std::string first = bench.run("dump usb1 typea");
    bench.run("place usb1 typea s50");
    EXPECT_NE(bench.run("dump usb1 typea"), first);
}

TEST(T7sim, ResetBringsBackTheDefaultBench)
{
    sim::SimBench bench;
    bench.run("remove usb1 typea");
    bench.run("reset");
    EXPECT_TRUE(contains(bench.run("show"), "typea: s50 UID 5A3C910E"));
}

TEST(T7sim, ErrorsExitWithOneAndSayWhy)
{
    sim::SimBench bench;
    struct Case {
        const char *args;
        const char *says;
    };
    const Case cases[] = {
        {"place usb9 typea s50", "unknown reader 'usb9'"},
        {"place usb1 field s50", "unknown position 'field'"},
        {"place usb1 typea s51", "unknown kind 's51'"},
        {"place usb1 typea s50 --uid 1234", "bad UID '1234'"},
        {"place usb1 typea s50 --uid 0102030G", "bad UID"},
        {"place usb1 typea s50 --uid 010203040506", "bad UID"},
        {"place usb1 id125 id --number 12x", "bad number"},
        {"place usb1 id125 id --number 1099511627776", "40 bits"},
        {"place usb1 id125 s50", "goes in position typea"},
        {"place usb1 typea", "needs"},
        {"remove usb1 typeb", "no card"},
        {"remove usb7 typea", "unknown reader"},
        {"dump usb1 sam1", "no card"},
        {"frobnicate", "unknown command"},
        {"", "no command"},
    };
    // The reader clocks shown run with the PC's; hold it still.
    ::setenv("T7SIM_NOW", "1000000000", 1);
    const std::string before = bench.run("show");
    for (const Case &c : cases) {
        std::string output;
        EXPECT_EQ(bench.status(c.args, &output), 1) << c.args;
        EXPECT_TRUE(contains(output, c.says)) << c.args << " said: " << output;
    }
    EXPECT_EQ(bench.run("show"), before); // nothing changed
    ::unsetenv("T7SIM_NOW");
}

TEST(T7sim, HelpDescribesTheCommands)
{
    sim::SimBench bench;
    std::string output;
    ASSERT_EQ(bench.status("--help", &output), 0);
    for (const char *word : {"show", "place", "remove", "dump", "reset", "--uid", "--number", "T7SIM_BENCH"})
        EXPECT_TRUE(contains(output, word)) << word;
}

TEST(T7sim, SimBenchRestoresTheEnvironment)
{
    const char *outer = std::getenv("T7SIM_BENCH");
    const std::string before = outer ? outer : "<unset>";
    std::string folder;
    {
        sim::SimBench bench;
        folder = bench.folder();
        EXPECT_EQ(std::string(std::getenv("T7SIM_BENCH")), bench.benchFile());
    }
    const char *after = std::getenv("T7SIM_BENCH");
    EXPECT_EQ(after ? after : "<unset>", before);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

} // namespace
