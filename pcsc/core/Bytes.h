// The byte strings that go to and come from a card.
#pragma once

#include <cstdint>
#include <vector>

namespace pcsc
{

using Bytes = std::vector<uint8_t>;

inline uint32_t bigEndian32(const uint8_t *bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]);
}

inline void appendBigEndian32(Bytes &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

} // namespace pcsc
