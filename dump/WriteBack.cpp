#include "dump/WriteBack.h"

#include "dump/AccessConditions.h"

namespace dump
{

WritePlan planWriteBack(const CardImage &image, bool withTrailers)
{
    WritePlan plan;
    for (int b = 1; b < image.blockCount(); ++b) {
        const bool trailer = isTrailer(b);
        if (trailer && !withTrailers)
            continue;
        if (!image.isKnown(b)) {
            plan.partialBlocks += image.isUnread(b) ? 0 : 1;
            continue;
        }
        if (trailer && !accessBytesValid(image.block(b).data() + 6)) {
            plan.lockingTrailers.push_back(b);
            continue;
        }
        plan.blocks.push_back(b);
    }
    return plan;
}

} // namespace dump
