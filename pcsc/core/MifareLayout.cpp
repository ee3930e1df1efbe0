#include "pcsc/core/MifareLayout.h"

#include <cstring>

namespace pcsc::mifare
{

int sectorOfBlock(int block)
{
    return block < 128 ? block / 4 : 32 + (block - 128) / 16;
}

int firstBlockOfSector(int sector)
{
    return sector < 32 ? 4 * sector : 128 + 16 * (sector - 32);
}

int trailerOfSector(int sector)
{
    return sector < 32 ? 4 * sector + 3 : 128 + 16 * (sector - 32) + 15;
}

bool isTrailer(int block)
{
    return trailerOfSector(sectorOfBlock(block)) == block;
}

std::optional<Value> decodeValue(const uint8_t *b)
{
    uint32_t v0, v1, v2;
    std::memcpy(&v0, b, 4);
    std::memcpy(&v1, b + 4, 4);
    std::memcpy(&v2, b + 8, 4);
    if (v0 != v2 || v0 != ~v1 || b[12] != b[14] || b[13] != b[15] || b[12] != static_cast<uint8_t>(~b[13]))
        return std::nullopt;
    // The value is stored least significant byte first.
    const uint32_t le = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return Value{static_cast<int32_t>(le), b[12]};
}

Bytes encodeValue(int32_t value, uint8_t address)
{
    Bytes out(16);
    const uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        const uint8_t byte = static_cast<uint8_t>(v >> (8 * i));
        out[static_cast<size_t>(i)] = byte;
        out[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(~byte);
        out[static_cast<size_t>(8 + i)] = byte;
    }
    out[12] = out[14] = address;
    out[13] = out[15] = static_cast<uint8_t>(~address);
    return out;
}

} // namespace pcsc::mifare
