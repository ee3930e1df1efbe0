// t7sim import and export: dump files round trip through simulated cards,
// bytes a dump does not know stay the card's, malformed files change nothing.
#include "dump/DumpFile.h"
#include "sim/core/Bench.h"
#include "sim/core/CardDump.h"
#include "tests/support/SimBench.h"

#include <gtest/gtest.h>

#include <gmock/gmock.h>

#include <fstream>
#include <random>
#include <sstream>

namespace
{

using ::testing::HasSubstr;

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Random content, valid trailers, block 0 of a card with UID 11223344.
dump::CardImage cardImage(int blocks, unsigned seed)
{
    std::mt19937 random(seed);
    dump::CardImage image(blocks);
    for (int b = 0; b < blocks; ++b) {
        dump::Block data;
        for (uint8_t &byte : data)
            byte = static_cast<uint8_t>(random());
        if (dump::isTrailer(b)) {
            data[6] = 0xFF, data[7] = 0x07, data[8] = 0x80;
        }
        image.setBlock(b, data);
    }
    image.setBlock(0, {0x11, 0x22, 0x33, 0x44, 0x44, 0x08, 0x04, 0x00, 1, 2, 3, 4, 5, 6, 7, 8});
    return image;
}

class T7simDumps : public ::testing::Test
{
protected:
    std::string file(const std::string &name) const { return bench.folder() + "/" + name; }
    void save(const std::string &name, const dump::CardImage &image, dump::Format format)
    {
        ASSERT_EQ(dump::saveDumpFile(file(name), image, format), "");
    }

    sim::SimBench bench;
};

TEST_F(T7simDumps, EveryFormatRoundTripsThroughImportAndExport)
{
    for (const int blocks : {dump::kBlocks1K, dump::kBlocks4K}) {
        const dump::CardImage image = cardImage(blocks, static_cast<unsigned>(blocks));
        save("start.bin", image, dump::Format::Binary);
        EXPECT_THAT(bench.run("import usb1 typea " + file("start.bin")), HasSubstr("UID 11223344"));
        for (const char *extension : {"mfd", "bin", "eml", "json", "mct"}) {
            const std::string name = file(std::string("card.") + extension);
            bench.run("export usb1 typea " + name);
            bench.run("import usb2 typea " + name);
            bench.run("export usb2 typea " + file("back.bin"));
            EXPECT_EQ(readFile(file("back.bin")), readFile(file("start.bin"))) << extension << " " << blocks;
        }
        bench.run("export usb1 typea " + file("named.dump") + " --format eml");
        EXPECT_TRUE(dump::parseDump(readFile(file("named.dump")), dump::Format::Eml).ok());
    }
}

TEST_F(T7simDumps, BytesTheDumpDoesNotKnowStayTheCards)
{
    bench.run("place usb1 typea s50 --uid 0A0B0C0D");
    dump::CardImage part(dump::kBlocks1K);
    part.setBlock(5, dump::Block{9, 9, 9});
    dump::Block trailer{};
    trailer.fill(0xAB);
    part.setBlock(7, trailer, 0xFC00); // key B only
    save("part.mct", part, dump::Format::Mct);
    bench.run("import usb1 typea " + file("part.mct"));
    const std::string shown = bench.run("dump usb1 typea");
    EXPECT_THAT(shown, HasSubstr("s50 UID 0A0B0C0D"));
    EXPECT_THAT(shown, HasSubstr("005: 09090900000000000000000000000000"));
    EXPECT_THAT(shown, HasSubstr("007: FFFFFFFFFFFFFF078069ABABABABABAB"));
    EXPECT_THAT(shown, HasSubstr("011: FFFFFFFFFFFFFF078069FFFFFFFFFFFF"));

    // Onto a card of the other size: a new card, factory content where the dump is silent.
    bench.run("import usb2 typea " + file("part.mct"));
    const std::string other = bench.run("dump usb2 typea");
    EXPECT_THAT(other, HasSubstr("s50 UID"));
    EXPECT_THAT(other, HasSubstr("007: FFFFFFFFFFFFFF078069ABABABABABAB"));
}

TEST_F(T7simDumps, MalformedFilesAndWrongArgumentsChangeNothing)
{
    std::ofstream(file("short.bin"), std::ios::binary) << std::string(1000, '\0');
    std::ofstream(file("bad.mct")) << "+Sector: 0\nzz\n";
    save("good.eml", cardImage(dump::kBlocks1K, 3), dump::Format::Eml);
    struct Case {
        std::string args;
        const char *says;
    };
    const Case cases[] = {
        {"import usb1 typea " + file("short.bin"), "1000 bytes: a dump holds a 1K card"},
        {"import usb1 typea " + file("bad.mct"), "line 2: 32 hexadecimal digits or dashes expected"},
        {"import usb1 typea " + file("good.txt"), "not known by its extension"},
        {"import usb1 typea " + file("good.eml") + " --format xml", "unknown dump format 'xml'"},
        {"import usb1 typeb " + file("good.eml"), "position typea, not typeb"},
        {"export usb1 typea " + file("no/folder/x.mct"), "cannot be written"},
    };
    bench.run("remove usb2 typea");
    const std::string before = bench.run("show");
    for (const Case &c : cases) {
        std::string output;
        EXPECT_EQ(bench.status(c.args, &output), 1) << c.args;
        EXPECT_THAT(output, HasSubstr(c.says)) << c.args;
    }
    std::string output;
    EXPECT_EQ(bench.status("export usb2 typea " + file("x.mct"), &output), 1);
    EXPECT_THAT(output, HasSubstr("no card in usb2 typea"));
    EXPECT_EQ(bench.run("show"), before);
}

TEST(CardDump, ASevenByteUidIsTakenFromBlockZero)
{
    dump::CardImage image(dump::kBlocks1K);
    image.setBlock(0, {0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x08, 0x44, 0x00});
    const sim::Card seven = sim::cardFromImage(image, nullptr);
    EXPECT_EQ(seven.uid, std::vector<uint8_t>({0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
    EXPECT_EQ(seven.kind, sim::CardKind::S50);
    EXPECT_EQ(sim::imageOfCard(seven).block(0), image.block(0));
}

} // namespace
