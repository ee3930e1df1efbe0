#include "pcsc/core/Readers.h"

#include "pcsc/core/MifareLayout.h"
#include "pcsc/core/Results.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace pcsc
{
namespace
{

constexpr int kUsbPort = 100;
constexpr int kReservedHandle = 32; // the tool reads 32 as a failed open
// The tool accepts a USB reader whose version text starts with one of its
// family prefixes; "QV" is the library's own.
constexpr const char *kVersionPrefix = "QVD-PCSC ";

std::vector<std::string> splitMultiString(const char *list, DWORD size)
{
    std::vector<std::string> names;
    for (DWORD i = 0; i < size && list[i] != '\0';) {
        names.emplace_back(list + i);
        i += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

bool cardGone(LONG rv)
{
    return rv == SCARD_W_REMOVED_CARD || rv == SCARD_E_NO_SMARTCARD || rv == SCARD_W_UNPOWERED_CARD ||
           rv == SCARD_W_UNRESPONSIVE_CARD || rv == SCARD_E_PROTO_MISMATCH || rv == SCARD_W_UNSUPPORTED_CARD;
}

bool serviceGone(LONG rv)
{
    return rv == SCARD_E_NO_SERVICE || rv == SCARD_E_SERVICE_STOPPED || rv == SCARD_E_UNKNOWN_READER ||
           rv == SCARD_E_READER_UNAVAILABLE || rv == SCARD_E_NO_READERS_AVAILABLE;
}

// PC/SC gives no ATQA; it follows from the card and its UID size.
int atqaOf(const CardInfo &info, size_t uidSize)
{
    const int uidBits = uidSize == 7 ? 0x40 : (uidSize == 10 ? 0x80 : 0x00);
    if (info.family == CardFamily::Ultralight)
        return 0x0044;
    if (info.family == CardFamily::MifareClassic && info.sectors == 40)
        return 0x0002 | uidBits;
    return 0x0004 | uidBits;
}

unsigned char sakOf(const CardInfo &info)
{
    switch (info.family) {
    case CardFamily::MifareClassic:
        return info.sectors == 5 ? 0x09 : (info.sectors == 40 ? 0x18 : 0x08);
    case CardFamily::Iso14443Part4:
        return 0x20;
    default:
        return 0x00;
    }
}

} // namespace

Readers::~Readers()
{
    for (auto &[h, handle] : handles_)
        dropCard(handle, SCARD_LEAVE_CARD);
    if (haveContext_)
        SCardReleaseContext(context_);
}

Readers::Handle *Readers::find(int h)
{
    const auto it = handles_.find(h);
    return it == handles_.end() ? nullptr : &it->second;
}

bool Readers::haveContext()
{
    // A context outlives its pcscd only on this side: once the service was
    // lost, a new one is needed even if the old one still looks valid.
    if (haveContext_ && !serviceLost_ && SCardIsValidContext(context_) == SCARD_S_SUCCESS)
        return true;
    if (haveContext_) {
        SCardReleaseContext(context_);
        for (auto &[h, handle] : handles_) {
            handle.card = 0;
            forgetCardState(handle);
        }
    }
    serviceLost_ = false;
    haveContext_ = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context_) == SCARD_S_SUCCESS;
    return haveContext_;
}

int Readers::resultOf(LONG rv)
{
    if (rv == SCARD_S_SUCCESS)
        return kOk;
    if (cardGone(rv) || rv == SCARD_E_SHARING_VIOLATION || rv == SCARD_W_RESET_CARD)
        return kNoCard;
    if (serviceGone(rv)) {
        serviceLost_ = rv == SCARD_E_NO_SERVICE || rv == SCARD_E_SERVICE_STOPPED;
        return kNoService;
    }
    return kTransmitFailed;
}

void Readers::dropCard(Handle &handle, DWORD disposition)
{
    if (handle.card)
        SCardDisconnect(handle.card, disposition);
    handle.card = 0;
    forgetCardState(handle);
}

void Readers::forgetCardState(Handle &handle)
{
    handle.phase = Phase::Idle;
    handle.reactivate = false;
    handle.authSector = -1;
    handle.pending = Pending{};
    handle.memoryCardType = -1;
}

int Readers::connect(Handle &handle)
{
    const LONG rv = SCardConnect(context_, handle.reader.c_str(), SCARD_SHARE_SHARED,
                                 SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &handle.card, &handle.activeProtocol);
    if (rv != SCARD_S_SUCCESS) {
        handle.card = 0;
        return resultOf(rv);
    }
    return learnCard(handle);
}

// A new card (or the same one reset by someone else): its ATR and UID.
int Readers::learnCard(Handle &handle)
{
    forgetCardState(handle);
    BYTE atr[MAX_ATR_SIZE];
    DWORD atrLength = sizeof atr;
    DWORD state = 0;
    DWORD protocol = 0;
    const LONG rv = SCardStatus(handle.card, nullptr, nullptr, &state, &protocol, atr, &atrLength);
    if (rv != SCARD_S_SUCCESS) {
        dropCard(handle, SCARD_LEAVE_CARD);
        return resultOf(rv);
    }
    handle.info = describeAtr(Bytes(atr, atr + atrLength));
    handle.uid.clear();
    if (handle.info.family != CardFamily::Contact && handle.info.family != CardFamily::Unknown) {
        Response uid;
        if (exchange(handle, apdu::getUid(), &uid) == kOk && uid.ok())
            handle.uid = uid.data;
    }
    return kOk;
}

int Readers::ensureCard(Handle &handle)
{
    if (!haveContext())
        return kNoService;
    if (handle.card) {
        DWORD state = 0;
        DWORD protocol = 0;
        const LONG rv = SCardStatus(handle.card, nullptr, nullptr, &state, &protocol, nullptr, nullptr);
        if (rv == SCARD_S_SUCCESS)
            return kOk;
        if (rv == SCARD_W_RESET_CARD &&
            SCardReconnect(handle.card, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, SCARD_LEAVE_CARD,
                           &handle.activeProtocol) == SCARD_S_SUCCESS)
            return learnCard(handle);
        dropCard(handle, SCARD_LEAVE_CARD);
    }
    return connect(handle);
}

int Readers::exchangeRaw(Handle &handle, const Bytes &command, Bytes *reply)
{
    BYTE buffer[258 + 2];
    DWORD length = sizeof buffer;
    const SCARD_IO_REQUEST *pci = handle.activeProtocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
    const LONG rv =
        SCardTransmit(handle.card, pci, command.data(), static_cast<DWORD>(command.size()), nullptr, buffer, &length);
    if (rv != SCARD_S_SUCCESS) {
        const int result = resultOf(rv);
        if (result != kTransmitFailed)
            dropCard(handle, SCARD_LEAVE_CARD);
        return result;
    }
    reply->assign(buffer, buffer + length);
    return kOk;
}

int Readers::exchange(Handle &handle, const Bytes &command, Response *response)
{
    Bytes raw;
    if (const int rc = exchangeRaw(handle, command, &raw))
        return rc;
    *response = splitResponse(raw);
    return response->sw == 0 ? kTransmitFailed : kOk;
}

// ---- Reader ----

int Readers::init(int port, int baud)
{
    (void)baud;
    // PC/SC readers are not reached through serial ports.
    if (port != kUsbPort || !haveContext())
        return kNoReader;
    DWORD size = SCARD_AUTOALLOCATE;
    char *list = nullptr;
    if (const LONG rv = SCardListReaders(context_, nullptr, reinterpret_cast<LPSTR>(&list), &size);
        rv != SCARD_S_SUCCESS) {
        resultOf(rv);
        return kNoReader;
    }
    const std::vector<std::string> names = splitMultiString(list, size);
    SCardFreeMemory(context_, list);
    for (const std::string &name : names) {
        const bool open = std::any_of(handles_.begin(), handles_.end(),
                                      [&](const auto &entry) { return entry.second.reader == name; });
        if (open)
            continue;
        if (nextHandle_ == kReservedHandle || nextHandle_ <= 0)
            nextHandle_ = nextHandle_ <= 0 ? 1 : nextHandle_ + 1;
        const int h = nextHandle_++;
        Handle &handle = handles_[h];
        handle.reader = name;
        handle.profile = profileForReader(name);
        return h;
    }
    return kNoReader;
}

int Readers::exit(int h)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    dropCard(*handle, SCARD_LEAVE_CARD);
    handles_.erase(h);
    return kOk;
}

int Readers::getVersion(int h, char *version)
{
    const Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (!version)
        return kBadArgument;
    const std::string text = kVersionPrefix + handle->reader;
    // The tool's buffers hold at least 255 bytes.
    const size_t n = std::min<size_t>(text.size(), 254);
    std::memcpy(version, text.data(), n);
    version[n] = '\0';
    return kOk;
}

// The tool beeps to tell a live reader; readers without a buzzer command
// still answer 0.
int Readers::beep(int h, int duration)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (handle->profile.acsBuzzer && ensureCard(*handle) == kOk) {
        // Duration in 10 ms, the buzzer in 100 ms units.
        const int units = std::clamp((duration + 9) / 10, 1, 255);
        Response ignored;
        exchange(*handle, apdu::acsBuzzer(static_cast<uint8_t>(units)), &ignored);
    }
    return kOk;
}

