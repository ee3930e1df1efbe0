#include "sim/core/Simulator.h"

#include "sim/core/Hex.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

namespace sim
{

using mifare::Block;
using mifare::DataOp;
using mifare::TrailerPart;

namespace
{

constexpr int kNoReader = -1;
constexpr int kReservedHandle = 32; // the tool treats 32 as a failed open

const char *positionOfProtocol(char protocol)
{
    switch (protocol) {
    case 'A':
        return "typea";
    case 'B':
        return "typeb";
    case '1':
        return "iso15693";
    default:
        return "";
    }
}

bool isMifare(const Card &card)
{
    return card.kind == CardKind::S50 || card.kind == CardKind::S70;
}

std::string identityOf(const Card &card)
{
    return std::string(kindName(card.kind)) + ":" + toHex(card.uid) + ":" + std::to_string(card.number) + ":" +
           std::to_string(card.placement);
}

uint32_t bigEndian(const uint8_t *bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]);
}

// First cascade level: the UID itself, or 0x88 and uid0..2 for 7 bytes.
uint32_t cascade1(const Card &card)
{
    if (card.uid.size() == 7) {
        const uint8_t cl1[4] = {0x88, card.uid[0], card.uid[1], card.uid[2]};
        return bigEndian(cl1);
    }
    return bigEndian(card.uid.data());
}

uint32_t cascade2(const Card &card)
{
    return bigEndian(card.uid.data() + 3);
}

int blockCount(const Card &card)
{
    return static_cast<int>(card.blocks.size());
}

int sectorCount(const Card &card)
{
    return card.kind == CardKind::S70 ? 40 : 16;
}

// The trailer that governs a block.
const Block &trailerOfBlock(const Card &card, int block)
{
    return card.blocks[static_cast<size_t>(mifare::trailerOfSector(mifare::sectorOfBlock(block)))];
}

bool keyModeValid(unsigned char mode)
{
    return mode <= 2 || (mode >= 4 && mode <= 6);
}

uint16_t crcB(const uint8_t *data, size_t n)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0x8408) : static_cast<uint16_t>(crc >> 1);
    }
    return static_cast<uint16_t>(~crc);
}

} // namespace

Simulator::Simulator() = default;

// Follows T7SIM_BENCH: another file is another bench, with nothing open.
void Simulator::follow()
{
    const std::string path = benchPath();
    if (!store_ || store_->path() != path) {
        store_ = std::make_unique<BenchStore>(path);
        handles_.clear();
        sessions_.clear();
        contactSlots_.clear();
    }
    store_->current();
}

void Simulator::charge(air::Frame frame, std::size_t bytes)
{
    chargedAir_ += air::duration(frame, bytes);
}

// The call has looked at the bench file already (every entry point does), so
// its setting is read from memory rather than from the file once per command.
void Simulator::settleAirTime()
{
    const air::Duration charged = std::exchange(chargedAir_, air::Duration(0));
    if (charged.count() > 0 && store_ && air::enabled(store_->lastRead().airTiming))
        airClock_.pass(charged);
}

Simulator::Open *Simulator::openReader(int h)
{
    follow();
    const auto it = handles_.find(h);
    return it == handles_.end() ? nullptr : &it->second;
}

const Reader *Simulator::reader(int h)
{
    const Open *open = openReader(h);
    return open ? store_->current().find(open->reader) : nullptr;
}

int Simulator::openHandle(const std::string &readerName)
{
    if (nextHandle_ == kReservedHandle || nextHandle_ <= 0)
        nextHandle_ = nextHandle_ <= 0 ? 1 : nextHandle_ + 1;
    const int h = nextHandle_++;
    handles_[h] = Open{readerName, true};
    return h;
}

Simulator::Session &Simulator::session(const std::string &readerName, const std::string &position, const Card &card)
{
    Session &s = sessions_[readerName + "/" + position];
    const std::string identity = identityOf(card);
    if (s.identity != identity)
        s = Session::fresh(identity);
    return s;
}

void Simulator::powerDownContactless(const std::string &readerName)
{
    for (const char *position : {"typea", "typeb", "iso15693"}) {
        const auto it = sessions_.find(readerName + "/" + position);
        if (it != sessions_.end())
            it->second = Session::fresh(it->second.identity);
    }
}

// ---- Reader ----

