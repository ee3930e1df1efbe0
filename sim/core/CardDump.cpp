#include "sim/core/CardDump.h"

namespace sim
{
namespace
{

std::vector<uint8_t> uidOfBlock0(const mifare::Block &b0)
{
    const bool fourBytes = (b0[0] ^ b0[1] ^ b0[2] ^ b0[3]) == b0[4];
    return std::vector<uint8_t>(b0.begin(), b0.begin() + (fourBytes ? 4 : 7));
}

} // namespace

dump::CardImage imageOfCard(const Card &card)
{
    dump::CardImage image(static_cast<int>(card.blocks.size()));
    for (size_t b = 0; b < card.blocks.size(); ++b)
        image.setBlock(static_cast<int>(b), card.blocks[b]);
    return image;
}

Card cardFromImage(const dump::CardImage &image, const Card *present)
{
    const CardKind kind = image.blockCount() == dump::kBlocks4K ? CardKind::S70 : CardKind::S50;
    const bool samePresent = present && present->kind == kind && present->blocks.size() == size_t(image.blockCount());
    std::vector<uint8_t> uid;
    if (image.isKnown(0))
        uid = uidOfBlock0(image.block(0));
    else if (samePresent)
        uid = present->uid;
    // A fresh card: put on the reader anew, even when it replaces the one there.
    Card card = makeMifareCard(kind, uid);
    if (samePresent)
        card.blocks = present->blocks;
    for (int b = 0; b < image.blockCount(); ++b) {
        mifare::Block &stored = card.blocks[static_cast<size_t>(b)];
        for (int i = 0; i < dump::kBlockSize; ++i)
            if (image.knownBytes(b) >> i & 1)
                stored[static_cast<size_t>(i)] = image.block(b)[static_cast<size_t>(i)];
    }
    return card;
}

} // namespace sim