int Readers::configCard(int h, unsigned char protocol)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (protocol != 'A' && protocol != 'B' && protocol != '1')
        return kBadArgument;
    // The reader polls every protocol itself; the setting decides which
    // entry points find the card.
    handle->protocol = static_cast<char>(protocol);
    forgetCardState(*handle);
    return kOk;
}

int Readers::resetField(int h, unsigned short ms)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (!handle->card)
        return kOk;
    if (ms == 0) {
        dropCard(*handle, SCARD_UNPOWER_CARD);
        return kOk;
    }
    const LONG rv = SCardReconnect(handle->card, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1,
                                   SCARD_UNPOWER_CARD, &handle->activeProtocol);
    if (rv != SCARD_S_SUCCESS) {
        dropCard(*handle, SCARD_LEAVE_CARD);
        return cardGone(rv) ? kOk : resultOf(rv);
    }
    return learnCard(*handle);
}

// ---- TYPE A ----

bool Readers::typeAEnabled(const Handle &handle) const
{
    const AirProtocol p = handle.info.protocol;
    return handle.protocol == 'A' && (p == AirProtocol::TypeA || p == AirProtocol::Unknown);
}

// A TYPE A card in the field, connected.
int Readers::typeACard(int h, Handle **out)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (const int rc = ensureCard(*handle))
        return rc;
    if (!typeAEnabled(*handle) || handle->uid.empty())
        return kNoCard;
    *out = handle;
    return kOk;
}

