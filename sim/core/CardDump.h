// Simulated MIFARE Classic cards to and from dump images, for t7sim's
// import and export.
#pragma once

#include "dump/CardImage.h"
#include "sim/core/Bench.h"

namespace sim
{

// Every byte of the card's memory, known.
dump::CardImage imageOfCard(const Card &card);

// The card the image describes. Bytes the image does not know keep those of
// `present` when it is a card of the same size, else a new card's factory
// content. The UID follows block 0 (4 bytes when its check byte fits, else
// 7); with block 0 unknown it stays that of `present`, or is random.
Card cardFromImage(const dump::CardImage &image, const Card *present);

} // namespace sim
