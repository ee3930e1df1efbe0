// MIFARE Ultralight (MF0ICU1) and Ultralight C (MF0ICU2) memory as the
// datasheets define it: pages of four bytes, the UID with its two check
// bytes, lock bytes and OTP bits that only ever gain bits, block-locking bits
// that freeze lock bits, and on the C the counter, the protected area (AUTH0,
// AUTH1) and the 3DES key. Pure functions over the page image.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace sim::ultralight
{

enum class Chip { Ultralight, UltralightC };

// All pages, four bytes each, page p at 4p; the C's key pages included.
using Memory = std::vector<uint8_t>;
// The 3DES key as the reader hands it over: key 1 (bytes 0-7), key 2 (8-15).
using Key = std::array<uint8_t, 16>;
using Page = std::array<uint8_t, 4>;

constexpr int kPageSize = 4;
constexpr int kPagesUltralight = 16;
constexpr int kPagesC = 48;
constexpr int kLockPageC = 40;    // lock bytes 2 and 3
constexpr int kCounterPage = 41;  // 16-bit one-way counter, least significant byte first
constexpr int kAuth0Page = 42;    // first protected page
constexpr int kAuth1Page = 43;    // bit 0 set: only writing is protected
constexpr int kFirstKeyPage = 44; // 44-47: the key, never readable

int pageCount(Chip chip);

// A new card: the UID (7 bytes) in pages 0-2 with BCC0 and BCC1, everything
// else in its delivery state (C: no protected area, the factory key).
Memory factoryMemory(Chip chip, const std::vector<uint8_t> &uid);
// "BREAKMEIFYOUCAN!"
Key factoryKey();

// The 32-bit card number a reader derives from a 7-byte UID: its two cascade
// levels (0x88 UID0-2 and UID3-6) combined by XOR.
uint32_t cardNumber(const std::vector<uint8_t> &uid);

enum class Outcome {
    Done,
    Refused,    // the card answers NAK
    OutOfRange, // no such page
};

Outcome read(Chip chip, const Memory &memory, int page, bool authenticated, Page *out);
// Pages 0-1 never change; page 2 (and 40 on the C) OR their lock bytes in, as
// far as block-locking bits allow; page 3 ORs its OTP bits; the counter only
// counts up; a locked page or a protected one without authentication refuses.
Outcome write(Chip chip, Memory &memory, int page, const Page &data, bool authenticated);

bool pageLocked(Chip chip, const Memory &memory, int page);
bool authenticationRequired(Chip chip, const Memory &memory, int page, bool forWriting);

// The key of pages 44-47 in the reader's byte order, and back: each 8-byte
// half is stored with its bytes reversed (pages 44-45: key 1, 46-47: key 2).
Key storedKey(const Memory &memory);
std::array<Page, 4> keyPages(const Key &key);

uint16_t counter(const Memory &memory);

// Runs the MF0ICU2 mutual authentication (2K3DES in CBC mode, RndB and RndA
// rotated by one byte) between a reader holding readerKey and the card
// holding cardKey. Succeeds only when both hold exactly the same key: DES
// alone would also accept keys that differ only in their parity bits.
bool mutualAuthentication(const Key &readerKey, const Key &cardKey);

// Locking a page is a write to a lock page that sets its lock bits. Page 2
// (and 40 on the C) stands for the block-locking bits that freeze the lock
// bits it holds; a C page 16-39 locks its group (16-19, ..., 32-35, 36-39),
// a key page all four.
struct LockWrite {
    int page = 0;
    Page bits{};
};
std::optional<LockWrite> lockWriteFor(Chip chip, int page);
bool lockHeld(const Memory &memory, const LockWrite &lock);

} // namespace sim::ultralight