int Readers::request(int h, unsigned char mode, int *tagType, bool keepSelected)
{
    Handle *handle = nullptr;
    if (mode > 1 || !tagType)
        return find(h) ? kBadArgument : kBadHandle;
    if (const int rc = typeACard(h, &handle))
        return rc;
    if (mode == 0 && handle->phase == Phase::Halted)
        return kNoCard;
    // A request for the card already selected leaves it selected, so polling
    // between finding the card and authenticating keeps the authentication.
    if (!keepSelected || handle->phase != Phase::Active) {
        if (handle->reactivate) {
            const LONG rv = SCardReconnect(handle->card, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1,
                                           SCARD_RESET_CARD, &handle->activeProtocol);
            if (rv != SCARD_S_SUCCESS) {
                dropCard(*handle, SCARD_LEAVE_CARD);
                return resultOf(rv);
            }
        }
        forgetCardState(*handle);
        handle->phase = Phase::Ready;
    }
    *tagType = atqaOf(handle->info, handle->uid.size());
    return kOk;
}

int Readers::anticoll(int h, unsigned int *serial)
{
    Handle *handle = nullptr;
    if (const int rc = typeACard(h, &handle))
        return rc;
    if (!serial)
        return kBadArgument;
    if (handle->phase != Phase::Ready)
        return kNoCard;
    const Bytes &uid = handle->uid;
    if (uid.size() >= 7) {
        const uint8_t cascade[4] = {0x88, uid[0], uid[1], uid[2]};
        *serial = bigEndian32(cascade);
    } else {
        Bytes four = uid;
        four.resize(4, 0);
        *serial = bigEndian32(four.data());
    }
    return kOk;
}

int Readers::select(int h, unsigned int serial, unsigned char *sak)
{
    unsigned int expected = 0;
    if (const int rc = anticoll(h, &expected))
        return rc;
    Handle *handle = find(h);
    if (serial != expected)
        return kNoCard;
    const bool cascade = handle->uid.size() >= 7;
    handle->phase = cascade ? Phase::Cascade1Selected : Phase::Active;
    if (sak)
        *sak = cascade ? 0x04 : sakOf(handle->info);
    return kOk;
}