int Simulator::init(int port, int baud)
{
    follow();
    auto isOpen = [this](const std::string &name) {
        for (const auto &[h, open] : handles_)
            if (open.reader == name)
                return true;
        return false;
    };
    for (const Reader &r : store_->current().readers) {
        if (isOpen(r.name))
            continue;
        if (port == 100 && r.usb)
            return openHandle(r.name);
        if (port >= 0 && port <= 5 && !r.usb && r.port == port && r.baud == baud)
            return openHandle(r.name);
    }
    return kNoReader;
}

int Simulator::exit(int h)
{
    if (!openReader(h))
        return kBadHandle;
    handles_.erase(h);
    return kOk;
}

int Simulator::getVersion(int h, char *version)
{
    const Reader *r = reader(h);
    if (!r)
        return kBadHandle;
    if (!version)
        return kBadArgument;
    // The tool's buffers hold at least 255 bytes.
    const size_t n = std::min<size_t>(r->version.size(), 254);
    std::memcpy(version, r->version.data(), n);
    version[n] = '\0';
    return kOk;
}

int Simulator::beep(int h, int duration)
{
    return changePeripherals(h, true, [&](Peripherals &p) {
        ++p.beepCount;
        p.lastBeeps.push_back(duration);
        if (p.lastBeeps.size() > Peripherals::kBeepLog)
            p.lastBeeps.erase(p.lastBeeps.begin());
        return kOk;
    });
}

int Simulator::configCard(int h, unsigned char protocol)
{
    const Open *open = openReader(h);
    if (!open || !store_->current().find(open->reader))
        return kBadHandle;
    if (protocol != 'A' && protocol != 'B' && protocol != '1')
        return kBadArgument;
    const std::string name = open->reader;
    store_->modify([&](Bench &bench) {
        Reader *r = bench.find(name);
        if (!r || r->protocol == static_cast<char>(protocol))
            return false;
        r->protocol = static_cast<char>(protocol);
        return true;
    });
    powerDownContactless(name);
    return kOk;
}

// ms = 0 switches the field off until the next activation command; any
// other duration is an off-and-on cycle. Either way every contactless card
// loses power: no selection, no authentication, no halt.
int Simulator::resetField(int h, unsigned short ms)
{
    Open *open = openReader(h);
    if (!open || !store_->current().find(open->reader))
        return kBadHandle;
    powerDownContactless(open->reader);
    open->fieldOn = ms != 0;
    return kOk;
}

// ---- finding cards ----

int Simulator::contactless(int h, const char *position, Target *target)
{
    Open *open = openReader(h);
    const Reader *r = open ? store_->current().find(open->reader) : nullptr;
    if (!r)
        return kBadHandle;
    if (std::strcmp(positionOfProtocol(r->protocol), position) != 0)
        return kNoCard;
    const auto it = r->cards.find(position);
    if (it == r->cards.end())
        return kNoCard;
    target->reader = r;
    target->card = &it->second;
    target->position = position;
    target->session = &session(r->name, position, it->second);
    if (!open->fieldOn) // unpowered cards hold no state
        *target->session = Session::fresh(target->session->identity);
    return kOk;
}

// ---- TYPE A ----

int Simulator::request(int h, unsigned char mode, int *tagType, bool keepSelected)
{
    if (mode > 1 || !tagType)
        return openReader(h) ? kBadArgument : kBadHandle;
    Open *open = openReader(h);
    if (open)
        open->fieldOn = true;
    charge(air::Frame::Request);
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    if (mode == 0 && t.session->phase == Phase::Halted)
        return kNoCard;
    // The reader answers a request for the card it already has selected
    // without disturbing it, so a request between finding the card and
    // authenticating (as the tool's polling does) keeps the selection.
    if (!keepSelected || t.session->phase != Phase::Active)
        *t.session = Session::fresh(t.session->identity, Phase::Ready);
    *tagType = atqaOf(*t.card);
    return kOk;
}

int Simulator::anticoll(int h, unsigned int *serial)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    charge(air::Frame::Anticollision);
    if (!serial)
        return kBadArgument;
    if (t.session->phase != Phase::Ready)
        return kNoCard;
    *serial = cascade1(*t.card);
    return kOk;
}

