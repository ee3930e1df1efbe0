// MIFARE Plus (2K/4K, S/X): security levels, the personalisation memory and
// the level-3 AES authentication, as the NXP datasheet describes them. Pure
// functions over the card's memory; results are the library's (Errors.h).
#pragma once

#include "sim/core/MifareClassic.h"

#include <cstdint>
#include <map>
#include <vector>

namespace sim::mfplus
{

using Block = mifare::Block;
using Key = Block;

constexpr int kBlocks2K = 128;
constexpr int kBlocks4K = 256;

// Perso addresses of the keys (16 bytes each).
constexpr uint16_t kFirstSectorKey = 0x4000; // + 2 * sector (+ 1 for key B)
constexpr uint16_t kCardMasterKey = 0x9000;
constexpr uint16_t kCardConfigurationKey = 0x9001;
constexpr uint16_t kLevel2SwitchKey = 0x9002;
constexpr uint16_t kLevel3SwitchKey = 0x9003;
constexpr uint16_t kLevel1CardAuthenticationKey = 0x9004;

struct Memory {
    int level = 0;
    std::vector<Block> blocks;       // data blocks, trailers included
    std::map<uint16_t, Block> perso; // keys and configuration blocks written so far
};

// What the card's session keeps while it has power.
struct Session {
    int key = -1; // the key number of the last level-3 authentication, -1 none
};

Memory factoryMemory(bool fourK, const std::vector<uint8_t> &uid);
bool isFourK(const Memory &memory);
int sectorCount(const Memory &memory);

// Answers to activation, by size and security level.
uint16_t atqa(bool fourK, std::size_t uidSize);
uint8_t sak(bool fourK, int level);
std::vector<uint8_t> ats();

// A key address: a sector key, a level key or a virtual-card key.
bool isKeyAddress(const Memory &memory, uint16_t address);
// The sector whose key the address is, -1 for any other address.
int sectorOfKey(const Memory &memory, uint16_t address);
// The key stored at a key address; a key never written is all FF.
Key keyAt(const Memory &memory, uint16_t address);
// The level keys CommitPerso insists on, those not written yet.
std::vector<uint16_t> missingMandatoryKeys(const Memory &memory);

// The AES first authentication (three passes, random numbers from both sides,
// AES-128 in CBC mode with a zero IV) between a reader holding readerKey and
// the card holding cardKey. True when each side proved the other's key.
bool authenticate(const Key &readerKey, const Key &cardKey);

// Level 0.
int writePerso(Memory &memory, const Block &value, uint16_t address);
int commitPerso(Memory &memory);
// Level 1: the card authentication key, and switching up with a switch key.
int authenticateLevel1(const Memory &memory, const Key &key);
int switchLevel(Memory &memory, int from, int to, const Key &key);

// Level 3. Data operations need the block's sector authenticated.
int authenticateKey(const Memory &memory, Session &session, uint16_t keyNumber, const Key &key);
int readBlocks(const Memory &memory, const Session &session, int first, int count, uint8_t *data);
int writeBlocks(Memory &memory, const Session &session, int first, int count, const uint8_t *data);
int updateKey(Memory &memory, const Session &session, uint16_t keyNumber, const Key &key);
int initValue(Memory &memory, const Session &session, int block, int32_t value);
int readValue(const Memory &memory, const Session &session, int block, int32_t *value);
// Adds amount (negative: subtracts) and stores the result in the same block.
int addToValue(Memory &memory, const Session &session, int block, int64_t amount);

} // namespace sim::mfplus