int Readers::card(int h, unsigned char mode, unsigned int *serial)
{
    if (!serial)
        return find(h) ? kBadArgument : kBadHandle;
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

int Readers::anticoll2(int h, unsigned int *serial2)
{
    Handle *handle = nullptr;
    if (const int rc = typeACard(h, &handle))
        return rc;
    if (!serial2)
        return kBadArgument;
    if (handle->phase != Phase::Cascade1Selected)
        return kNoCard;
    *serial2 = bigEndian32(handle->uid.data() + 3);
    return kOk;
}

int Readers::select2(int h, unsigned int serial2)
{
    unsigned int expected = 0;
    if (const int rc = anticoll2(h, &expected))
        return rc;
    if (serial2 != expected)
        return kNoCard;
    find(h)->phase = Phase::Active;
    return kOk;
}

int Readers::halt(int h)
{
    Handle *handle = nullptr;
    if (const int rc = typeACard(h, &handle))
        return rc;
    if (handle->phase != Phase::Active && handle->phase != Phase::Cascade1Selected)
        return kNoCard;
    forgetCardState(*handle);
    handle->phase = Phase::Halted;
    return kOk;
}

// ---- MIFARE Classic ----

int Readers::loadKey(int h, unsigned char keyMode, unsigned char row, const unsigned char *key)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    const std::optional<KeyRef> ref = decodeKeyMode(keyMode);
    if (!ref || row > 15 || !key)
        return kBadArgument;
    Key stored;
    std::copy(key, key + stored.size(), stored.begin());
    handle->keys.set(*ref, row, stored);
    return kOk;
}

int Readers::mifareCard(int h, Handle **out)
{
    if (const int rc = typeACard(h, out))
        return rc;
    if ((*out)->info.family != CardFamily::MifareClassic)
        return kNotSupported;
    if ((*out)->phase != Phase::Active)
        return kNoCard;
    return kOk;
}

int Readers::blockCount(const Handle &handle) const
{
    const int sectors = handle.info.sectors;
    return sectors <= 32 ? 4 * sectors : 128 + 16 * (sectors - 32);
}

int Readers::authenticate(int h, unsigned char keyMode, unsigned char sector)
{
    Handle *handle = nullptr;
    if (const int rc = mifareCard(h, &handle))
        return rc;
    const std::optional<KeyRef> ref = decodeKeyMode(keyMode);
    if (!ref || sector >= handle->info.sectors)
        return kBadArgument;
    handle->authSector = -1;
    handle->pending = Pending{};
    const uint8_t slot = volatileSlot(ref->keyB);
    Response response;
    if (const int rc = exchange(*handle, apdu::loadKey(slot, handle->keys.forSector(*ref, sector).data()), &response))
        return rc;
    if (const int rc = resultOfStatus(Step::LoadKey, response.sw))
        return rc;
    const uint8_t block = static_cast<uint8_t>(mifare::firstBlockOfSector(sector));
    if (const int rc = exchange(*handle, apdu::authenticate(block, ref->keyB, slot), &response))
        return rc;
    if (const int rc = resultOfStatus(Step::Authenticate, response.sw)) {
        // The card dropped out of the selected state; it answers again after
        // a new selection.
        handle->phase = Phase::Idle;
        handle->reactivate = true;
        return rc;
    }
    handle->authSector = sector;
    handle->authKeyB = ref->keyB;
    return kOk;
}

// The card is selected, the block exists and its sector is the
// authenticated one.
int Readers::mifareAccess(int h, int block, Handle **out)
{
    if (const int rc = mifareCard(h, out))
        return rc;
    if (block < 0 || block >= blockCount(**out))
        return kBadArgument;
    if ((*out)->authSector != mifare::sectorOfBlock(block))
        return kAuthFailed;
    return kOk;
}

int Readers::readRaw(Handle &handle, int block, uint8_t *data16)
{
    Response response;
    if (const int rc = exchange(handle, apdu::readBinary(static_cast<uint8_t>(block), 16), &response))
        return rc;
    if (const int rc = resultOfStatus(Step::Read, response.sw))
        return rc;
    if (response.data.size() != 16)
        return kTransmitFailed;
    std::copy(response.data.begin(), response.data.end(), data16);
    return kOk;
}

int Readers::readBlock(int h, unsigned char block, unsigned char *data)
{
    Handle *handle = nullptr;
    if (const int rc = mifareAccess(h, block, &handle))
        return rc;
    if (!data)
        return kBadArgument;
    return readRaw(*handle, block, data);
}

int Readers::writeBlock(int h, unsigned char block, const unsigned char *data)
{
    Handle *handle = nullptr;
    if (const int rc = mifareAccess(h, block, &handle))
        return rc;
    if (!data)
        return kBadArgument;
    if (block == 0) // manufacturer block
        return kRefused;
    Response response;
    if (const int rc = exchange(*handle, apdu::updateBinary(block, data, 16), &response))
        return rc;
    return resultOfStatus(Step::Write, response.sw);
}