int Simulator::select(int h, unsigned int serial, unsigned char *sak)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    charge(air::Frame::Select);
    if (t.session->phase != Phase::Ready || serial != cascade1(*t.card))
        return kNoCard;
    const bool cascade = t.card->uid.size() == 7;
    t.session->phase = cascade ? Phase::Cascade1Selected : Phase::Active;
    if (sak)
        *sak = cascade ? 0x04 : sakOf(*t.card);
    return kOk;
}

int Simulator::card(int h, unsigned char mode, unsigned int *serial)
{
    if (!serial)
        return openReader(h) ? kBadArgument : kBadHandle;
    int tagType = 0;
    unsigned int found = 0;
    if (const int rc = request(h, mode, &tagType, false))
        return rc;
    if (const int rc = anticoll(h, &found))
        return rc;
    if (const int rc = select(h, found, nullptr))
        return rc;
    *serial = found;
    return kOk;
}

int Simulator::anticoll2(int h, unsigned int *serial2)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    charge(air::Frame::Anticollision2);
    if (!serial2)
        return kBadArgument;
    if (t.session->phase != Phase::Cascade1Selected)
        return kNoCard;
    *serial2 = cascade2(*t.card);
    return kOk;
}

int Simulator::select2(int h, unsigned int serial2)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    charge(air::Frame::Select2);
    if (t.session->phase != Phase::Cascade1Selected || serial2 != cascade2(*t.card))
        return kNoCard;
    t.session->phase = Phase::Active;
    return kOk;
}

int Simulator::halt(int h)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    charge(air::Frame::Halt);
    if (t.session->phase != Phase::Active && t.session->phase != Phase::Cascade1Selected)
        return kNoCard;
    *t.session = Session::fresh(t.session->identity, Phase::Halted);
    return kOk;
}

// ---- MIFARE Classic ----

int Simulator::loadKey(int h, unsigned char keyMode, unsigned char row, const unsigned char *key)
{
    const Open *open = openReader(h);
    if (!open || !store_->current().find(open->reader))
        return kBadHandle;
    if (!keyModeValid(keyMode) || row > 15 || !key)
        return kBadArgument;
    const std::string name = open->reader;
    store_->modify([&](Bench &bench) {
        Reader *r = bench.find(name);
        if (!r)
            return false;
        auto &slot = r->keys[keyMode & 3][keyMode >> 2][row];
        std::copy(key, key + 6, slot.begin());
        return true;
    });
    return kOk;
}

int Simulator::authenticate(int h, unsigned char keyMode, unsigned char sector)
{
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    charge(air::Frame::Authenticate);
    if (!isMifare(*t.card))
        return kNotSupported;
    if (t.session->phase != Phase::Active)
        return kNoCard;
    if (!keyModeValid(keyMode) || sector >= sectorCount(*t.card))
        return kBadArgument;
    const bool keyB = keyMode >= 4;
    const auto &key = t.reader->keys[keyMode & 3][keyB ? 1 : 0][sector % 16];
    const Block &trailer = t.card->blocks[static_cast<size_t>(mifare::trailerOfSector(sector))];
    const uint8_t *stored = trailer.data() + (keyB ? 10 : 0);
    // A sector with broken access bytes never authenticates again.
    if (!mifare::accessBytesValid(trailer) || !std::equal(key.begin(), key.end(), stored)) {
        *t.session = Session::fresh(t.session->identity, Phase::Idle);
        return kAuthFailed;
    }
    t.session->authSector = sector;
    t.session->authKeyB = keyB;
    t.session->bufferValid = false;
    return kOk;
}

// The card is selected, the block exists and its sector is the
// authenticated one, with a key the card accepts for memory access.
int Simulator::mifareAccess(int h, int block, Target *t)
{
    if (const int rc = contactless(h, "typea", t))
        return rc;
    if (!isMifare(*t->card))
        return kNotSupported;
    if (t->session->phase != Phase::Active)
        return kNoCard;
    if (block < 0 || block >= blockCount(*t->card))
        return kBadArgument;
    const int sector = mifare::sectorOfBlock(block);
    if (t->session->authSector != sector)
        return kAuthFailed;
    const Block &trailer = t->card->blocks[static_cast<size_t>(mifare::trailerOfSector(sector))];
    if (!mifare::accessBytesValid(trailer))
        return kAuthFailed;
    // Key B that is readable is data: the card refuses access after it.
    if (t->session->authKeyB && mifare::keyBIsData(mifare::accessBits(trailer, 3)))
        return kAccessDenied;
    return kOk;
}

