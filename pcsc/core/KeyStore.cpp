#include "pcsc/core/KeyStore.h"

namespace pcsc
{

std::optional<KeyRef> decodeKeyMode(unsigned char keyMode)
{
    if (keyMode <= 2 || (keyMode >= 4 && keyMode <= 6))
        return KeyRef{keyMode & 3, keyMode >= 4};
    return std::nullopt;
}

uint8_t volatileSlot(bool keyB)
{
    return keyB ? 0x01 : 0x00;
}

KeyStore::KeyStore()
{
    Key transport;
    transport.fill(0xFF);
    for (auto &set : keys_)
        for (auto &type : set)
            type.fill(transport);
}

void KeyStore::set(KeyRef ref, int row, const Key &key)
{
    keys_[static_cast<size_t>(ref.set)][ref.keyB ? 1 : 0][static_cast<size_t>(row % 16)] = key;
}

const Key &KeyStore::forSector(KeyRef ref, int sector) const
{
    return keys_[static_cast<size_t>(ref.set)][ref.keyB ? 1 : 0][static_cast<size_t>(sector % 16)];
}

} // namespace pcsc
