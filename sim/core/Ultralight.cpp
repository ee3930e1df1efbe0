#include "sim/core/Ultralight.h"

#include <nettle/cbc.h>
#include <nettle/des.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace sim::ultralight
{

namespace
{

constexpr uint8_t kCascadeTag = 0x88;
constexpr uint8_t kInternalByte = 0x48;
constexpr int kFirstProtectablePage = 3;
constexpr uint16_t kMaxCounterStep = 15;

// One lock bit: which byte of which page, and its mask.
struct LockBit {
    int page;
    int byte;
    uint8_t mask;
};

uint8_t &at(Memory &memory, int page, int byte)
{
    return memory[static_cast<size_t>(page * kPageSize + byte)];
}

uint8_t at(const Memory &memory, int page, int byte)
{
    return memory[static_cast<size_t>(page * kPageSize + byte)];
}

uint8_t bit(int k)
{
    return static_cast<uint8_t>(1u << k);
}

// Lock byte 0 (page 2 byte 2): L-OTP and L4-L7; lock byte 1: L8-L15. On the C,
// lock byte 2 (page 40 byte 0) locks pages 16-39 by groups of four, lock byte
// 3 the counter, AUTH0, AUTH1 and the key.
std::optional<LockBit> lockBitOf(Chip chip, int page)
{
    if (page >= 3 && page <= 7)
        return LockBit{2, 2, bit(page)};
    if (page >= 8 && page <= 15)
        return LockBit{2, 3, bit(page - 8)};
    if (chip != Chip::UltralightC)
        return std::nullopt;
    if (page >= 16 && page <= 39) {
        static constexpr int kGroupBits[] = {1, 2, 3, 5, 6, 7};
        return LockBit{kLockPageC, 0, bit(kGroupBits[(page - 16) / 4])};
    }
    if (page >= kCounterPage && page <= kAuth1Page)
        return LockBit{kLockPageC, 1, bit(page - kCounterPage + 4)};
    if (page >= kFirstKeyPage && page < kPagesC)
        return LockBit{kLockPageC, 1, 0x80};
    return std::nullopt;
}

// The bits of a lock byte its block-locking bits have frozen.
uint8_t frozenBits(const Memory &memory, int page, int byte)
{
    if (page == 2) {
        const uint8_t lock0 = at(memory, 2, 2);
        if (byte == 2) // BL-OTP, BL-9-4
            return static_cast<uint8_t>(((lock0 & 0x01) ? 0x08 : 0) | ((lock0 & 0x02) ? 0xF0 : 0));
        // BL-9-4 covers L8-L9, BL-15-10 the rest of lock byte 1.
        return static_cast<uint8_t>(((lock0 & 0x02) ? 0x03 : 0) | ((lock0 & 0x04) ? 0xFC : 0));
    }
    const uint8_t lock = at(memory, kLockPageC, byte);
    if (byte == 0) // BL 16-27, BL 28-39
        return static_cast<uint8_t>(((lock & 0x01) ? 0x0E : 0) | ((lock & 0x10) ? 0xE0 : 0));
    return static_cast<uint8_t>((lock & 0x0F) << 4); // one block-locking bit for each lock bit
}

// Lock bytes only gain bits, and only those not frozen.
void orLockBytes(Memory &memory, int page, int firstByte, const Page &data)
{
    const uint8_t frozen[2] = {frozenBits(memory, page, firstByte), frozenBits(memory, page, firstByte + 1)};
    for (int i = 0; i < 2; ++i)
        at(memory, page, firstByte + i) |= static_cast<uint8_t>(data[static_cast<size_t>(firstByte + i)] & ~frozen[i]);
}

Outcome countUp(Memory &memory, const Page &data)
{
    const uint16_t now = counter(memory);
    const uint16_t step = static_cast<uint16_t>(data[0] | data[1] << 8);
    // The first write sets any start value; every later one adds at most 15.
    uint32_t next = step;
    if (now != 0) {
        if (step > kMaxCounterStep)
            return Outcome::Refused;
        next = uint32_t{now} + step;
    }
    if (next > 0xFFFF)
        return Outcome::Refused;
    at(memory, kCounterPage, 0) = static_cast<uint8_t>(next & 0xFF);
    at(memory, kCounterPage, 1) = static_cast<uint8_t>(next >> 8);
    return Outcome::Done;
}

using Block = std::array<uint8_t, DES3_BLOCK_SIZE>;

std::mt19937_64 &randomSource()
{
    static std::mt19937_64 source{std::random_device{}()};
    return source;
}

Block randomBlock()
{
    std::uniform_int_distribution<int> byte(0, 255);
    Block b;
    for (uint8_t &x : b)
        x = static_cast<uint8_t>(byte(randomSource()));
    return b;
}

Block rotatedLeft(Block b)
{
    std::rotate(b.begin(), b.begin() + 1, b.end());
    return b;
}

// 2K3DES: key 1, key 2, key 1 again.
class TwoKeyDes
{
public:
    explicit TwoKeyDes(const Key &key)
    {
        uint8_t k[DES3_KEY_SIZE];
        std::copy(key.begin(), key.end(), k);
        std::copy(key.begin(), key.begin() + 8, k + 16);
        // A weak key still yields a schedule; the card does not refuse one.
        des3_set_key(&ctx_, k);
    }
    std::vector<uint8_t> encrypt(const Block &iv, const std::vector<uint8_t> &plain) const
    {
        return run(iv, plain, true);
    }
    std::vector<uint8_t> decrypt(const Block &iv, const std::vector<uint8_t> &cipher) const
    {
        return run(iv, cipher, false);
    }

private:
    std::vector<uint8_t> run(Block iv, const std::vector<uint8_t> &in, bool encrypting) const
    {
        std::vector<uint8_t> out(in.size());
        if (encrypting)
            cbc_encrypt(&ctx_, reinterpret_cast<nettle_cipher_func *>(des3_encrypt), DES3_BLOCK_SIZE, iv.data(),
                        in.size(), out.data(), in.data());
        else
            cbc_decrypt(&ctx_, reinterpret_cast<nettle_cipher_func *>(des3_decrypt), DES3_BLOCK_SIZE, iv.data(),
                        in.size(), out.data(), in.data());
        return out;
    }
    des3_ctx ctx_{};
};

std::vector<uint8_t> bytesOf(const Block &b)
{
    return std::vector<uint8_t>(b.begin(), b.end());
}

Block lastBlock(const std::vector<uint8_t> &bytes)
{
    Block b;
    std::copy(bytes.end() - DES3_BLOCK_SIZE, bytes.end(), b.begin());
    return b;
}

} // namespace

int pageCount(Chip chip)
{
    return chip == Chip::UltralightC ? kPagesC : kPagesUltralight;
}

Memory factoryMemory(Chip chip, const std::vector<uint8_t> &uid)
{
    if (uid.size() != 7)
        throw std::invalid_argument("an Ultralight UID has 7 bytes");
    Memory memory(static_cast<size_t>(pageCount(chip) * kPageSize), 0);
    std::copy(uid.begin(), uid.begin() + 3, memory.begin());
    at(memory, 0, 3) = static_cast<uint8_t>(kCascadeTag ^ uid[0] ^ uid[1] ^ uid[2]); // BCC0
    std::copy(uid.begin() + 3, uid.end(), memory.begin() + kPageSize);
    at(memory, 2, 0) = static_cast<uint8_t>(uid[3] ^ uid[4] ^ uid[5] ^ uid[6]); // BCC1
    at(memory, 2, 1) = kInternalByte;
    if (chip == Chip::UltralightC) {
        at(memory, kAuth0Page, 0) = static_cast<uint8_t>(kPagesC); // nothing protected
        const std::array<Page, 4> pages = keyPages(factoryKey());
        for (int i = 0; i < 4; ++i)
            std::copy(pages[i].begin(), pages[i].end(), memory.begin() + (kFirstKeyPage + i) * kPageSize);
    }
    return memory;
}

Key factoryKey()
{
    const char *text = "BREAKMEIFYOUCAN!";
    Key key;
    std::copy(text, text + key.size(), key.begin());
    return key;
}

uint32_t cardNumber(const std::vector<uint8_t> &uid)
{
    const uint32_t level1 = uint32_t{kCascadeTag} << 24 | uint32_t(uid[0]) << 16 | uint32_t(uid[1]) << 8 | uid[2];
    const uint32_t level2 = uint32_t(uid[3]) << 24 | uint32_t(uid[4]) << 16 | uint32_t(uid[5]) << 8 | uid[6];
    return level1 ^ level2;
}

bool pageLocked(Chip chip, const Memory &memory, int page)
{
    const std::optional<LockBit> lock = lockBitOf(chip, page);
    return lock && (at(memory, lock->page, lock->byte) & lock->mask);
}

bool authenticationRequired(Chip chip, const Memory &memory, int page, bool forWriting)
{
    if (chip != Chip::UltralightC)
        return false;
    const int firstProtected = std::max<int>(at(memory, kAuth0Page, 0), kFirstProtectablePage);
    const bool readFree = at(memory, kAuth1Page, 0) & 0x01;
    return page >= firstProtected && (forWriting || !readFree);
}

Outcome read(Chip chip, const Memory &memory, int page, bool authenticated, Page *out)
{
    if (page < 0 || page >= pageCount(chip))
        return Outcome::OutOfRange;
    if (page >= kFirstKeyPage || (authenticationRequired(chip, memory, page, false) && !authenticated))
        return Outcome::Refused;
    std::copy(memory.begin() + page * kPageSize, memory.begin() + (page + 1) * kPageSize, out->begin());
    return Outcome::Done;
}

Outcome write(Chip chip, Memory &memory, int page, const Page &data, bool authenticated)
{
    if (page < 0 || page >= pageCount(chip))
        return Outcome::OutOfRange;
    if (page < 2 || (authenticationRequired(chip, memory, page, true) && !authenticated))
        return Outcome::Refused;
    if (page == 2) { // BCC1 and the internal byte stay
        orLockBytes(memory, 2, 2, data);
        return Outcome::Done;
    }
    if (chip == Chip::UltralightC && page == kLockPageC) {
        orLockBytes(memory, kLockPageC, 0, data);
        return Outcome::Done;
    }
    if (pageLocked(chip, memory, page))
        return Outcome::Refused;
    if (page == 3) {
        for (int i = 0; i < kPageSize; ++i)
            at(memory, 3, i) |= data[static_cast<size_t>(i)];
        return Outcome::Done;
    }
    if (chip == Chip::UltralightC && page == kCounterPage)
        return countUp(memory, data);
    std::copy(data.begin(), data.end(), memory.begin() + page * kPageSize);
    return Outcome::Done;
}

Key storedKey(const Memory &memory)
{
    Key key;
    const auto first = memory.begin() + kFirstKeyPage * kPageSize;
    std::reverse_copy(first, first + 8, key.begin());
    std::reverse_copy(first + 8, first + 16, key.begin() + 8);
    return key;
}

std::array<Page, 4> keyPages(const Key &key)
{
    std::array<uint8_t, 16> stored;
    std::reverse_copy(key.begin(), key.begin() + 8, stored.begin());
    std::reverse_copy(key.begin() + 8, key.end(), stored.begin() + 8);
    std::array<Page, 4> pages;
    for (size_t i = 0; i < pages.size(); ++i)
        std::copy(stored.begin() + 4 * i, stored.begin() + 4 * i + 4, pages[i].begin());
    return pages;
}

uint16_t counter(const Memory &memory)
{
    return static_cast<uint16_t>(at(memory, kCounterPage, 0) | at(memory, kCounterPage, 1) << 8);
}

bool mutualAuthentication(const Key &readerKey, const Key &cardKey)
{
    const TwoKeyDes card(cardKey);
    const TwoKeyDes reader(readerKey);
    const Block zero{};

    // Card: AF ek(RndB).
    const Block rndB = randomBlock();
    const std::vector<uint8_t> challenge = card.encrypt(zero, bytesOf(rndB));

    // Reader: AF ek(RndA || RndB'), chained on the challenge.
    Block readerRndB;
    const std::vector<uint8_t> plainB = reader.decrypt(zero, challenge);
    std::copy(plainB.begin(), plainB.end(), readerRndB.begin());
    const Block rndA = randomBlock();
    std::vector<uint8_t> token = bytesOf(rndA);
    const Block rotatedB = rotatedLeft(readerRndB);
    token.insert(token.end(), rotatedB.begin(), rotatedB.end());
    const std::vector<uint8_t> sent = reader.encrypt(lastBlock(challenge), token);

    // Card: checks RndB', answers 00 ek(RndA').
    const std::vector<uint8_t> opened = card.decrypt(lastBlock(challenge), sent);
    if (!std::equal(opened.begin() + 8, opened.end(), rotatedLeft(rndB).begin()))
        return false;
    Block cardRndA;
    std::copy(opened.begin(), opened.begin() + 8, cardRndA.begin());
    const std::vector<uint8_t> answer = card.encrypt(lastBlock(sent), bytesOf(rotatedLeft(cardRndA)));

    // Reader: checks RndA'.
    const std::vector<uint8_t> rndAAnswered = reader.decrypt(lastBlock(sent), answer);
    if (rndAAnswered != bytesOf(rotatedLeft(rndA)))
        return false;
    return readerKey == cardKey;
}

std::optional<LockWrite> lockWriteFor(Chip chip, int page)
{
    if (page < 0 || page >= pageCount(chip))
        return std::nullopt;
    if (page == 2)
        return LockWrite{2, {0x00, 0x00, 0x07, 0x00}};
    if (chip == Chip::UltralightC && page == kLockPageC)
        return LockWrite{kLockPageC, {0x11, 0x0F, 0x00, 0x00}};
    const std::optional<LockBit> lock = lockBitOf(chip, page);
    if (!lock)
        return std::nullopt;
    LockWrite w;
    w.page = lock->page;
    w.bits[static_cast<size_t>(lock->byte)] = lock->mask;
    return w;
}

bool lockHeld(const Memory &memory, const LockWrite &lock)
{
    for (int i = 0; i < kPageSize; ++i) {
        const uint8_t wanted = lock.bits[static_cast<size_t>(i)];
        if ((at(memory, lock.page, i) & wanted) != wanted)
            return false;
    }
    return true;
}

} // namespace sim::ultralight