int Simulator::modifyCard(int h, const char *position, const std::function<int(Card &)> &change)
{
    const std::string readerName = handles_.at(h).reader;
    const std::string identity = sessions_[readerName + "/" + position].identity;
    int result = kNoCard;
    store_->modify([&](Bench &bench) {
        Reader *r = bench.find(readerName);
        if (!r)
            return false;
        const auto it = r->cards.find(position);
        // The card may have been taken away by another process meanwhile.
        if (it == r->cards.end() || identityOf(it->second) != identity)
            return false;
        result = change(it->second);
        return result == kOk;
    });
    return result;
}

int Simulator::readBlock(int h, unsigned char block, unsigned char *data)
{
    charge(air::Frame::Read);
    Target t;
    if (const int rc = mifareAccess(h, block, &t))
        return rc;
    if (!data)
        return kBadArgument;
    const bool keyB = t.session->authKeyB;
    const Block &trailer = trailerOfBlock(*t.card, block);
    const int trailerBits = mifare::accessBits(trailer, 3);
    const Block &stored = t.card->blocks[block];
    if (!mifare::isTrailer(block)) {
        if (!mifare::dataAccessAllowed(mifare::accessBits(trailer, mifare::accessGroup(block)), DataOp::Read, keyB))
            return kAccessDenied;
        std::copy(stored.begin(), stored.end(), data);
        return kOk;
    }
    Block shown{};
    if (mifare::trailerReadAllowed(trailerBits, TrailerPart::KeyA, keyB))
        std::copy(stored.begin(), stored.begin() + 6, shown.begin());
    if (mifare::trailerReadAllowed(trailerBits, TrailerPart::AccessBits, keyB))
        std::copy(stored.begin() + 6, stored.begin() + 10, shown.begin() + 6);
    if (mifare::trailerReadAllowed(trailerBits, TrailerPart::KeyB, keyB))
        std::copy(stored.begin() + 10, stored.end(), shown.begin() + 10);
    std::copy(shown.begin(), shown.end(), data);
    return kOk;
}

// Writes the parts of a trailer the access conditions allow; the others
// keep their bytes, as on the card. Nothing writable is refused.
int Simulator::writeTrailer(int h, int block, const Block &wanted)
{
    Target t;
    if (const int rc = mifareAccess(h, block, &t))
        return rc;
    const bool keyB = t.session->authKeyB;
    const int bits = mifare::accessBits(t.card->blocks[block], 3);
    const bool keyA = mifare::trailerWriteAllowed(bits, TrailerPart::KeyA, keyB);
    const bool access = mifare::trailerWriteAllowed(bits, TrailerPart::AccessBits, keyB);
    const bool keyBPart = mifare::trailerWriteAllowed(bits, TrailerPart::KeyB, keyB);
    if (!keyA && !access && !keyBPart)
        return kAccessDenied;
    return modifyCard(h, "typea", [&](Card &card) {
        Block &stored = card.blocks[block];
        if (keyA)
            std::copy(wanted.begin(), wanted.begin() + 6, stored.begin());
        if (access)
            std::copy(wanted.begin() + 6, wanted.begin() + 10, stored.begin() + 6);
        if (keyBPart)
            std::copy(wanted.begin() + 10, wanted.end(), stored.begin() + 10);
        return kOk;
    });
}

int Simulator::writeBlock(int h, unsigned char block, const unsigned char *data)
{
    charge(air::Frame::Write);
    Target t;
    if (const int rc = mifareAccess(h, block, &t))
        return rc;
    if (!data)
        return kBadArgument;
    Block wanted;
    std::copy(data, data + 16, wanted.begin());
    if (mifare::isTrailer(block))
        return writeTrailer(h, block, wanted);
    if (block == 0) // manufacturer block
        return kAccessDenied;
    const Block &trailer = trailerOfBlock(*t.card, block);
    if (!mifare::dataAccessAllowed(mifare::accessBits(trailer, mifare::accessGroup(block)), DataOp::Write,
                                   t.session->authKeyB))
        return kAccessDenied;
    return modifyCard(h, "typea", [&](Card &card) {
        card.blocks[block] = wanted;
        return kOk;
    });
}

