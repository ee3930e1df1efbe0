#include "dump/DumpFile.h"

#include "dump/Hex.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

namespace dump
{
namespace
{

constexpr size_t kBlockDigits = 2 * kBlockSize;
// Far beyond any dump; a bigger file is not read into memory.
constexpr std::streamoff kLargestFile = 1 << 20;

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> linesOf(const std::string &content)
{
    std::vector<std::string> lines;
    std::istringstream in(content);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(trimmed(line));
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

Loaded refused(std::string reason)
{
    return {CardImage(), std::move(reason)};
}

std::string atLine(size_t index, const std::string &what)
{
    return "line " + std::to_string(index + 1) + ": " + what;
}

std::string sizeName(int blocks)
{
    return blocks == kBlocks4K ? "4K card (256 blocks)" : "1K card (64 blocks)";
}

// "" when `blocks` is a card's size and the one asked for (0: any).
std::string sizeRefusal(int blocks, int wanted, const std::string &counted)
{
    if (blocks != kBlocks1K && blocks != kBlocks4K)
        return counted + ": a dump holds a 1K card (64 blocks, 1024 bytes) or a 4K card (256 blocks, 4096 bytes)";
    if (wanted != 0 && blocks != wanted)
        return "this is the dump of a " + sizeName(blocks) + "; a " + sizeName(wanted) + " is needed here";
    return {};
}

std::string counted(size_t count, const char *unit)
{
    return std::to_string(count) + " " + unit;
}

Loaded parseBinary(const std::string &content, int wanted)
{
    const bool whole = content.size() % kBlockSize == 0;
    const int blocks = whole ? static_cast<int>(content.size() / kBlockSize) : -1;
    if (const std::string why = sizeRefusal(blocks, wanted, counted(content.size(), "bytes")); !why.empty())
        return refused(why);
    CardImage image(blocks);
    for (int b = 0; b < blocks; ++b) {
        Block data;
        std::memcpy(data.data(), content.data() + static_cast<size_t>(b) * kBlockSize, kBlockSize);
        image.setBlock(b, data);
    }
    return {image, {}};
}

Loaded parseEml(const std::string &content, int wanted)
{
    const std::vector<std::string> lines = linesOf(content);
    std::vector<Block> blocks;
    for (size_t i = 0; i < lines.size(); ++i) {
        Block data;
        if (!parseHex(lines[i], data.data(), kBlockSize))
            return refused(atLine(i, "32 hexadecimal digits expected"));
        blocks.push_back(data);
    }
    const int count = static_cast<int>(blocks.size());
    if (const std::string why = sizeRefusal(count, wanted, counted(blocks.size(), "blocks")); !why.empty())
        return refused(why);
    CardImage image(count);
    for (int b = 0; b < count; ++b)
        image.setBlock(b, blocks[static_cast<size_t>(b)]);
    return {image, {}};
}

Loaded parseJson(const std::string &content, int wanted)
{
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(content);
    } catch (const nlohmann::json::exception &e) {
        return refused(std::string("not JSON (") + e.what() + ")");
    }
    if (!json.is_object() || !json.contains("blocks") || !json["blocks"].is_object())
        return refused("no \"blocks\" object: not a Proxmark3 MIFARE Classic dump");
    const nlohmann::json &blocks = json["blocks"];
    const int count = static_cast<int>(blocks.size());
    if (const std::string why = sizeRefusal(count, wanted, counted(blocks.size(), "blocks")); !why.empty())
        return refused(why);
    CardImage image(count);
    for (int b = 0; b < count; ++b) {
        const std::string key = std::to_string(b);
        if (!blocks.contains(key))
            return refused("block \"" + key + "\" is missing");
        Block data;
        if (!blocks[key].is_string() || !parseHex(blocks[key].get<std::string>(), data.data(), kBlockSize))
            return refused("block \"" + key + "\": 32 hexadecimal digits expected");
        image.setBlock(b, data);
    }
    return {image, {}};
}

bool isMctBlockLine(const std::string &line)
{
    return line.size() == kBlockDigits &&
           std::all_of(line.begin(), line.end(), [](char c) { return c == '-' || hexDigitValue(c) >= 0; });
}

// "+Sector: N" gives N, anything else -1.
int mctSectorHeader(const std::string &line)
{
    static const std::string kHeader = "+Sector:";
    if (line.compare(0, kHeader.size(), kHeader) != 0)
        return -1;
    const std::string number = trimmed(line.substr(kHeader.size()));
    if (number.empty() || number.size() > 2 || number.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(number);
}

// Dashes are unknown bytes; a byte half dashed is not a byte.
bool mctBlock(const std::string &line, Block &data, uint16_t &known)
{
    known = 0;
    data.fill(0);
    for (int i = 0; i < kBlockSize; ++i) {
        const char high = line[2 * i];
        const char low = line[2 * i + 1];
        if (high == '-' && low == '-')
            continue;
        if (high == '-' || low == '-')
            return false;
        data[i] = static_cast<uint8_t>(hexDigitValue(high) << 4 | hexDigitValue(low));
        known |= static_cast<uint16_t>(1u << i);
    }
    return true;
}

struct MctSector {
    int number = 0;
    size_t headerLine = 0;
    bool unreadMark = false; // MIFARE Classic Tool's "*No keys found or dead sector"
    std::vector<std::pair<Block, uint16_t>> blocks;
};

Loaded parseMct(const std::string &content, int wanted)
{
    const std::vector<std::string> lines = linesOf(content);
    std::vector<MctSector> sectors;
    std::set<int> seen;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        if (line.empty())
            continue;
        if (const int number = mctSectorHeader(line); number >= 0) {
            if (number >= 40)
                return refused(atLine(i, "sector " + std::to_string(number) + " does not exist (0 to 39)"));
            if (!seen.insert(number).second)
                return refused(atLine(i, "sector " + std::to_string(number) + " appears twice"));
            sectors.push_back({number, i, false, {}});
            continue;
        }
        if (sectors.empty())
            return refused(atLine(i, "\"+Sector: N\" expected: not a MIFARE Classic Tool dump"));
        MctSector &sector = sectors.back();
        if (line[0] == '*' && sector.blocks.empty() && !sector.unreadMark) {
            sector.unreadMark = true;
            continue;
        }
        Block data;
        uint16_t known = 0;
        if (sector.unreadMark || !isMctBlockLine(line) || !mctBlock(line, data, known))
            return refused(atLine(i, "32 hexadecimal digits or dashes expected"));
        if (static_cast<int>(sector.blocks.size()) == blocksInSector(sector.number))
            return refused(atLine(i, "sector " + std::to_string(sector.number) + " has only " +
                                         std::to_string(blocksInSector(sector.number)) + " blocks"));
        sector.blocks.emplace_back(data, known);
    }
    if (sectors.empty())
        return refused("no \"+Sector: N\" line: not a MIFARE Classic Tool dump");
    int highest = 0;
    for (const MctSector &sector : sectors) {
        highest = std::max(highest, sector.number);
        const int expected = blocksInSector(sector.number);
        if (!sector.unreadMark && static_cast<int>(sector.blocks.size()) != expected)
            return refused(atLine(sector.headerLine, "sector " + std::to_string(sector.number) + " needs " +
                                                         std::to_string(expected) + " blocks, it has " +
                                                         std::to_string(sector.blocks.size())));
    }
    const int blocks = wanted != 0 ? wanted : highest >= 16 ? kBlocks4K : kBlocks1K;
    if (highest >= sectorCount(blocks))
        return refused("sector " + std::to_string(highest) + " does not exist on a " + sizeName(blocks));
    CardImage image(blocks);
    for (const MctSector &sector : sectors)
        for (size_t k = 0; k < sector.blocks.size(); ++k)
            image.setBlock(firstBlockOfSector(sector.number) + static_cast<int>(k), sector.blocks[k].first,
                           sector.blocks[k].second);
    return {image, {}};
}

std::string binaryText(const CardImage &image)
{
    std::string bytes;
    for (int b = 0; b < image.blockCount(); ++b)
        bytes.append(reinterpret_cast<const char *>(image.block(b).data()), kBlockSize);
    return bytes;
}

std::string blockHex(const CardImage &image, int b, bool upperCase = true)
{
    return hexOf(image.block(b).data(), kBlockSize, upperCase);
}

std::string emlText(const CardImage &image)
{
    std::string text;
    for (int b = 0; b < image.blockCount(); ++b)
        text += blockHex(image, b, false) + "\n";
    return text;
}

std::string mctText(const CardImage &image)
{
    std::string text;
    for (int s = 0; s < image.sectorCount(); ++s) {
        text += "+Sector: " + std::to_string(s) + "\n";
        for (int b = firstBlockOfSector(s); b <= trailerOfSector(s); ++b) {
            std::string line = blockHex(image, b);
            for (int i = 0; i < kBlockSize; ++i)
                if (!(image.knownBytes(b) >> i & 1))
                    line.replace(static_cast<size_t>(2 * i), 2, "--");
            text += line + "\n";
        }
    }
    return text;
}

// UID, ATQA and SAK from block 0: a 4-byte UID is followed by its check byte.
nlohmann::ordered_json cardOfBlock0(const Block &b0)
{
    const bool fourByteUid = (b0[0] ^ b0[1] ^ b0[2] ^ b0[3]) == b0[4];
    const size_t uidSize = fourByteUid ? 4 : 7;
    const size_t sakAt = fourByteUid ? 5 : 7;
    nlohmann::ordered_json card;
    card["UID"] = hexOf(b0.data(), uidSize);
    card["ATQA"] = hexOf(b0.data() + sakAt + 1, 2);
    card["SAK"] = hexOf(b0.data() + sakAt, 1);
    return card;
}

std::string jsonText(const CardImage &image)
{
    nlohmann::ordered_json json;
    json["Created"] = "T7Demo";
    json["FileType"] = "mfcard";
    if (image.isKnown(0))
        json["Card"] = cardOfBlock0(image.block(0));
    nlohmann::ordered_json blocks = nlohmann::ordered_json::object();
    for (int b = 0; b < image.blockCount(); ++b)
        blocks[std::to_string(b)] = blockHex(image, b);
    json["blocks"] = blocks;
    nlohmann::ordered_json keys = nlohmann::ordered_json::object();
    for (int s = 0; s < image.sectorCount(); ++s) {
        const Block &t = image.block(trailerOfSector(s));
        keys[std::to_string(s)] = {{"KeyA", hexOf(t.data(), 6)},
                                   {"KeyB", hexOf(t.data() + 10, 6)},
                                   {"AccessConditions", hexOf(t.data() + 6, 4)}};
    }
    json["SectorKeys"] = keys;
    return json.dump(2) + "\n";
}

} // namespace

std::optional<Format> formatFromName(const std::string &name)
{
    const std::string n = lowerCase(name);
    if (n == "bin" || n == "mfd")
        return Format::Binary;
    if (n == "eml")
        return Format::Eml;
    if (n == "json")
        return Format::Json;
    if (n == "mct")
        return Format::Mct;
    return std::nullopt;
}

std::optional<Format> formatOfPath(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    return formatFromName(path.substr(dot + 1));
}

const char *formatDescription(Format format)
{
    switch (format) {
    case Format::Binary:
        return "raw binary";
    case Format::Eml:
        return "Proxmark3 .eml";
    case Format::Json:
        return "Proxmark3 .json";
    case Format::Mct:
        return "MIFARE Classic Tool .mct";
    }
    return "?";
}

bool marksUnknownBytes(Format format)
{
    return format == Format::Mct;
}

Loaded parseDump(const std::string &content, Format format, int blockCount)
{
    switch (format) {
    case Format::Binary:
        return parseBinary(content, blockCount);
    case Format::Eml:
        return parseEml(content, blockCount);
    case Format::Json:
        return parseJson(content, blockCount);
    case Format::Mct:
        return parseMct(content, blockCount);
    }
    return refused("unknown format");
}

Loaded loadDumpFile(const std::string &path, Format format, int blockCount)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return refused(std::string("cannot be opened (") + std::strerror(errno) + ")");
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size > kLargestFile)
        return refused(std::to_string(size) + " bytes: far too large for a dump");
    in.seekg(0, std::ios::beg);
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return refused("cannot be read");
    return parseDump(content, format, blockCount);
}

std::optional<std::string> formatDump(const CardImage &image, Format format, UnknownBytes policy)
{
    if (!marksUnknownBytes(format) && !image.complete() && policy == UnknownBytes::Refuse)
        return std::nullopt;
    switch (format) {
    case Format::Binary:
        return binaryText(image);
    case Format::Eml:
        return emlText(image);
    case Format::Json:
        return jsonText(image);
    case Format::Mct:
        return mctText(image);
    }
    return std::nullopt;
}

std::string saveDumpFile(const std::string &path, const CardImage &image, Format format, UnknownBytes policy)
{
    const std::optional<std::string> content = formatDump(image, format, policy);
    if (!content)
        return std::to_string(image.unknownByteCount()) + " bytes are not known, and a " + formatDescription(format) +
               " file cannot mark them";
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return std::string("cannot be written (") + std::strerror(errno) + ")";
        out.write(content->data(), static_cast<std::streamsize>(content->size()));
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return "cannot be written (disk full?)";
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        return "cannot be written (" + reason + ")";
    }
    return {};
}

} // namespace dump
