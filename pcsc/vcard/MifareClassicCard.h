// A MIFARE Classic 1K on a PC/SC Part 3 reader, as the reader's APDUs see
// it: GET DATA (UID), LOAD KEYS into two volatile slots, GENERAL
// AUTHENTICATE, READ/UPDATE BINARY and the ACS value operations (FF D7),
// with the card's keys, access conditions and value blocks.
#pragma once

#include "pcsc/vcard/VpcdFraming.h"

#include <array>

namespace vcard
{

class MifareClassicCard : public VirtualCard
{
public:
    static constexpr int kBlocks = 64;
    using Block = std::array<uint8_t, 16>;

    // Factory content: transport keys, access bytes FF 07 80 69, data zero.
    explicit MifareClassicCard(const Bytes &uid);

    Bytes atr() const override;
    void powerCycle() override;
    Bytes process(const Bytes &apdu) override;

    const Block &block(int index) const { return blocks_[static_cast<size_t>(index)]; }

private:
    enum class Op { Read, Write, Increment, Decrement };
    enum class Part { KeyAWrite, AccessRead, AccessWrite, KeyBRead, KeyBWrite };

    uint16_t loadKey(const Bytes &apdu);
    uint16_t authenticate(const Bytes &apdu);
    Bytes readBinary(const Bytes &apdu);
    uint16_t updateBinary(const Bytes &apdu);
    uint16_t valueOperation(const Bytes &apdu);
    uint16_t writeTrailer(int block, const uint8_t *data);

    bool authenticatedFor(int block) const;
    int accessBits(int block) const; // C1C2C3 of the block's group
    bool allowed(int block, Op op) const;
    bool trailerAllowed(int block, Part part) const;

    Bytes uid_;
    std::array<Block, kBlocks> blocks_{};
    std::array<std::array<uint8_t, 6>, 2> slots_{};
    int authSector_ = -1;
    bool authKeyB_ = false;
};

} // namespace vcard