int Simulator::changeTrailer(int h, unsigned char sector, const unsigned char *keyA, const unsigned char *controlWord,
                             const unsigned char *keyB)
{
    charge(air::Frame::Write);
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    if (!isMifare(*t.card))
        return kNotSupported;
    if (sector >= sectorCount(*t.card) || !keyA || !controlWord || !keyB)
        return kBadArgument;
    Block wanted;
    std::copy(keyA, keyA + 6, wanted.begin());
    std::copy(controlWord, controlWord + 4, wanted.begin() + 6);
    std::copy(keyB, keyB + 6, wanted.begin() + 10);
    return writeTrailer(h, mifare::trailerOfSector(sector), wanted);
}

// The value block's content for an operation the access conditions allow.
int Simulator::valueOperand(int h, unsigned char block, DataOp op, int32_t *value, uint8_t *address)
{
    Target t;
    if (const int rc = mifareAccess(h, block, &t))
        return rc;
    if (mifare::isTrailer(block))
        return kNotValueBlock;
    const Block &trailer = trailerOfBlock(*t.card, block);
    if (!mifare::dataAccessAllowed(mifare::accessBits(trailer, mifare::accessGroup(block)), op, t.session->authKeyB))
        return kAccessDenied;
    if (!mifare::decodeValue(t.card->blocks[block], value, address))
        return kNotValueBlock;
    return kOk;
}

int Simulator::initValue(int h, unsigned char block, int value)
{
    charge(air::Frame::Write);
    Target t;
    if (const int rc = mifareAccess(h, block, &t))
        return rc;
    if (mifare::isTrailer(block))
        return kNotValueBlock;
    if (block == 0)
        return kAccessDenied;
    const Block &trailer = trailerOfBlock(*t.card, block);
    if (!mifare::dataAccessAllowed(mifare::accessBits(trailer, mifare::accessGroup(block)), DataOp::Write,
                                   t.session->authKeyB))
        return kAccessDenied;
    return modifyCard(h, "typea", [&](Card &card) {
        card.blocks[block] = mifare::encodeValue(value, block);
        return kOk;
    });
}

int Simulator::readValue(int h, unsigned char block, int *value)
{
    charge(air::Frame::Read);
    int32_t v = 0;
    uint8_t address = 0;
    if (const int rc = valueOperand(h, block, DataOp::Read, &v, &address))
        return rc;
    if (!value)
        return kBadArgument;
    *value = v;
    return kOk;
}

int Simulator::increment(int h, unsigned char block, int amount)
{
    charge(air::Frame::Value);
    int32_t v = 0;
    uint8_t address = 0;
    if (const int rc = valueOperand(h, block, DataOp::Increment, &v, &address))
        return rc;
    if (amount < 0)
        return kBadArgument;
    if (v > INT32_MAX - amount)
        return kNotValueBlock;
    Target t;
    contactless(h, "typea", &t);
    t.session->buffer = v + amount;
    t.session->bufferAddress = address;
    t.session->bufferValid = true;
    return kOk;
}

int Simulator::decrement(int h, unsigned char block, int amount)
{
    charge(air::Frame::Value);
    int32_t v = 0;
    uint8_t address = 0;
    if (const int rc = valueOperand(h, block, DataOp::DecrementTransferRestore, &v, &address))
        return rc;
    if (amount < 0)
        return kBadArgument;
    if (v < INT32_MIN + amount)
        return kNotValueBlock;
    Target t;
    contactless(h, "typea", &t);
    t.session->buffer = v - amount;
    t.session->bufferAddress = address;
    t.session->bufferValid = true;
    return kOk;
}

int Simulator::restore(int h, unsigned char block)
{
    charge(air::Frame::Value);
    int32_t v = 0;
    uint8_t address = 0;
    if (const int rc = valueOperand(h, block, DataOp::DecrementTransferRestore, &v, &address))
        return rc;
    Target t;
    contactless(h, "typea", &t);
    t.session->buffer = v;
    t.session->bufferAddress = address;
    t.session->bufferValid = true;
    return kOk;
}

