#include "pcsc/vcard/MifareClassicCard.h"

#include "pcsc/core/MifareLayout.h"

#include <algorithm>
#include <climits>

namespace vcard
{
namespace
{

namespace mifare = pcsc::mifare;

constexpr uint16_t kOk = 0x9000;
constexpr uint16_t kFailed = 0x6300;
constexpr uint16_t kNotAuthenticated = 0x6982;
constexpr uint16_t kWrongKeyType = 0x6986;
constexpr uint16_t kWrongKeyNumber = 0x6988;
constexpr uint16_t kNoSuchBlock = 0x6A82;
constexpr uint16_t kWrongLength = 0x6700;
constexpr uint16_t kUnknownInstruction = 0x6D00;
constexpr uint16_t kUnknownClass = 0x6E00;

// Who may do what, by C1C2C3 (NXP MF1S50 datasheet): 1 key A, 2 key B.
constexpr uint8_t kA = 1, kB = 2, kAB = 3, kNever = 0;
constexpr uint8_t kDataAccess[8][4] = {
    // read, write, increment, decrement/transfer/restore
    {kAB, kAB, kAB, kAB},     {kAB, kNever, kNever, kAB},       {kAB, kNever, kNever, kNever},
    {kB, kB, kNever, kNever}, {kAB, kB, kNever, kNever},        {kB, kNever, kNever, kNever},
    {kAB, kB, kB, kAB},       {kNever, kNever, kNever, kNever},
};
constexpr uint8_t kTrailerAccess[8][5] = {
    // key A write, access read, access write, key B read, key B write
    {kA, kA, kNever, kA, kA},
    {kA, kA, kA, kA, kA},
    {kNever, kA, kNever, kA, kNever},
    {kB, kAB, kB, kNever, kB},
    {kB, kAB, kNever, kNever, kB},
    {kNever, kAB, kB, kNever, kNever},
    {kNever, kAB, kNever, kNever, kNever},
    {kNever, kAB, kNever, kNever, kNever},
};

bool accessBytesValid(const MifareClassicCard::Block &t)
{
    return (t[6] & 0x0F) == (~t[7] >> 4 & 0x0F) && (t[6] >> 4) == (~t[8] & 0x0F) &&
           (t[7] & 0x0F) == (~t[8] >> 4 & 0x0F);
}

uint8_t mask(bool keyB)
{
    return keyB ? kB : kA;
}

// Data length of a command APDU with Lc, or -1 when Lc and the length disagree.
int dataLength(const Bytes &apdu)
{
    if (apdu.size() < 5 || apdu.size() != 5u + apdu[4])
        return -1;
    return apdu[4];
}

} // namespace

MifareClassicCard::MifareClassicCard(const Bytes &uid) : uid_(uid)
{
    Block &zero = blocks_[0];
    std::copy(uid.begin(), uid.end(), zero.begin());
    uint8_t bcc = 0;
    for (uint8_t b : uid)
        bcc ^= b;
    zero[uid.size()] = bcc;
    zero[uid.size() + 1] = 0x08; // SAK
    zero[uid.size() + 2] = uid.size() == 7 ? 0x44 : 0x04;
    for (int sector = 0; sector < 16; ++sector) {
        Block &trailer = blocks_[static_cast<size_t>(mifare::trailerOfSector(sector))];
        trailer = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x80, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    }
}

// PC/SC Part 3 storage card: ISO 14443 A part 3, card name 00 01 (1K).
Bytes MifareClassicCard::atr() const
{
    Bytes atr{0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00,
              0x03, 0x06, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
    uint8_t tck = 0;
    for (size_t i = 1; i < atr.size(); ++i)
        tck ^= atr[i];
    atr.push_back(tck);
    return atr;
}

void MifareClassicCard::powerCycle()
{
    authSector_ = -1;
}

Bytes MifareClassicCard::process(const Bytes &apdu)
{
    if (apdu.size() < 4)
        return withStatus({}, kWrongLength);
    if (apdu[0] != 0xFF)
        return withStatus({}, kUnknownClass);
    switch (apdu[1]) {
    case 0xCA:
        return apdu[2] == 0x00 ? withStatus(uid_, kOk) : withStatus({}, 0x6A81);
    case 0x82:
        return withStatus({}, loadKey(apdu));
    case 0x86:
        return withStatus({}, authenticate(apdu));
    case 0xB0:
        return readBinary(apdu);
    case 0xD6:
        return withStatus({}, updateBinary(apdu));
    case 0xD7:
        return withStatus({}, valueOperation(apdu));
    default:
        return withStatus({}, kUnknownInstruction);
    }
}

uint16_t MifareClassicCard::loadKey(const Bytes &apdu)
{
    if (dataLength(apdu) != 6)
        return kWrongLength;
    if (apdu[3] >= slots_.size())
        return kWrongKeyNumber;
    std::copy(apdu.begin() + 5, apdu.end(), slots_[apdu[3]].begin());
    return kOk;
}

uint16_t MifareClassicCard::authenticate(const Bytes &apdu)
{
    if (dataLength(apdu) != 5 || apdu[5] != 0x01)
        return kWrongLength;
    const int block = apdu[6] << 8 | apdu[7];
    const uint8_t type = apdu[8];
    const uint8_t slot = apdu[9];
    if (block >= kBlocks)
        return kNoSuchBlock;
    if (type != 0x60 && type != 0x61)
        return kWrongKeyType;
    if (slot >= slots_.size())
        return kWrongKeyNumber;
    const int sector = mifare::sectorOfBlock(block);
    const Block &trailer = blocks_[static_cast<size_t>(mifare::trailerOfSector(sector))];
    const bool keyB = type == 0x61;
    const auto &key = slots_[slot];
    // A sector with broken access bytes never authenticates.
    if (!accessBytesValid(trailer) || !std::equal(key.begin(), key.end(), trailer.begin() + (keyB ? 10 : 0))) {
        authSector_ = -1;
        return kFailed;
    }
    authSector_ = sector;
    authKeyB_ = keyB;
    return kOk;
}

bool MifareClassicCard::authenticatedFor(int block) const
{
    return authSector_ >= 0 && authSector_ == mifare::sectorOfBlock(block);
}

int MifareClassicCard::accessBits(int block) const
{
    const Block &t = blocks_[static_cast<size_t>(mifare::trailerOfSector(mifare::sectorOfBlock(block)))];
    const int group = mifare::isTrailer(block) ? 3 : block % 4;
    const int c1 = t[7] >> (4 + group) & 1;
    const int c2 = t[8] >> group & 1;
    const int c3 = t[8] >> (4 + group) & 1;
    return c1 << 2 | c2 << 1 | c3;
}

bool MifareClassicCard::allowed(int block, Op op) const
{
    // Key B that the trailer lets be read is data: nothing is allowed after
    // authenticating with it.
    const int trailerBits = accessBits(mifare::trailerOfSector(mifare::sectorOfBlock(block)));
    if (authKeyB_ && trailerBits <= 2)
        return false;
    return (kDataAccess[accessBits(block)][static_cast<int>(op)] & mask(authKeyB_)) != 0;
}

bool MifareClassicCard::trailerAllowed(int block, Part part) const
{
    const int bits = accessBits(block);
    if (authKeyB_ && bits <= 2)
        return false;
    return (kTrailerAccess[bits][static_cast<int>(part)] & mask(authKeyB_)) != 0;
}

Bytes MifareClassicCard::readBinary(const Bytes &apdu)
{
    if (apdu.size() != 5 || (apdu[4] != 16 && apdu[4] != 0))
        return withStatus({}, kWrongLength);
    const int block = apdu[2] << 8 | apdu[3];
    if (block >= kBlocks)
        return withStatus({}, kNoSuchBlock);
    if (!authenticatedFor(block))
        return withStatus({}, kNotAuthenticated);
    const Block &stored = blocks_[static_cast<size_t>(block)];
    if (!mifare::isTrailer(block)) {
        if (!allowed(block, Op::Read))
            return withStatus({}, kFailed);
        return withStatus(Bytes(stored.begin(), stored.end()), kOk);
    }
    // Key A never reads back; the other parts as the access bits say.
    Bytes shown(16, 0);
    if (trailerAllowed(block, Part::AccessRead))
        std::copy(stored.begin() + 6, stored.begin() + 10, shown.begin() + 6);
    if (trailerAllowed(block, Part::KeyBRead))
        std::copy(stored.begin() + 10, stored.end(), shown.begin() + 10);
    return withStatus(shown, kOk);
}

uint16_t MifareClassicCard::updateBinary(const Bytes &apdu)
{
    if (dataLength(apdu) != 16)
        return kWrongLength;
    const int block = apdu[2] << 8 | apdu[3];
    if (block >= kBlocks)
        return kNoSuchBlock;
    if (!authenticatedFor(block))
        return kNotAuthenticated;
    if (mifare::isTrailer(block))
        return writeTrailer(block, apdu.data() + 5);
    if (block == 0 || !allowed(block, Op::Write))
        return kFailed;
    std::copy(apdu.begin() + 5, apdu.end(), blocks_[static_cast<size_t>(block)].begin());
    return kOk;
}

// The parts the current key may write are written, the others kept.
uint16_t MifareClassicCard::writeTrailer(int block, const uint8_t *data)
{
    const bool keyA = trailerAllowed(block, Part::KeyAWrite);
    const bool access = trailerAllowed(block, Part::AccessWrite);
    const bool keyB = trailerAllowed(block, Part::KeyBWrite);
    if (!keyA && !access && !keyB)
        return kFailed;
    Block &stored = blocks_[static_cast<size_t>(block)];
    if (keyA)
        std::copy(data, data + 6, stored.begin());
    if (access)
        std::copy(data + 6, data + 10, stored.begin() + 6);
    if (keyB)
        std::copy(data + 10, data + 16, stored.begin() + 10);
    return kOk;
}

// FF D7 00 block 05 op value(BE): 00 store, 01 increment, 02 decrement, the
// result transferred into the same block; FF D7 00 source 02 03 target:
// restore and transfer.
uint16_t MifareClassicCard::valueOperation(const Bytes &apdu)
{
    const int length = dataLength(apdu);
    const int block = apdu[3];
    if (length < 2 || block >= kBlocks)
        return length < 2 ? kWrongLength : kNoSuchBlock;
    if (!authenticatedFor(block))
        return kNotAuthenticated;
    if (mifare::isTrailer(block))
        return kFailed;
    Block &stored = blocks_[static_cast<size_t>(block)];
    const uint8_t op = apdu[5];
    if (op == 0x03 && length == 2) {
        const int target = apdu[6];
        if (target >= kBlocks || mifare::isTrailer(target) || target == 0 || !authenticatedFor(target))
            return kFailed;
        if (!allowed(block, Op::Decrement) || !allowed(target, Op::Decrement) || !mifare::decodeValue(stored.data()))
            return kFailed;
        blocks_[static_cast<size_t>(target)] = stored;
        return kOk;
    }
    if (length != 5 || op > 0x02)
        return kWrongLength;
    const int32_t amount = static_cast<int32_t>(pcsc::bigEndian32(apdu.data() + 6));
    if (op == 0x00) {
        if (block == 0 || !allowed(block, Op::Write))
            return kFailed;
        const Bytes value = mifare::encodeValue(amount, static_cast<uint8_t>(block));
        std::copy(value.begin(), value.end(), stored.begin());
        return kOk;
    }
    const std::optional<mifare::Value> current = mifare::decodeValue(stored.data());
    if (!current || !allowed(block, op == 0x01 ? Op::Increment : Op::Decrement) || amount < 0)
        return kFailed;
    const int64_t result = int64_t(current->value) + (op == 0x01 ? amount : -int64_t(amount));
    if (result > INT32_MAX || result < INT32_MIN)
        return kFailed;
    const Bytes value = mifare::encodeValue(static_cast<int32_t>(result), current->address);
    std::copy(value.begin(), value.end(), stored.begin());
    return kOk;
}

} // namespace vcard
