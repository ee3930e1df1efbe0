// The memory of a MIFARE Classic 1K or 4K card as far as it is known: every
// byte carries a flag saying whether it came from the card (or a file), so
// blocks that were not read are marked, never made up.
#pragma once

#include "dump/MifareLayout.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dump
{

constexpr uint16_t kWholeBlock = 0xFFFF;

class CardImage
{
public:
    // 64 or 256 blocks, nothing known.
    explicit CardImage(int blockCount = kBlocks1K);

    int blockCount() const { return static_cast<int>(blocks_.size()); }
    int sectorCount() const { return dump::sectorCount(blockCount()); }

    // Unknown bytes read as 0.
    const Block &block(int number) const { return blocks_[static_cast<size_t>(number)]; }
    // Bit i set: byte i is known.
    uint16_t knownBytes(int number) const { return known_[static_cast<size_t>(number)]; }
    bool isKnown(int number) const { return knownBytes(number) == kWholeBlock; }
    bool isUnread(int number) const { return knownBytes(number) == 0; }

    // Only the bytes in `known` are kept; the others become unknown.
    void setBlock(int number, const Block &data, uint16_t known = kWholeBlock);
    void forget(int number);

    // Bytes not known, over the whole card.
    int unknownByteCount() const;
    bool complete() const { return unknownByteCount() == 0; }
    bool empty() const;

    bool operator==(const CardImage &other) const;
    bool operator!=(const CardImage &other) const { return !(*this == other); }

private:
    std::vector<Block> blocks_;
    std::vector<uint16_t> known_;
};

} // namespace dump
