#include "dump/AccessConditions.h"

namespace dump
{
namespace
{

constexpr Keys kNo = Keys::None;
constexpr Keys kA = Keys::A;
constexpr Keys kB = Keys::B;
constexpr Keys kAB = Keys::Either;

// Indexed by C1C2C3.
constexpr DataBlockAccess kDataTable[8] = {
    {kAB, kAB, kAB, kAB}, // 000 transport configuration
    {kAB, kNo, kNo, kAB}, // 001 value block, decrement only
    {kAB, kNo, kNo, kNo}, // 010 read only
    {kB, kB, kNo, kNo},   // 011
    {kAB, kB, kNo, kNo},  // 100
    {kB, kNo, kNo, kNo},  // 101
    {kAB, kB, kB, kAB},   // 110 value block
    {kNo, kNo, kNo, kNo}, // 111
};

constexpr TrailerAccess kTrailerTable[8] = {
    {kNo, kA, kA, kNo, kA, kA},     // 000
    {kNo, kA, kA, kA, kA, kA},      // 001 transport configuration
    {kNo, kNo, kA, kNo, kA, kNo},   // 010
    {kNo, kB, kAB, kB, kNo, kB},    // 011
    {kNo, kB, kAB, kNo, kNo, kB},   // 100
    {kNo, kNo, kAB, kB, kNo, kNo},  // 101
    {kNo, kNo, kAB, kNo, kNo, kNo}, // 110
    {kNo, kNo, kAB, kNo, kNo, kNo}, // 111
};

int bit(uint8_t byte, int n)
{
    return byte >> n & 1;
}

uint16_t bytesMask(int first, int count)
{
    return static_cast<uint16_t>(((1u << count) - 1) << first);
}

} // namespace

bool permits(Keys keys, bool keyB)
{
    return (static_cast<int>(keys) & (keyB ? 2 : 1)) != 0;
}

DataBlockAccess dataBlockAccess(int bits)
{
    return kDataTable[bits & 7];
}

TrailerAccess trailerAccess(int bits)
{
    return kTrailerTable[bits & 7];
}

bool keyBIsData(int bits)
{
    return trailerAccess(bits).keyBRead != Keys::None;
}

bool accessBytesValid(const uint8_t *b)
{
    const bool c1 = ((b[1] >> 4) & 0x0F) == (~b[0] & 0x0F);
    const bool c2 = (b[2] & 0x0F) == ((~b[0] >> 4) & 0x0F);
    const bool c3 = ((b[2] >> 4) & 0x0F) == (~b[1] & 0x0F);
    return c1 && c2 && c3;
}

int accessBits(const uint8_t *b, int group)
{
    return bit(b[1], 4 + group) << 2 | bit(b[2], group) << 1 | bit(b[2], 4 + group);
}

std::array<uint8_t, 3> encodeAccessBytes(const std::array<int, 4> &groups)
{
    int c1 = 0;
    int c2 = 0;
    int c3 = 0;
    for (int g = 0; g < 4; ++g) {
        c1 |= (groups[g] >> 2 & 1) << g;
        c2 |= (groups[g] >> 1 & 1) << g;
        c3 |= (groups[g] & 1) << g;
    }
    return {static_cast<uint8_t>((~c2 & 0x0F) << 4 | (~c1 & 0x0F)), static_cast<uint8_t>(c1 << 4 | (~c3 & 0x0F)),
            static_cast<uint8_t>(c3 << 4 | c2)};
}

DecodedAccess decodeAccessBytes(const uint8_t *accessBytes)
{
    DecodedAccess decoded;
    decoded.valid = accessBytesValid(accessBytes);
    for (int g = 0; g < 4; ++g)
        decoded.bits[g] = accessBits(accessBytes, g);
    return decoded;
}

uint16_t revealedTrailerBytes(const Block &readTrailer, bool keyB)
{
    const DecodedAccess access = decodeAccessBytes(readTrailer.data() + 6);
    // Access bits that do not hold together were not given by the card: it
    // would have refused the authentication.
    if (!access.valid)
        return 0;
    const TrailerAccess rights = trailerAccess(access.bits[3]);
    uint16_t mask = 0;
    if (permits(rights.keyARead, keyB))
        mask |= bytesMask(0, 6);
    if (permits(rights.accessBitsRead, keyB))
        mask |= bytesMask(6, 4);
    if (permits(rights.keyBRead, keyB))
        mask |= bytesMask(10, 6);
    return mask;
}

} // namespace dump