int Simulator::transfer(int h, unsigned char block)
{
    charge(air::Frame::Transfer);
    Target t;
    if (const int rc = mifareAccess(h, block, &t))
        return rc;
    if (mifare::isTrailer(block) || block == 0)
        return kAccessDenied;
    const Block &trailer = trailerOfBlock(*t.card, block);
    if (!mifare::dataAccessAllowed(mifare::accessBits(trailer, mifare::accessGroup(block)),
                                   DataOp::DecrementTransferRestore, t.session->authKeyB))
        return kAccessDenied;
    if (!t.session->bufferValid)
        return kNotValueBlock;
    const Block value = mifare::encodeValue(t.session->buffer, t.session->bufferAddress);
    Session *session = t.session;
    const int rc = modifyCard(h, "typea", [&](Card &card) {
        card.blocks[block] = value;
        return kOk;
    });
    if (rc == kOk)
        session->bufferValid = false;
    return rc;
}

// ---- 125 kHz ----

int Simulator::readIdNumber(int h, unsigned char *number)
{
    const Reader *r = reader(h);
    if (!r)
        return kBadHandle;
    const auto it = r->cards.find("id125");
    if (it == r->cards.end() || it->second.kind != CardKind::Id)
        return kNoCard;
    if (!number)
        return kBadArgument;
    char text[12];
    std::snprintf(text, sizeof text, "%010u", static_cast<unsigned>(it->second.number & 0xFFFFFFFFu));
    std::memcpy(number, text, std::strlen(text) + 1);
    return kOk;
}

// ---- TYPE B, ISO15693 ----

int Simulator::requestB(int h, unsigned char *answer)
{
    charge(air::Frame::RequestB);
    if (Open *open = openReader(h))
        open->fieldOn = true;
    Target t;
    if (const int rc = contactless(h, "typeb", &t))
        return rc;
    if (!answer)
        return kBadArgument;
    // A halted AT88RF020 sleeps until the field goes off.
    if (t.session->phase == Phase::Halted)
        return kNoCard;
    // ATQB: 0x50, PUPI, application data, protocol info, CRC_B.
    uint8_t atqb[14] = {0x50};
    std::copy(t.card->uid.begin(), t.card->uid.end(), atqb + 1);
    atqb[9] = 0x00;                                        // bit rates: 106 kbit/s both ways
    atqb[10] = hasApplication(t.card->kind) ? 0x81 : 0x80; // frame size 256, ISO 14443-4 compliant or not
    atqb[11] = 0x41;                                       // FWI 4, no ADC, CID supported, no NAD
    const uint16_t crc = crcB(atqb, 12);
    atqb[12] = static_cast<uint8_t>(crc & 0xFF);
    atqb[13] = static_cast<uint8_t>(crc >> 8);
    std::copy(atqb, atqb + sizeof atqb, answer);
    t.session->phase = Phase::Ready;
    t.session->at88 = at88::Session{};
    return kOk;
}

int Simulator::attrib(int h, const unsigned char *pupi)
{
    charge(air::Frame::Attrib);
    Target t;
    if (const int rc = contactless(h, "typeb", &t))
        return rc;
    if (!pupi)
        return kBadArgument;
    if (t.session->phase != Phase::Ready || !std::equal(t.card->uid.begin(), t.card->uid.end(), pupi))
        return kNoCard;
    t.session->phase = Phase::Active;
    // ATTRIB enters ISO 14443-4 at once.
    t.session->layer4 = hasApplication(t.card->kind);
    t.session->apdu = iso7816::Context{};
    t.session->at88 = at88::Session{};
    return kOk;
}

int Simulator::inventory(int h, unsigned char flags, unsigned char afi, unsigned char maskLength, unsigned char *reply,
                         unsigned char *uid)
{
    charge(air::Frame::Vicinity, 12 + 10);
    if (Open *open = openReader(h))
        open->fieldOn = true;
    Target t;
    if (const int rc = contactless(h, "iso15693", &t))
        return rc;
    if (!uid || maskLength > 64)
        return kBadArgument;
    constexpr unsigned char kAfiFlag = 0x10;
    if ((flags & kAfiFlag) && afi != 0 && afi != t.card->afi)
        return kNoCard;
    if (t.session->tagState == iso15693::State::Quiet)
        return kNoCard;
    std::copy(t.card->uid.begin(), t.card->uid.end(), uid);
    if (reply) {
        // The response frame: flags, DSFID, UID least significant byte first.
        reply[0] = 0x00;
        reply[1] = t.card->dsfid;
        for (int i = 0; i < 8; ++i)
            reply[2 + i] = t.card->uid[static_cast<size_t>(7 - i)];
    }
    return kOk;
}

} // namespace sim
