// The AT88RF020, a TYPE B memory card: 32 pages of 8 bytes behind an 8-byte
// password. Page 0 identifies the card, page 1 holds the lock bits, page 2
// the up-counter, page 3 the password; pages 4-31 are the user's.
//
// Every operation is a 10-byte command frame, command, argument and 8 data
// bytes (the reader adds CRC_B), answered by a status byte and, for reads and
// counts, the page:
//   10 pp --   read page pp               -> 00 + 8 bytes (page 3 reads as zeros)
//   20 pp dd   write page pp (4-31)       -> 00
//   30 -- pw   check the password         -> 00, or 02 (not verified any more)
//   40 pp --   lock page pp (4-31)        -> 00
//   50 -- --   count: page 2 up by one    -> 00 + page 2
//   60 -- --   halt until the field resets-> 00
//   70 -- pw   change the password        -> 00
// Status: 01 not verified, 02 wrong password, 03 page read-only or locked,
// 04 bad frame or page, 05 counter at its end. All but the check need the
// password verified first.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sim::at88
{

constexpr int kPages = 32;
constexpr int kPageSize = 8;
constexpr int kFrameSize = 10;
constexpr int kLockPage = 1;
constexpr int kCounterPage = 2;
constexpr int kPasswordPage = 3;
constexpr int kFirstUserPage = 4;

using Page = std::array<uint8_t, kPageSize>;

enum Command : uint8_t {
    kRead = 0x10,
    kWrite = 0x20,
    kCheck = 0x30,
    kLock = 0x40,
    kCount = 0x50,
    kHalt = 0x60,
    kChangeKey = 0x70,
};

enum Status : uint8_t {
    kStatusOk = 0x00,
    kStatusNotVerified = 0x01,
    kStatusWrongPassword = 0x02,
    kStatusReadOnly = 0x03,
    kStatusBadFrame = 0x04,
    kStatusCounterEnd = 0x05,
};

struct Memory {
    std::vector<Page> pages = std::vector<Page>(kPages, Page{});
};

struct Session {
    bool verified = false;
};

struct Answer {
    std::vector<uint8_t> reply; // status first
    bool changed = false;       // the memory changed
    bool halted = false;        // the card sleeps from now on
};

Memory factoryMemory(const std::vector<uint8_t> &pupi);
Page password(const Memory &memory);
uint32_t counter(const Memory &memory);
bool pageLocked(const Memory &memory, int page);

std::vector<uint8_t> frame(Command command, uint8_t argument, const uint8_t *data = nullptr);
Answer exchange(Memory &memory, Session &session, const uint8_t *frame, std::size_t length);
// The library's result for a status byte.
int resultOf(const Answer &answer);

} // namespace sim::at88
