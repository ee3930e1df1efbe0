// An ISO15693 tag of the I-CODE SLI kind: 28 blocks of 4 bytes, block locks,
// AFI and DSFID with their locks, and the states of ISO/IEC 15693-3 (ready,
// selected, quiet). Pure functions; results are the library's (Errors.h).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sim::iso15693
{

constexpr int kBlocks = 28;
constexpr int kBlockSize = 4;

// Request flags.
constexpr uint8_t kHighDataRate = 0x02;
constexpr uint8_t kInventoryFlag = 0x04;
constexpr uint8_t kSelectFlag = 0x10;
constexpr uint8_t kAddressFlag = 0x20;

using Block = std::array<uint8_t, kBlockSize>;

struct Memory {
    std::vector<Block> blocks = std::vector<Block>(kBlocks, Block{});
    std::vector<bool> locked = std::vector<bool>(kBlocks, false);
    bool afiLocked = false;
    bool dsfidLocked = false;
};

enum class State { Ready, Selected, Quiet };

// Whether a tag in this state takes a request with these flags: an addressed
// request must carry its UID (both most significant byte first, as
// rz_inventory gives it); a quiet tag takes addressed requests only, a select
// request only a selected tag. kOk, kNoCard (silent) or kBadArgument.
int addressed(State state, uint8_t flags, const uint8_t *uidArgument, const std::vector<uint8_t> &uid);

// Get System Information: flags, info flags, UID (LSB first), DSFID, AFI,
// the memory size as the tag reports it (blocks - 1, block size - 1), IC reference.
std::vector<uint8_t> systemInfo(const std::vector<uint8_t> &uid, uint8_t afi, uint8_t dsfid);

int readBlocks(const Memory &memory, int first, int count, uint8_t *data);
int writeBlocks(Memory &memory, int first, int count, const uint8_t *data);
int lockBlock(Memory &memory, int block);
// One status byte per block: 1 locked, 0 not.
int securityStatus(const Memory &memory, int first, int count, std::vector<uint8_t> *status);

} // namespace sim::iso15693
