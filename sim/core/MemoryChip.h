// The contact memory cards: SLE4442 and SLE4428 (main memory, protection
// bits, a programmable security code with an error counter) and the AT24C64
// EEPROM, which has neither. Every operation returns a library result.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace sim::memory
{

enum class Chip { Sle4442, Sle4428, At24c64 };

struct Layout {
    int size;        // bytes of main memory
    int protectable; // bytes 0 .. protectable-1 carry a protection bit
    int pscLength;   // 0: no PSC
    int maxAttempts; // PSC error counter
    int ownBytes;    // the last bytes hold the error counter and the PSC (SLE4428)
};
const Layout &layoutOf(Chip chip);

// What the card keeps without power.
struct Memory {
    std::vector<uint8_t> data;
    std::vector<bool> protectedBytes; // one per protectable byte
    std::vector<uint8_t> psc;
    int attemptsLeft = 0;

    bool operator==(const Memory &other) const
    {
        return data == other.data && protectedBytes == other.protectedBytes && psc == other.psc &&
               attemptsLeft == other.attemptsLeft;
    }
    bool operator!=(const Memory &other) const { return !(*this == other); }
};

// A new card: erased memory (SLE4442 bytes 0-3 hold its protected ATR), all
// attempts left. An empty psc is the transport code FF..; throws
// std::invalid_argument for a PSC of the wrong length.
Memory factory(Chip chip, std::vector<uint8_t> psc);

// Compares a PSC as the chip does: one attempt is spent first, the right code
// gives all back. With no attempts left nothing is compared, ever again.
int presentPsc(Chip chip, Memory &m, bool &presented, const uint8_t *psc);
int changePsc(Chip chip, Memory &m, bool presented, const uint8_t *psc);

int read(Chip chip, const Memory &m, bool presented, int address, uint8_t *out, int length);
// Needs the PSC where the chip has one; protected bytes keep their content.
int write(Chip chip, Memory &m, bool presented, int address, const uint8_t *data, int length);
// A byte becomes protected only when the data given equals its content; the
// range starts on a protectable byte, bytes past them are left alone.
int protect(Chip chip, Memory &m, bool presented, int address, const uint8_t *data, int length);

// SLE4442: protection memory, 4 bytes, bit i (least significant first) for
// byte i, 1 = writable. SLE4428: one byte per address, 00 protected, 01 writable.
int readProtection(Chip chip, const Memory &m, int address, uint8_t *out, int length);

// The error counter as the chip keeps it: one bit per attempt left.
uint8_t errorCounter(const Memory &m);

// Protected addresses as ranges in hexadecimal ("000-003, 01F"), or "none".
std::string protectedRanges(const Memory &m);
// A line of 16 bytes per row, "ADDR: 32 hex digits".
std::string dump(const Memory &m);

nlohmann::ordered_json toJson(const Memory &m);
// Throws std::runtime_error (or nlohmann::json::exception) on a malformed card.
Memory memoryFromJson(Chip chip, const nlohmann::ordered_json &json);

} // namespace sim::memory
