// MIFARE Classic 1K/4K memory layout, access conditions and value blocks,
// as the chip's datasheet defines them. Pure functions over block bytes; the
// layout and the access table are the ones dump/ keeps for tool and card alike.
#pragma once

#include "dump/MifareLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim::mifare
{

using Block = dump::Block;

using dump::kBlocks1K;
using dump::kBlocks4K;
constexpr uint8_t kSak1K = 0x08;
constexpr uint8_t kSak4K = 0x18;

using dump::accessGroup;
using dump::blocksInSector;
using dump::firstBlockOfSector;
using dump::isTrailer;
using dump::sectorOfBlock;
using dump::trailerOfSector;

// Bytes 6..8 of a trailer hold each bit twice, once inverted.
bool accessBytesValid(const Block &trailer);
// C1 C2 C3 of a group as the three-bit number C1C2C3.
int accessBits(const Block &trailer, int group);
// Bytes 6..8 for four groups' C1C2C3 (byte 9, user data, not included).
std::array<uint8_t, 3> encodeAccessBytes(const std::array<int, 4> &groups);

enum class DataOp { Read, Write, Increment, DecrementTransferRestore };
bool dataAccessAllowed(int bits, DataOp op, bool keyB);

enum class TrailerPart { KeyA, AccessBits, KeyB };
bool trailerReadAllowed(int bits, TrailerPart part, bool keyB);
bool trailerWriteAllowed(int bits, TrailerPart part, bool keyB);
// Key B readable means it is plain data and cannot serve for authentication.
bool keyBIsData(int bits);

// Value block: value, ~value, value, addr, ~addr, addr, ~addr.
bool decodeValue(const Block &block, int32_t *value, uint8_t *address);
Block encodeValue(int32_t value, uint8_t address);

// Block 0 for the UID (4 or 7 bytes); the other blocks in factory state.
std::vector<Block> factoryMemory(int blockCount, const std::vector<uint8_t> &uid, uint8_t sak, uint16_t atqa);

// The answer to a request (ISO/IEC 14443-3): bits 7-8 give the UID size, so
// a 7-byte UID adds 0x40 to 0x0004 (1K) or 0x0002 (4K).
uint16_t atqa(bool fourK, std::size_t uidSize);
Block factoryTrailer();

} // namespace sim::mifare
