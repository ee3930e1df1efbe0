// Dump files: every format round trip, the marks for unknown bytes, and the
// refusals of malformed files.
#include "dump/DumpFile.h"
#include "dump/Hex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace
{

using dump::Format;
using ::testing::HasSubstr;

dump::CardImage randomImage(int blocks, unsigned seed)
{
    std::mt19937 random(seed);
    dump::CardImage image(blocks);
    for (int b = 0; b < blocks; ++b) {
        dump::Block data;
        for (uint8_t &byte : data)
            byte = static_cast<uint8_t>(random());
        image.setBlock(b, data);
    }
    return image;
}

class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "t7dump-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

const Format kFormats[] = {Format::Binary, Format::Eml, Format::Json, Format::Mct};

TEST(DumpFile, EveryFormatRoundTripsBothCardSizesThroughAFile)
{
    const TempFolder folder;
    for (const Format format : kFormats) {
        for (const int blocks : {dump::kBlocks1K, dump::kBlocks4K}) {
            const dump::CardImage image = randomImage(blocks, static_cast<unsigned>(blocks) + int(format));
            const std::string path = folder.file("card");
            ASSERT_EQ(dump::saveDumpFile(path, image, format), "") << dump::formatDescription(format);
            const dump::Loaded loaded = dump::loadDumpFile(path, format, blocks);
            ASSERT_TRUE(loaded.ok()) << dump::formatDescription(format) << ": " << loaded.error;
            EXPECT_EQ(loaded.image, image) << dump::formatDescription(format) << " " << blocks;
            EXPECT_TRUE(dump::loadDumpFile(path, format).ok()) << "the file tells its own size";
        }
    }
}

TEST(DumpFile, TheFilesLookAsOtherToolsWriteThem)
{
    dump::CardImage image = randomImage(dump::kBlocks1K, 1);
    dump::Block b0 = {0x5A, 0x3C, 0x91, 0x0E, 0xF9, 0x08, 0x04, 0x00, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69};
    image.setBlock(0, b0);
    const std::string eml = *dump::formatDump(image, Format::Eml);
    EXPECT_EQ(eml.substr(0, 33), "5a3c910ef90804006263646566676869\n");
    const std::string mct = *dump::formatDump(image, Format::Mct);
    EXPECT_EQ(mct.substr(0, 44), "+Sector: 0\n5A3C910EF90804006263646566676869\n");
    const auto json = nlohmann::json::parse(*dump::formatDump(image, Format::Json));
    EXPECT_EQ(json["FileType"], "mfcard");
    EXPECT_EQ(json["Card"]["UID"], "5A3C910E");
    EXPECT_EQ(json["Card"]["SAK"], "08");
    EXPECT_EQ(json["blocks"]["0"], "5A3C910EF90804006263646566676869");
    EXPECT_EQ(json["SectorKeys"]["15"]["AccessConditions"], dump::hexOf(image.block(63).data() + 6, 4));
}

TEST(DumpFile, MctMarksUnknownBytesWithDashesAndKeepsThemUnknown)
{
    dump::CardImage image(dump::kBlocks4K);
    const dump::Block trailer = {0, 0, 0, 0, 0, 0, 0xFF, 0x07, 0x80, 0x69, 1, 2, 3, 4, 5, 6};
    image.setBlock(3, trailer, 0xFFC0); // key A kept back by the card
    image.setBlock(200, dump::Block{});
    const std::string mct = *dump::formatDump(image, Format::Mct);
    EXPECT_THAT(mct, HasSubstr("+Sector: 0\n" + std::string(32, '-') + "\n" + std::string(32, '-') + "\n" +
                               std::string(32, '-') + "\n------------FF078069010203040506\n"));
    const dump::Loaded loaded = dump::parseDump(mct, Format::Mct);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    EXPECT_EQ(loaded.image, image);
}

TEST(DumpFile, FormatsThatCannotMarkUnknownBytesRefuseThemUnlessToldToWriteZeros)
{
    const TempFolder folder;
    dump::CardImage image = randomImage(dump::kBlocks1K, 2);
    image.forget(17);
    for (const Format format : {Format::Binary, Format::Eml, Format::Json}) {
        const std::string path = folder.file("refused");
        EXPECT_THAT(dump::saveDumpFile(path, image, format), HasSubstr("16 bytes are not known"));
        EXPECT_FALSE(std::filesystem::exists(path)) << "nothing written";
        ASSERT_EQ(dump::saveDumpFile(path, image, format, dump::UnknownBytes::AsZero), "");
        const dump::Loaded loaded = dump::loadDumpFile(path, format);
        ASSERT_TRUE(loaded.ok());
        EXPECT_EQ(loaded.image.block(17), dump::Block{});
        EXPECT_TRUE(loaded.image.complete());
        std::filesystem::remove(path);
    }
}

TEST(DumpFile, MctReadsUnreadMarksLeftOutSectorsAndTheSizeAskedFor)
{
    std::string text = "+Sector: 33\n";
    for (int i = 0; i < 16; ++i)
        text += std::string(32, '0') + "\r\n";
    text += "+Sector: 3\n*No keys found or dead sector\n\n";
    const dump::Loaded loaded = dump::parseDump(text, Format::Mct);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    EXPECT_EQ(loaded.image.blockCount(), 256) << "a sector above 15: a 4K card";
    EXPECT_TRUE(loaded.image.isKnown(144));
    EXPECT_TRUE(loaded.image.isUnread(12));
    EXPECT_TRUE(loaded.image.isUnread(143));
    const std::string small = "+Sector: 1\n" + std::string(32, '1') + "\n" + std::string(32, '2') + "\n" +
                              std::string(32, '3') + "\n" + std::string(32, '4') + "\n";
    EXPECT_EQ(dump::parseDump(small, Format::Mct).image.blockCount(), 64);
    EXPECT_EQ(dump::parseDump(small, Format::Mct, dump::kBlocks4K).image.blockCount(), 256);
}

TEST(DumpFile, MalformedFilesAreRefusedWithTheReason)
{
    const std::string line(32, '0');
    const auto lines = [&](int n, const std::string &prefix = "") {
        std::string text = prefix;
        for (int i = 0; i < n; ++i)
            text += line + "\n";
        return text;
    };
    nlohmann::json blocks;
    for (int b = 0; b < 64; ++b)
        blocks[std::to_string(b)] = line;
    nlohmann::json missing = blocks;
    missing.erase("5");
    missing["64"] = line;
    nlohmann::json badHex = blocks;
    badHex["7"] = "0G" + line.substr(2);

    struct Case {
        Format format;
        std::string content;
        int blockCount;
        const char *says;
    };
    const Case cases[] = {
        {Format::Binary, std::string(1000, '\0'), 0, "1000 bytes: a dump holds a 1K card"},
        {Format::Binary, std::string(1024, '\0'), 256,
         "dump of a 1K card (64 blocks); a 4K card (256 blocks) is needed"},
        {Format::Eml, lines(63), 0, "63 blocks"},
        {Format::Eml, lines(4) + line.substr(1) + "\n" + lines(59), 0, "line 5: 32 hexadecimal digits expected"},
        {Format::Json, "{\"blocks\": {", 0, "not JSON"},
        {Format::Json, "{\"Card\": {}}", 0, "no \"blocks\" object"},
        {Format::Json, nlohmann::json{{"blocks", missing}}.dump(), 0, "block \"5\" is missing"},
        {Format::Json, nlohmann::json{{"blocks", badHex}}.dump(), 0, "block \"7\": 32 hexadecimal digits expected"},
        {Format::Mct, lines(4), 0, "line 1: \"+Sector: N\" expected"},
        {Format::Mct, lines(3, "+Sector: 1\n"), 0, "line 1: sector 1 needs 4 blocks, it has 3"},
        {Format::Mct, lines(5, "+Sector: 1\n"), 0, "line 6: sector 1 has only 4 blocks"},
        {Format::Mct, lines(4, "+Sector: 40\n"), 0, "sector 40 does not exist"},
        {Format::Mct, lines(4, "+Sector: 2\n") + lines(4, "+Sector: 2\n"), 0, "line 6: sector 2 appears twice"},
        {Format::Mct, "+Sector: 0\n-F" + line.substr(2) + "\n" + lines(3), 0,
         "line 2: 32 hexadecimal digits or dashes"},
        {Format::Mct, lines(16, "+Sector: 35\n"), 64, "sector 35 does not exist on a 1K card"},
        {Format::Mct, "+Sector: 0\n*No keys\n" + line + "\n", 0, "line 3: 32 hexadecimal digits or dashes"},
    };
    for (const Case &c : cases) {
        const dump::Loaded loaded = dump::parseDump(c.content, c.format, c.blockCount);
        EXPECT_THAT(loaded.error, HasSubstr(c.says)) << dump::formatDescription(c.format) << ": " << c.says;
    }
    EXPECT_THAT(dump::loadDumpFile("/nonexistent/card.mct", Format::Mct).error, HasSubstr("cannot be opened"));
}

TEST(DumpFile, TheFormatFollowsTheExtension)
{
    EXPECT_EQ(dump::formatOfPath("/a/card.MFD"), Format::Binary);
    EXPECT_EQ(dump::formatOfPath("x.y/card.eml"), Format::Eml);
    EXPECT_FALSE(dump::formatOfPath("card.txt"));
    EXPECT_FALSE(dump::formatOfPath("dumps.mct/card"));
}

} // namespace
