// Ultralight, CPU cards (contactless and contact) and TYPE B.
#include "pcsc/core/Readers.h"

#include "pcsc/core/Results.h"

#include <algorithm>

namespace pcsc
{
namespace
{

constexpr size_t kMaxReply = 255; // the reply length is one byte

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

int copyReply(const Bytes &raw, unsigned char *replyLength, unsigned char *reply)
{
    if (raw.size() > kMaxReply)
        return kBadArgument;
    std::copy(raw.begin(), raw.end(), reply);
    *replyLength = static_cast<unsigned char>(raw.size());
    return kOk;
}

} // namespace

// ---- Ultralight ----

int Readers::requestUltralight(int h, unsigned char mode)
{
    int tagType = 0;
    if (const int rc = request(h, mode, &tagType, false))
        return rc;
    return find(h)->info.family == CardFamily::Ultralight ? kOk : kNoCard;
}

// The card number is the first four UID bytes.
int Readers::anticollUltralight(int h, unsigned int *serial)
{
    Handle *handle = nullptr;
    if (const int rc = typeACard(h, &handle))
        return rc;
    if (!serial)
        return kBadArgument;
    if (handle->phase != Phase::Ready || handle->info.family != CardFamily::Ultralight || handle->uid.size() < 4)
        return kNoCard;
    *serial = bigEndian32(handle->uid.data());
    return kOk;
}

int Readers::selectUltralight(int h, unsigned int serial)
{
    unsigned int expected = 0;
    if (const int rc = anticollUltralight(h, &expected))
        return rc;
    if (serial != expected)
        return kNoCard;
    find(h)->phase = Phase::Active;
    return kOk;
}

int Readers::activeUltralight(int h, Handle **out)
{
    if (const int rc = typeACard(h, out))
        return rc;
    const bool selected = (*out)->info.family == CardFamily::Ultralight && (*out)->phase == Phase::Active;
    return selected ? kOk : kNoCard;
}

int Readers::readUltralight(int h, unsigned char page, unsigned char *data)
{
    Handle *handle = nullptr;
    if (const int rc = activeUltralight(h, &handle))
        return rc;
    if (!data)
        return kBadArgument;
    Response response;
    if (const int rc = exchange(*handle, apdu::readBinary(page, 4), &response))
        return rc;
    if (const int rc = resultOfStatus(Step::Read, response.sw))
        return rc;
    // Some readers answer with four pages whatever the length asked.
    if (response.data.size() < 4)
        return kTransmitFailed;
    std::copy(response.data.begin(), response.data.begin() + 4, data);
    return kOk;
}

int Readers::writeUltralight(int h, unsigned char page, const unsigned char *data)
{
    Handle *handle = nullptr;
    if (const int rc = activeUltralight(h, &handle))
        return rc;
    if (!data)
        return kBadArgument;
    Response response;
    if (const int rc = exchange(*handle, apdu::updateBinary(page, data, 4), &response))
        return rc;
    return resultOfStatus(Step::Write, response.sw);
}

int Readers::haltUltralight(int h)
{
    Handle *handle = nullptr;
    if (const int rc = typeACard(h, &handle))
        return rc;
    if (handle->info.family != CardFamily::Ultralight)
        return kNoCard;
    return halt(h);
}

// ---- ISO 14443-4 ----

// The reader has activated the card already; the ATS is rebuilt from the
// ATR's historical bytes (TL, T0 without interface bytes, FSC 256).
int Readers::proReset(int h, unsigned char *length, unsigned char *answer)
{
    Handle *handle = nullptr;
    if (const int rc = typeACard(h, &handle))
        return rc;
    if (!length || !answer)
        return kBadArgument;
    if (handle->info.family != CardFamily::Iso14443Part4)
        return kNotSupported;
    const Bytes &historical = handle->info.historical;
    const size_t n = std::min<size_t>(historical.size(), 253);
    answer[0] = static_cast<unsigned char>(n + 2);
    answer[1] = 0x08;
    std::copy(historical.begin(), historical.begin() + static_cast<long>(n), answer + 2);
    *length = static_cast<unsigned char>(n + 2);
    handle->phase = Phase::Active;
    return kOk;
}

int Readers::activeCpuCard(int h, Handle **out, bool contact)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (const int rc = ensureCard(*handle))
        return rc;
    const CardFamily family = handle->info.family;
    const bool cpu = family == CardFamily::Iso14443Part4 || (contact && family == CardFamily::Contact);
    if (!cpu || handle->phase != Phase::Active)
        return kNoCard;
    *out = handle;
    return kOk;
}

