#include "sim/core/MifareClassic.h"

#include <cstddef>

namespace sim::mifare
{

int sectorOfBlock(int block)
{
    return block < 128 ? block / 4 : 32 + (block - 128) / 16;
}

int firstBlockOfSector(int sector)
{
    return sector < 32 ? sector * 4 : 128 + (sector - 32) * 16;
}

int blocksInSector(int sector)
{
    return sector < 32 ? 4 : 16;
}

int trailerOfSector(int sector)
{
    return firstBlockOfSector(sector) + blocksInSector(sector) - 1;
}

bool isTrailer(int block)
{
    return block == trailerOfSector(sectorOfBlock(block));
}

int accessGroup(int block)
{
    const int offset = block - firstBlockOfSector(sectorOfBlock(block));
    if (block < 128)
        return offset;
    // The large sectors share one group per five blocks.
    return offset == 15 ? 3 : offset / 5;
}

namespace
{

int bit(uint8_t byte, int n)
{
    return byte >> n & 1;
}

} // namespace

bool accessBytesValid(const Block &t)
{
    const uint8_t b6 = t[6];
    const uint8_t b7 = t[7];
    const uint8_t b8 = t[8];
    const bool c1 = ((b7 >> 4) & 0x0F) == (~b6 & 0x0F);
    const bool c2 = (b8 & 0x0F) == ((~b6 >> 4) & 0x0F);
    const bool c3 = ((b8 >> 4) & 0x0F) == (~b7 & 0x0F);
    return c1 && c2 && c3;
}

int accessBits(const Block &t, int group)
{
    const int c1 = bit(t[7], 4 + group);
    const int c2 = bit(t[8], group);
    const int c3 = bit(t[8], 4 + group);
    return c1 << 2 | c2 << 1 | c3;
}

std::array<uint8_t, 3> encodeAccessBytes(const std::array<int, 4> &groups)
{
    int c1 = 0;
    int c2 = 0;
    int c3 = 0;
    for (int g = 0; g < 4; ++g) {
        c1 |= (groups[g] >> 2 & 1) << g;
        c2 |= (groups[g] >> 1 & 1) << g;
        c3 |= (groups[g] & 1) << g;
    }
    const auto byte6 = static_cast<uint8_t>((~c2 & 0x0F) << 4 | (~c1 & 0x0F));
    const auto byte7 = static_cast<uint8_t>(c1 << 4 | (~c3 & 0x0F));
    const auto byte8 = static_cast<uint8_t>(c3 << 4 | c2);
    return {byte6, byte7, byte8};
}

namespace
{

// Who may: none, key A only, key B only, either.
enum Who { kNever = 0, kA = 1, kB = 2, kAB = 3 };

bool permits(Who who, bool keyB)
{
    return (who & (keyB ? kB : kA)) != 0;
}

struct DataRow {
    Who read, write, increment, decrement;
};

// Indexed by C1C2C3.
constexpr DataRow kDataTable[8] = {
    {kAB, kAB, kAB, kAB},          // 000 transport configuration
    {kAB, kNever, kNever, kAB},    // 001 value block, decrement only
    {kAB, kNever, kNever, kNever}, // 010 read only
    {kB, kB, kNever, kNever},      // 011
    {kAB, kB, kNever, kNever},     // 100
    {kB, kNever, kNever, kNever},  // 101
    {kAB, kB, kB, kAB},            // 110 value block
    {kNever, kNever, kNever, kNever},
};

struct TrailerRow {
    Who keyARead, keyAWrite, accessRead, accessWrite, keyBRead, keyBWrite;
};

constexpr TrailerRow kTrailerTable[8] = {
    {kNever, kA, kA, kNever, kA, kA},              // 000
    {kNever, kA, kA, kA, kA, kA},                  // 001 transport configuration
    {kNever, kNever, kA, kNever, kA, kNever},      // 010
    {kNever, kB, kAB, kB, kNever, kB},             // 011
    {kNever, kB, kAB, kNever, kNever, kB},         // 100
    {kNever, kNever, kAB, kB, kNever, kNever},     // 101
    {kNever, kNever, kAB, kNever, kNever, kNever}, // 110
    {kNever, kNever, kAB, kNever, kNever, kNever}, // 111
};

} // namespace

bool dataAccessAllowed(int bits, DataOp op, bool keyB)
{
    const DataRow &row = kDataTable[bits & 7];
    switch (op) {
    case DataOp::Read:
        return permits(row.read, keyB);
    case DataOp::Write:
        return permits(row.write, keyB);
    case DataOp::Increment:
        return permits(row.increment, keyB);
    case DataOp::DecrementTransferRestore:
        return permits(row.decrement, keyB);
    }
    return false;
}

bool trailerReadAllowed(int bits, TrailerPart part, bool keyB)
{
    const TrailerRow &row = kTrailerTable[bits & 7];
    switch (part) {
    case TrailerPart::KeyA:
        return permits(row.keyARead, keyB);
    case TrailerPart::AccessBits:
        return permits(row.accessRead, keyB);
    case TrailerPart::KeyB:
        return permits(row.keyBRead, keyB);
    }
    return false;
}

bool trailerWriteAllowed(int bits, TrailerPart part, bool keyB)
{
    const TrailerRow &row = kTrailerTable[bits & 7];
    switch (part) {
    case TrailerPart::KeyA:
        return permits(row.keyAWrite, keyB);
    case TrailerPart::AccessBits:
        return permits(row.accessWrite, keyB);
    case TrailerPart::KeyB:
        return permits(row.keyBWrite, keyB);
    }
    return false;
}

bool keyBIsData(int bits)
{
    return kTrailerTable[bits & 7].keyBRead != kNever;
}

namespace
{

uint32_t le32(const Block &b, int at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

void putLe32(Block &b, int at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

bool decodeValue(const Block &b, int32_t *value, uint8_t *address)
{
    const uint32_t v = le32(b, 0);
    if (le32(b, 4) != ~v || le32(b, 8) != v)
        return false;
    if (b[12] != b[14] || b[13] != b[15] || b[13] != static_cast<uint8_t>(~b[12]))
        return false;
    *value = static_cast<int32_t>(v);
    *address = b[12];
    return true;
}

Block encodeValue(int32_t value, uint8_t address)
{
    Block b{};
    const auto v = static_cast<uint32_t>(value);
    putLe32(b, 0, v);
    putLe32(b, 4, ~v);
    putLe32(b, 8, v);
    const auto inverted = static_cast<uint8_t>(~address);
    b[12] = address;
    b[13] = inverted;
    b[14] = address;
    b[15] = inverted;
    return b;
}

Block factoryTrailer()
{
    Block t;
    t.fill(0xFF);
    t[6] = 0xFF;
    t[7] = 0x07;
    t[8] = 0x80;
    t[9] = 0x69;
    return t;
}

uint16_t atqa(bool fourK, std::size_t uidSize)
{
    const uint16_t base = fourK ? 0x0002 : 0x0004;
    return uidSize == 7 ? static_cast<uint16_t>(base | 0x0040) : base;
}

std::vector<Block> factoryMemory(int blockCount, const std::vector<uint8_t> &uid, uint8_t sak, uint16_t atqa)
{
    std::vector<Block> memory(static_cast<std::size_t>(blockCount), Block{});
    Block &b0 = memory[0];
    std::size_t at = 0;
    for (const uint8_t u : uid)
        b0[at++] = u;
    if (uid.size() == 4) {
        b0[at++] = static_cast<uint8_t>(uid[0] ^ uid[1] ^ uid[2] ^ uid[3]);
    }
    b0[at++] = sak;
    b0[at++] = static_cast<uint8_t>(atqa & 0xFF);
    b0[at++] = static_cast<uint8_t>(atqa >> 8);
    // Manufacturer data.
    static const uint8_t kMaker[] = {0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69};
    for (std::size_t i = 0; at < b0.size(); ++i)
        b0[at++] = kMaker[i % sizeof kMaker];
    for (int b = 0; b < blockCount; ++b)
        if (isTrailer(b))
            memory[static_cast<std::size_t>(b)] = factoryTrailer();
    return memory;
}

} // namespace sim::mifare
