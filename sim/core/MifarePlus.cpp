#include "sim/core/MifarePlus.h"

#include "sim/core/Errors.h"

#include <nettle/aes.h>
#include <nettle/cbc.h>

#include <algorithm>
#include <random>

namespace sim::mfplus
{
namespace
{

using Bytes = std::vector<uint8_t>;

// Keys of the virtual-card and proximity-check features, and the
// configuration blocks: written at level 0, never used by the simulation.
constexpr uint16_t kOtherPersoAddresses[] = {0xA000, 0xA001, 0xA080, 0xA081, 0xB000, 0xB001, 0xB003};
constexpr uint16_t kMandatoryKeys[] = {kCardMasterKey, kCardConfigurationKey, kLevel2SwitchKey, kLevel3SwitchKey,
                                       kLevel1CardAuthenticationKey};

Bytes randomBytes(std::size_t n)
{
    static std::mt19937 source{std::random_device{}()};
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes(n);
    for (uint8_t &b : bytes)
        b = static_cast<uint8_t>(byte(source));
    return bytes;
}

// AES-128 CBC with a zero IV, as both sides of the authentication use it.
Bytes cbc(const Key &key, bool encrypt, const Bytes &in)
{
    uint8_t iv[AES_BLOCK_SIZE] = {};
    Bytes out(in.size());
    aes128_ctx ctx;
    if (encrypt) {
        aes128_set_encrypt_key(&ctx, key.data());
        cbc_encrypt(&ctx, reinterpret_cast<nettle_cipher_func *>(aes128_encrypt), AES_BLOCK_SIZE, iv, in.size(),
                    out.data(), in.data());
    } else {
        aes128_set_decrypt_key(&ctx, key.data());
        cbc_decrypt(&ctx, reinterpret_cast<nettle_cipher_func *>(aes128_decrypt), AES_BLOCK_SIZE, iv, in.size(),
                    out.data(), in.data());
    }
    return out;
}

Bytes rotatedLeft(Bytes bytes)
{
    std::rotate(bytes.begin(), bytes.begin() + 1, bytes.end());
    return bytes;
}

Bytes part(const Bytes &bytes, std::size_t from, std::size_t length)
{
    return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(from + length));
}

Bytes joined(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

int blockCount(const Memory &memory)
{
    return static_cast<int>(memory.blocks.size());
}

// The sector the session authenticated with a sector key, -1 for none.
int authenticatedSector(const Memory &memory, const Session &session)
{
    return session.key < 0 ? -1 : sectorOfKey(memory, static_cast<uint16_t>(session.key));
}

int requireLevel3Access(const Memory &memory, const Session &session, int first, int count)
{
    if (memory.level != 3)
        return kNotSupported;
    if (first < 0 || count < 1 || first + count > blockCount(memory))
        return kBadArgument;
    const int sector = mifare::sectorOfBlock(first);
    if (mifare::sectorOfBlock(first + count - 1) != sector)
        return kBadArgument;
    return authenticatedSector(memory, session) == sector ? kOk : kAuthFailed;
}

int requireValueBlock(const Memory &memory, const Session &session, int block)
{
    if (const int rc = requireLevel3Access(memory, session, block, 1))
        return rc;
    return mifare::isTrailer(block) ? kNotValueBlock : kOk;
}

} // namespace

Memory factoryMemory(bool fourK, const std::vector<uint8_t> &uid)
{
    Memory memory;
    memory.blocks = mifare::factoryMemory(fourK ? kBlocks4K : kBlocks2K, uid, sak(fourK, 0), atqa(fourK, uid.size()));
    return memory;
}

bool isFourK(const Memory &memory)
{
    return blockCount(memory) == kBlocks4K;
}

int sectorCount(const Memory &memory)
{
    return isFourK(memory) ? 40 : 32;
}

uint16_t atqa(bool fourK, std::size_t uidSize)
{
    return mifare::atqa(fourK, uidSize);
}

uint8_t sak(bool fourK, int level)
{
    switch (level) {
    case 1:
        return fourK ? 0x18 : 0x08; // MIFARE Classic compatible
    case 2:
        return fourK ? 0x11 : 0x10;
    default:
        return 0x20; // ISO 14443-4
    }
}

std::vector<uint8_t> ats()
{
    // TL, T0 (TA TB TC, FSCI 5), TA, TB, TC, historical bytes C1 05 2F 2F 01 BC D6.
    return {0x0C, 0x75, 0x77, 0x80, 0x02, 0xC1, 0x05, 0x2F, 0x2F, 0x01, 0xBC, 0xD6};
}

int sectorOfKey(const Memory &memory, uint16_t address)
{
    const int offset = address - kFirstSectorKey;
    return offset >= 0 && offset < 2 * sectorCount(memory) ? offset / 2 : -1;
}

bool isKeyAddress(const Memory &memory, uint16_t address)
{
    if (sectorOfKey(memory, address) >= 0)
        return true;
    if (address >= kCardMasterKey && address <= kLevel1CardAuthenticationKey)
        return true;
    return address == 0xA000 || address == 0xA001 || address == 0xA080 || address == 0xA081;
}

Key keyAt(const Memory &memory, uint16_t address)
{
    const auto it = memory.perso.find(address);
    if (it != memory.perso.end())
        return it->second;
    Key factory;
    factory.fill(0xFF);
    return factory;
}

std::vector<uint16_t> missingMandatoryKeys(const Memory &memory)
{
    std::vector<uint16_t> missing;
    for (const uint16_t key : kMandatoryKeys)
        if (!memory.perso.count(key))
            missing.push_back(key);
    return missing;
}

bool authenticate(const Key &readerKey, const Key &cardKey)
{
    // Card: its challenge RndB, encrypted.
    const Bytes rndB = randomBytes(16);
    const Bytes pass1 = cbc(cardKey, true, rndB);
    // Reader: RndA and RndB rotated, encrypted.
    const Bytes rndA = randomBytes(16);
    const Bytes pass2 = cbc(readerKey, true, joined(rndA, rotatedLeft(cbc(readerKey, false, pass1))));
    // Card: checks RndB, answers TI, RndA rotated and the capabilities.
    const Bytes received2 = cbc(cardKey, false, pass2);
    if (part(received2, 16, 16) != rotatedLeft(rndB))
        return false;
    const Bytes pass3 =
        cbc(cardKey, true, joined(joined(randomBytes(4), rotatedLeft(part(received2, 0, 16))), Bytes(12, 0)));
    // Reader: checks RndA.
    return part(cbc(readerKey, false, pass3), 4, 16) == rotatedLeft(rndA);
}

int writePerso(Memory &memory, const Block &value, uint16_t address)
{
    if (memory.level != 0)
        return kNotSupported;
    if (address < blockCount(memory)) {
        if (address == 0) // manufacturer block
            return kAccessDenied;
        memory.blocks[address] = value;
        return kOk;
    }
    const bool other = std::find(std::begin(kOtherPersoAddresses), std::end(kOtherPersoAddresses), address) !=
                       std::end(kOtherPersoAddresses);
    if (!isKeyAddress(memory, address) && !other)
        return kBadArgument;
    memory.perso[address] = value;
    return kOk;
}

int commitPerso(Memory &memory)
{
    if (memory.level != 0)
        return kNotSupported;
    if (!missingMandatoryKeys(memory).empty())
        return kAccessDenied;
    memory.level = 1;
    return kOk;
}

int authenticateLevel1(const Memory &memory, const Key &key)
{
    if (memory.level != 1)
        return kNotSupported;
    return authenticate(key, keyAt(memory, kLevel1CardAuthenticationKey)) ? kOk : kAuthFailed;
}

int switchLevel(Memory &memory, int from, int to, const Key &key)
{
    if (memory.level != from)
        return kNotSupported;
    const uint16_t switchKey = to == 2 ? kLevel2SwitchKey : kLevel3SwitchKey;
    if (!authenticate(key, keyAt(memory, switchKey)))
        return kAuthFailed;
    memory.level = to;
    return kOk;
}

int authenticateKey(const Memory &memory, Session &session, uint16_t keyNumber, const Key &key)
{
    if (memory.level != 3)
        return kNotSupported;
    if (!isKeyAddress(memory, keyNumber))
        return kBadArgument;
    const bool right = authenticate(key, keyAt(memory, keyNumber));
    session.key = right ? keyNumber : -1;
    return right ? kOk : kAuthFailed;
}

int readBlocks(const Memory &memory, const Session &session, int first, int count, uint8_t *data)
{
    if (const int rc = requireLevel3Access(memory, session, first, count))
        return rc;
    for (int i = 0; i < count; ++i)
        std::copy(memory.blocks[first + i].begin(), memory.blocks[first + i].end(), data + 16 * i);
    return kOk;
}

int writeBlocks(Memory &memory, const Session &session, int first, int count, const uint8_t *data)
{
    if (const int rc = requireLevel3Access(memory, session, first, count))
        return rc;
    if (first == 0)
        return kAccessDenied;
    for (int i = 0; i < count; ++i)
        std::copy(data + 16 * i, data + 16 * (i + 1), memory.blocks[first + i].begin());
    return kOk;
}

// A sector key changes after authenticating its sector; any other key after
// authenticating with it or with the card master key.
int updateKey(Memory &memory, const Session &session, uint16_t keyNumber, const Key &key)
{
    if (memory.level != 3)
        return kNotSupported;
    if (!isKeyAddress(memory, keyNumber))
        return kBadArgument;
    const int sector = sectorOfKey(memory, keyNumber);
    const bool allowed = sector >= 0 ? authenticatedSector(memory, session) == sector
                                     : session.key == keyNumber || session.key == kCardMasterKey;
    if (!allowed)
        return kAuthFailed;
    memory.perso[keyNumber] = key;
    return kOk;
}

int initValue(Memory &memory, const Session &session, int block, int32_t value)
{
    if (const int rc = requireValueBlock(memory, session, block))
        return rc;
    if (block == 0)
        return kAccessDenied;
    memory.blocks[block] = mifare::encodeValue(value, static_cast<uint8_t>(block));
    return kOk;
}

int readValue(const Memory &memory, const Session &session, int block, int32_t *value)
{
    if (const int rc = requireValueBlock(memory, session, block))
        return rc;
    uint8_t address = 0;
    return mifare::decodeValue(memory.blocks[block], value, &address) ? kOk : kNotValueBlock;
}

int addToValue(Memory &memory, const Session &session, int block, int64_t amount)
{
    int32_t value = 0;
    uint8_t address = 0;
    if (const int rc = requireValueBlock(memory, session, block))
        return rc;
    if (!mifare::decodeValue(memory.blocks[block], &value, &address))
        return kNotValueBlock;
    const int64_t result = int64_t{value} + amount;
    if (result < INT32_MIN || result > INT32_MAX)
        return kNotValueBlock;
    memory.blocks[block] = mifare::encodeValue(static_cast<int32_t>(result), address);
    return kOk;
}

} // namespace sim::mfplus
