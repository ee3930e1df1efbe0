// The reader's MIFARE Classic key store as the T7 readers have it: 3 key
// sets x key A/B x 16 rows; sector s uses row s mod 16. PC/SC readers hold
// one or two keys at a time in volatile slots, so the store lives in this
// library and each authentication loads its key into the slot of its type.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace pcsc
{

using Key = std::array<uint8_t, 6>;

struct KeyRef {
    int set = 0;       // 0, 1, 2
    bool keyB = false; // key type
};

// Key modes 0, 1, 2 (key A, set 0-2) and 4, 5, 6 (key B); others are invalid.
std::optional<KeyRef> decodeKeyMode(unsigned char keyMode);

// The reader's volatile slot for a key type: 0x00 for key A, 0x01 for key B
// (the two slots every Part 3 reader with volatile keys has).
uint8_t volatileSlot(bool keyB);

class KeyStore
{
public:
    KeyStore(); // every key FF FF FF FF FF FF, as readers ship
    void set(KeyRef ref, int row, const Key &key);
    const Key &forSector(KeyRef ref, int sector) const;

private:
    std::array<std::array<std::array<Key, 16>, 2>, 3> keys_{};
};

} // namespace pcsc
