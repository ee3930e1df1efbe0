#include "dump/CardImage.h"

#include <bitset>

namespace dump
{

CardImage::CardImage(int blockCount)
    : blocks_(static_cast<size_t>(blockCount), Block{}), known_(static_cast<size_t>(blockCount), 0)
{
}

void CardImage::setBlock(int number, const Block &data, uint16_t known)
{
    Block &stored = blocks_[static_cast<size_t>(number)];
    for (int i = 0; i < kBlockSize; ++i)
        stored[i] = (known >> i & 1) ? data[i] : 0;
    known_[static_cast<size_t>(number)] = known;
}

void CardImage::forget(int number)
{
    setBlock(number, Block{}, 0);
}

int CardImage::unknownByteCount() const
{
    int unknown = 0;
    for (const uint16_t mask : known_)
        unknown += kBlockSize - static_cast<int>(std::bitset<16>(mask).count());
    return unknown;
}

bool CardImage::empty() const
{
    for (const uint16_t mask : known_)
        if (mask != 0)
            return false;
    return true;
}

bool CardImage::operator==(const CardImage &other) const
{
    return blocks_ == other.blocks_ && known_ == other.known_;
}

} // namespace dump