int Readers::proCommand(int h, unsigned char length, const unsigned char *command, unsigned char *replyLength,
                        unsigned char *reply)
{
    Handle *handle = nullptr;
    if (const int rc = activeCpuCard(h, &handle, false))
        return rc;
    if (!command || !replyLength || !reply || length < 4)
        return kBadArgument;
    Bytes raw;
    if (const int rc = exchangeRaw(*handle, Bytes(command, command + length), &raw))
        return rc;
    return copyReply(raw, replyLength, reply);
}

// ATQB: 50, PUPI, application data and protocol info (the historical bytes
// of a TYPE B ATR), CRC_B.
int Readers::requestB(int h, unsigned char *answer)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (!answer)
        return kBadArgument;
    if (const int rc = ensureCard(*handle))
        return rc;
    const AirProtocol p = handle->info.protocol;
    if (handle->protocol != 'B' || (p != AirProtocol::TypeB && p != AirProtocol::Unknown) || handle->uid.size() != 4)
        return kNoCard;
    uint8_t atqb[14] = {0x50};
    std::copy(handle->uid.begin(), handle->uid.end(), atqb + 1);
    Bytes info = handle->info.historical;
    if (info.size() < 7)
        info = {0x00, 0x00, 0x00, 0x00, 0x00, 0x81, 0x41};
    std::copy(info.begin(), info.begin() + 7, atqb + 5);
    const uint16_t crc = crcB(atqb, 12);
    atqb[12] = static_cast<uint8_t>(crc & 0xFF);
    atqb[13] = static_cast<uint8_t>(crc >> 8);
    std::copy(atqb, atqb + sizeof atqb, answer);
    forgetCardState(*handle);
    handle->phase = Phase::Ready;
    return kOk;
}

int Readers::attrib(int h, const unsigned char *pupi)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (!pupi)
        return kBadArgument;
    if (const int rc = ensureCard(*handle))
        return rc;
    if (handle->phase != Phase::Ready || handle->uid.size() != 4 || !std::equal(pupi, pupi + 4, handle->uid.begin()))
        return kNoCard;
    handle->phase = Phase::Active;
    return kOk;
}

int Readers::haltPro(int h)
{
    Handle *handle = nullptr;
    if (const int rc = activeCpuCard(h, &handle, false))
        return rc;
    forgetCardState(*handle);
    handle->phase = Phase::Halted;
    return kOk;
}

// ---- Contact CPU card ----

// The PC/SC reader is the user-card slot; SAM sockets are readers of their
// own to PC/SC and are opened as such.
int Readers::setCpuSlot(int h, unsigned char slot)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (slot < kCpuSlot || slot > kCpuSlot + 3)
        return kBadArgument;
    if (slot != kCpuSlot)
        return kNotSupported;
    handle->cpuSlot = slot;
    return kOk;
}

int Readers::cpuReset(int h, unsigned char *length, unsigned char *answer)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (!length || !answer)
        return kBadArgument;
    if (handle->card) {
        const LONG rv = SCardReconnect(handle->card, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1,
                                       SCARD_RESET_CARD, &handle->activeProtocol);
        if (rv != SCARD_S_SUCCESS)
            dropCard(*handle, SCARD_LEAVE_CARD);
        else if (const int rc = learnCard(*handle))
            return rc;
    }
    if (const int rc = ensureCard(*handle))
        return rc;
    const CardFamily family = handle->info.family;
    if (family != CardFamily::Contact && family != CardFamily::Iso14443Part4)
        return kNoCard;
    BYTE atr[MAX_ATR_SIZE];
    DWORD atrLength = sizeof atr;
    DWORD state = 0;
    DWORD protocol = 0;
    const LONG rv = SCardStatus(handle->card, nullptr, nullptr, &state, &protocol, atr, &atrLength);
    if (rv != SCARD_S_SUCCESS)
        return resultOf(rv);
    std::copy(atr, atr + atrLength, answer);
    *length = static_cast<unsigned char>(atrLength);
    handle->phase = Phase::Active;
    return kOk;
}

// PC/SC negotiates protocol and timing itself: accepted for the card slot.
int Readers::setCpuParameters(int h, unsigned char slot)
{
    return setCpuSlot(h, slot);
}

int Readers::cpuApdu(int h, int length, const unsigned char *command, unsigned char *replyLength, unsigned char *reply)
{
    Handle *handle = nullptr;
    if (const int rc = activeCpuCard(h, &handle, true))
        return rc;
    if (!command || !replyLength || !reply || length < 4 || length > 261)
        return kBadArgument;
    Bytes raw;
    if (const int rc = exchangeRaw(*handle, Bytes(command, command + length), &raw))
        return rc;
    return copyReply(raw, replyLength, reply);
}

int Readers::cpuPowerDown(int h, unsigned char slot)
{
    if (const int rc = setCpuSlot(h, slot))
        return rc;
    dropCard(*find(h), SCARD_UNPOWER_CARD);
    return kOk;
}

} // namespace pcsc
