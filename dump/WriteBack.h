// Which blocks of a dump may be written back to a card: block 0 never (the
// manufacturer block), sector trailers only when asked for, and only blocks
// the dump knows completely. A trailer whose access bits would lock its
// sector is never written.
#pragma once

#include "dump/CardImage.h"

#include <vector>

namespace dump
{

struct WritePlan {
    std::vector<int> blocks;          // ascending
    std::vector<int> lockingTrailers; // trailers left out: inverted copies that disagree
    int partialBlocks = 0;            // left out: only some bytes known (keys a card keeps back)
};

WritePlan planWriteBack(const CardImage &image, bool withTrailers);

} // namespace dump
