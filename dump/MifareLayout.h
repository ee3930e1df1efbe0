// MIFARE Classic 1K/4K memory layout: sectors 0-31 hold 4 blocks of 16 bytes,
// sectors 32-39 (4K only) 16 blocks; the last block of a sector is its trailer.
#pragma once

#include <array>
#include <cstdint>

namespace dump
{

using Block = std::array<uint8_t, 16>;

constexpr int kBlockSize = 16;
constexpr int kBlocks1K = 64;
constexpr int kBlocks4K = 256;

int sectorOfBlock(int block);
int firstBlockOfSector(int sector);
int blocksInSector(int sector);
int trailerOfSector(int sector);
bool isTrailer(int block);
// 16 for a 1K card, 40 for a 4K card.
int sectorCount(int blockCount);
// Which of the four access-condition groups governs the block (3 = trailer);
// the 16-block sectors share one group per five blocks.
int accessGroup(int block);

} // namespace dump