int Readers::changeTrailer(int h, unsigned char sector, const unsigned char *keyA, const unsigned char *controlWord,
                           const unsigned char *keyB)
{
    Handle *handle = nullptr;
    if (const int rc = mifareCard(h, &handle))
        return rc;
    if (sector >= handle->info.sectors || !keyA || !controlWord || !keyB)
        return kBadArgument;
    uint8_t trailer[16];
    std::copy(keyA, keyA + 6, trailer);
    std::copy(controlWord, controlWord + 4, trailer + 6);
    std::copy(keyB, keyB + 6, trailer + 10);
    return writeBlock(h, static_cast<unsigned char>(mifare::trailerOfSector(sector)), trailer);
}

int Readers::valueOperand(int h, unsigned char block, Handle **handle, int32_t *value, uint8_t *address)
{
    if (const int rc = mifareAccess(h, block, handle))
        return rc;
    if (mifare::isTrailer(block))
        return kNotValue;
    uint8_t data[16];
    if (const int rc = readRaw(**handle, block, data))
        return rc;
    const std::optional<mifare::Value> decoded = mifare::decodeValue(data);
    if (!decoded)
        return kNotValue;
    *value = decoded->value;
    *address = decoded->address;
    return kOk;
}

int Readers::initValue(int h, unsigned char block, int value)
{
    Handle *handle = nullptr;
    if (const int rc = mifareAccess(h, block, &handle))
        return rc;
    if (mifare::isTrailer(block))
        return kNotValue;
    if (block == 0)
        return kRefused;
    Response response;
    const Bytes command = handle->profile.value == ValueCommands::Acs
                              ? apdu::acsValue(block, apdu::ValueOp::Store, value)
                              : apdu::updateBinary(block, mifare::encodeValue(value, block).data(), 16);
    if (const int rc = exchange(*handle, command, &response))
        return rc;
    return resultOfStatus(Step::Write, response.sw);
}

int Readers::readValue(int h, unsigned char block, int *value)
{
    Handle *handle = nullptr;
    int32_t v = 0;
    uint8_t address = 0;
    if (const int rc = valueOperand(h, block, &handle, &v, &address))
        return rc;
    if (!value)
        return kBadArgument;
    *value = v;
    return kOk;
}

// Increment, decrement and restore only fill the transfer buffer; the card
// is changed by the transfer.
int Readers::setPending(int h, unsigned char block, Pending::Op op, int amount)
{
    Handle *handle = nullptr;
    int32_t value = 0;
    uint8_t address = 0;
    if (const int rc = valueOperand(h, block, &handle, &value, &address))
        return rc;
    if (amount < 0)
        return kBadArgument;
    int32_t result = value;
    if (op == Pending::Op::Increment) {
        if (value > INT32_MAX - amount)
            return kNotValue;
        result = value + amount;
    } else if (op == Pending::Op::Decrement) {
        if (value < INT32_MIN + amount)
            return kNotValue;
        result = value - amount;
    }
    handle->pending = Pending{true, op, block, amount, result, address};
    return kOk;
}

int Readers::increment(int h, unsigned char block, int amount)
{
    return setPending(h, block, Pending::Op::Increment, amount);
}

int Readers::decrement(int h, unsigned char block, int amount)
{
    return setPending(h, block, Pending::Op::Decrement, amount);
}

int Readers::restore(int h, unsigned char block)
{
    return setPending(h, block, Pending::Op::Restore, 0);
}

int Readers::transfer(int h, unsigned char block)
{
    Handle *handle = nullptr;
    if (const int rc = mifareAccess(h, block, &handle))
        return rc;
    if (mifare::isTrailer(block) || block == 0)
        return kRefused;
    const Pending pending = handle->pending;
    if (!pending.valid)
        return kNotValue;
    std::vector<Bytes> commands;
    if (handle->profile.value == ValueCommands::Acs) {
        // The card computes: restore copies the source into the target, the
        // increment or decrement then works on the target in place.
        const uint8_t source = static_cast<uint8_t>(pending.source);
        if (pending.op == Pending::Op::Restore || source != block)
            commands.push_back(apdu::acsRestore(source, block));
        if (pending.op != Pending::Op::Restore)
            commands.push_back(apdu::acsValue(
                block, pending.op == Pending::Op::Increment ? apdu::ValueOp::Increment : apdu::ValueOp::Decrement,
                pending.amount));
    } else {
        commands.push_back(apdu::updateBinary(block, mifare::encodeValue(pending.result, pending.address).data(), 16));
    }
    for (const Bytes &command : commands) {
        Response response;
        if (const int rc = exchange(*handle, command, &response))
            return rc;
        if (const int rc = resultOfStatus(Step::Write, response.sw))
            return rc;
    }
    handle->pending.valid = false;
    return kOk;
}

} // namespace pcsc
