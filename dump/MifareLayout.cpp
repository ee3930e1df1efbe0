#include "dump/MifareLayout.h"

namespace dump
{

int sectorOfBlock(int block)
{
    return block < 128 ? block / 4 : 32 + (block - 128) / 16;
}

int firstBlockOfSector(int sector)
{
    return sector < 32 ? 4 * sector : 16 * sector - 384;
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

int sectorCount(int blockCount)
{
    return blockCount > kBlocks1K ? 40 : 16;
}

int accessGroup(int block)
{
    const int offset = block - firstBlockOfSector(sectorOfBlock(block));
    if (block < 128)
        return offset;
    return offset == 15 ? 3 : offset / 5;
}

} // namespace dump
