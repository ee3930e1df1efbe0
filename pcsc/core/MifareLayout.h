// MIFARE Classic memory layout and the value block format (NXP datasheets),
// shared by the library and the virtual card.
#pragma once

#include "pcsc/core/Bytes.h"

#include <cstdint>
#include <optional>

namespace pcsc::mifare
{

// Sectors 0-31 have 4 blocks, sectors 32-39 (4K) 16.
int sectorOfBlock(int block);
int firstBlockOfSector(int sector);
int trailerOfSector(int sector);
bool isTrailer(int block);

struct Value {
    int32_t value = 0;
    uint8_t address = 0;
};

// value, ~value, value, addr, ~addr, addr, ~addr; nullopt when the 16 bytes
// are not in that format.
std::optional<Value> decodeValue(const uint8_t *block16);
Bytes encodeValue(int32_t value, uint8_t address);

} // namespace pcsc::mifare
