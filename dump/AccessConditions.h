// MIFARE Classic access conditions, as the chip's datasheet tables them: the
// Control Word is trailer bytes 6-9, bytes 6-8 holding C1 C2 C3 of the four
// groups (blocks 0-2 and the trailer) once plain and once inverted, byte 9
// user data.
#pragma once

#include "dump/MifareLayout.h"

#include <array>
#include <cstdint>

namespace dump
{

// Who may do a thing: nobody, key A, key B, or either key.
enum class Keys { None = 0, A = 1, B = 2, Either = 3 };

bool permits(Keys keys, bool keyB);

struct DataBlockAccess {
    Keys read, write, increment, decrementTransferRestore;
};

struct TrailerAccess {
    Keys keyARead, keyAWrite, accessBitsRead, accessBitsWrite, keyBRead, keyBWrite;
};

// For a group's C1C2C3 as the three-bit number C1C2C3 (0-7).
DataBlockAccess dataBlockAccess(int bits);
TrailerAccess trailerAccess(int bits);
// Key B that may be read is plain data and serves for no authentication.
bool keyBIsData(int bits);

// Both copies of every bit agree; otherwise the card refuses every
// authentication to the sector for good. accessBytes: trailer bytes 6-8.
bool accessBytesValid(const uint8_t *accessBytes);
// C1C2C3 of a group (0-3).
int accessBits(const uint8_t *accessBytes, int group);
// Bytes 6-8 for four groups' C1C2C3.
std::array<uint8_t, 3> encodeAccessBytes(const std::array<int, 4> &groups);

struct DecodedAccess {
    bool valid = false;
    std::array<int, 4> bits{}; // C1C2C3 of groups 0-3; meaningful when valid
};
DecodedAccess decodeAccessBytes(const uint8_t *accessBytes);

// Which bytes of a trailer, read after authenticating with key A or key B,
// are the card's own: the others read as zeros. Bit i stands for byte i.
uint16_t revealedTrailerBytes(const Block &readTrailer, bool keyB);

} // namespace dump
