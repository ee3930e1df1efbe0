// What all Mifare One panels share: the card layout, the process-wide card
// state, the key mode and the card access sequence.
#pragma once

#include "reader/ConnectionState.h"

#include <QString>

#include <atomic>

namespace t7::mifare
{

constexpr int kCardKindS50 = 4;
constexpr int kCardKindS70 = 2;

// Shared for the whole run. The Auto Test worker reads and writes these too.
struct SharedState {
    std::atomic<int> cardKind{0};
    std::atomic<int> currentKeyMode{0};
    std::atomic<int> verified{0};
    std::atomic<int> verifiedSector{0};
};
SharedState &state();

// The current reader, as every Mifare One panel passes it first.
inline int deviceHandle()
{
    return t7::connection().deviceHandle;
}

// Block, sector and key-mode numbers travel to the reader as single bytes.
inline unsigned char asByte(int value)
{
    return static_cast<unsigned char>(value);
}

// Layout: sectors 0-31 hold 4 blocks, sectors 32-39 (S70) 16 blocks.
int sectorOfBlock(int block);
bool isTrailerBlock(int block);
int firstBlockOfSector(int sector);
int trailerBlockOfSector(int sector);
int blocksInSector(int sector);

// KeyA: 0, 1, 2 for key set 0, 1, other; KeyB: 4, 5, 6. Also becomes the current key mode.
int MakeKeyMode(bool keyA, int keySetIndex);

// Requests the card (refreshing the card kind), finds it and authenticates the
// sector; on failure it has shown the reason in an application box.
bool FindCardAndAuthenticate(int deviceHandle, int sector, int keyMode);

// Pairs of characters as base-16 numbers, n = 4, 6 or 16 (others convert nothing
// and succeed). A pair that reads as 0 without being "00" is refused.
bool HexTextToBytes(const QString &text, unsigned char *out, int n);

// 2n lower-case hexadecimal digits.
QString BytesToHexText(const unsigned char *bytes, int n);

// "<sector>Sector authentication error!"
QString sectorAuthenticationError(int sector);

} // namespace t7::mifare
