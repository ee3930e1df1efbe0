#include "sim/core/MifareClassic.h"

#include "dump/AccessConditions.h"

#include <cstddef>

namespace sim::mifare
{

bool accessBytesValid(const Block &t)
{
    return dump::accessBytesValid(t.data() + 6);
}

int accessBits(const Block &t, int group)
{
    return dump::accessBits(t.data() + 6, group);
}

std::array<uint8_t, 3> encodeAccessBytes(const std::array<int, 4> &groups)
{
    return dump::encodeAccessBytes(groups);
}

bool dataAccessAllowed(int bits, DataOp op, bool keyB)
{
    const dump::DataBlockAccess row = dump::dataBlockAccess(bits);
    switch (op) {
    case DataOp::Read:
        return dump::permits(row.read, keyB);
    case DataOp::Write:
        return dump::permits(row.write, keyB);
    case DataOp::Increment:
        return dump::permits(row.increment, keyB);
    case DataOp::DecrementTransferRestore:
        return dump::permits(row.decrementTransferRestore, keyB);
    }
    return false;
}

bool trailerReadAllowed(int bits, TrailerPart part, bool keyB)
{
    const dump::TrailerAccess row = dump::trailerAccess(bits);
    switch (part) {
    case TrailerPart::KeyA:
        return dump::permits(row.keyARead, keyB);
    case TrailerPart::AccessBits:
        return dump::permits(row.accessBitsRead, keyB);
    case TrailerPart::KeyB:
        return dump::permits(row.keyBRead, keyB);
    }
    return false;
}

bool trailerWriteAllowed(int bits, TrailerPart part, bool keyB)
{
    const dump::TrailerAccess row = dump::trailerAccess(bits);
    switch (part) {
    case TrailerPart::KeyA:
        return dump::permits(row.keyAWrite, keyB);
    case TrailerPart::AccessBits:
        return dump::permits(row.accessBitsWrite, keyB);
    case TrailerPart::KeyB:
        return dump::permits(row.keyBWrite, keyB);
    }
    return false;
}

bool keyBIsData(int bits)
{
    return dump::keyBIsData(bits);
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
