// SLE4442 and SLE4428 on ACS contact readers: the reader is told the card
// type (FF A4), then reads, writes and verifies with its memory-card APDUs.
#include "pcsc/core/Readers.h"

#include "pcsc/core/Results.h"

#include <algorithm>

namespace pcsc
{
namespace
{

using apdu::MemoryCard;

constexpr int kSle4442Size = 256;
constexpr int kSle4442ProtectedBytes = 32;
constexpr int kSle4428Size = 1024;
constexpr uint16_t kSle4428CodeAddress = 1022; // the PSC's two bytes
constexpr int kChunk = 128;

int sizeOf(MemoryCard type)
{
    return type == MemoryCard::Sle4442 ? kSle4442Size : kSle4428Size;
}

// The error counter after a verified code: all attempts left.
uint8_t verifiedCounter(MemoryCard type)
{
    return type == MemoryCard::Sle4442 ? 0x07 : 0xFF;
}

bool inCard(MemoryCard type, int address, int length)
{
    return address >= 0 && length >= 0 && address + length <= sizeOf(type);
}

} // namespace

int Readers::memoryCard(int h, MemoryCard type, Handle **out)
{
    Handle *handle = find(h);
    if (!handle)
        return kBadHandle;
    if (!handle->profile.acsMemoryCards)
        return kNotSupported;
    if (const int rc = ensureCard(*handle))
        return rc;
    if (handle->memoryCardType != static_cast<int>(type)) {
        Response response;
        if (const int rc = exchange(*handle, apdu::acsSelectCardType(type), &response))
            return rc;
        if (!response.ok())
            return kNoCard;
        handle->memoryCardType = static_cast<int>(type);
    }
    *out = handle;
    return kOk;
}

int Readers::memoryExchange(Handle &handle, const Bytes &command, Response *response)
{
    if (const int rc = exchange(handle, command, response))
        return rc;
    return resultOfStatus(Step::Memory, response->sw);
}

int Readers::memoryRead(int h, MemoryCard type, int address, unsigned char *data, int length)
{
    Handle *handle = nullptr;
    if (const int rc = memoryCard(h, type, &handle))
        return rc;
    if (!data || !inCard(type, address, length))
        return kBadArgument;
    for (int done = 0; done < length;) {
        const uint8_t n = static_cast<uint8_t>(std::min(kChunk, length - done));
        Response response;
        const uint16_t at = static_cast<uint16_t>(address + done);
        if (const int rc = memoryExchange(*handle, apdu::acsReadMemory(at, n), &response))
            return rc;
        if (response.data.size() != n)
            return kTransmitFailed;
        std::copy(response.data.begin(), response.data.end(), data + done);
        done += n;
    }
    return kOk;
}

// protect: write with the protection bit set (the card compares the data
// with what it holds and protects the bytes that match).
int Readers::memoryWrite(int h, MemoryCard type, int address, const unsigned char *data, int length, bool protect)
{
    Handle *handle = nullptr;
    if (const int rc = memoryCard(h, type, &handle))
        return rc;
    if (!data || !inCard(type, address, length))
        return kBadArgument;
    for (int done = 0; done < length;) {
        const uint8_t n = static_cast<uint8_t>(std::min(kChunk, length - done));
        const uint16_t at = static_cast<uint16_t>(address + done);
        Response response;
        const Bytes command =
            protect ? apdu::acsWriteProtected(at, data + done, n) : apdu::acsWriteMemory(at, data + done, n);
        if (const int rc = memoryExchange(*handle, command, &response))
            return rc;
        done += n;
    }
    return kOk;
}

// Answered 90 and the error counter; a counter with every attempt left is
// a verified code.
int Readers::presentCode(int h, MemoryCard type, const unsigned char *psc, uint8_t length)
{
    Handle *handle = nullptr;
    if (const int rc = memoryCard(h, type, &handle))
        return rc;
    if (!psc)
        return kBadArgument;
    Response response;
    if (const int rc = exchange(*handle, apdu::acsPresentCode(psc, length), &response))
        return rc;
    if ((response.sw >> 8) != 0x90)
        return resultOfStatus(Step::Memory, response.sw);
    return (response.sw & 0xFF) == verifiedCounter(type) ? kOk : kAuthFailed;
}

// ---- SLE4442 ----

int Readers::sle4442ReadErrorCounter(int h, unsigned char *errorCounter)
{
    Handle *handle = nullptr;
    if (const int rc = memoryCard(h, MemoryCard::Sle4442, &handle))
        return rc;
    if (!errorCounter)
        return kBadArgument;
    Response response;
    if (const int rc = memoryExchange(*handle, apdu::acsReadErrorCounter(), &response))
        return rc;
    if (response.data.empty())
        return kTransmitFailed;
    *errorCounter = response.data[0];
    return kOk;
}

int Readers::sle4442Authenticate(int h, unsigned char length, const unsigned char *psc)
{
    return length == 3 ? presentCode(h, MemoryCard::Sle4442, psc, length) : kBadArgument;
}

int Readers::sle4442ChangeKey(int h, unsigned char length, const unsigned char *psc)
{
    Handle *handle = nullptr;
    if (const int rc = memoryCard(h, MemoryCard::Sle4442, &handle))
        return rc;
    if (length != 3 || !psc)
        return kBadArgument;
    Response response;
    return memoryExchange(*handle, apdu::acsChangeCode(psc, length), &response);
}

int Readers::sle4442Read(int h, int address, unsigned char *data, int length)
{
    return memoryRead(h, MemoryCard::Sle4442, address, data, length);
}

int Readers::sle4442Write(int h, int address, const unsigned char *data, int length)
{
    return memoryWrite(h, MemoryCard::Sle4442, address, data, length, false);
}

// The four protection bytes: one bit per byte of 0-31, 0 = protected.
int Readers::sle4442ReadProtection(int h, int address, unsigned char *data, int length)
{
    Handle *handle = nullptr;
    if (const int rc = memoryCard(h, MemoryCard::Sle4442, &handle))
        return rc;
    if (!data || address != 0 || length < 0 || length > 4)
        return kBadArgument;
    Response response;
    if (const int rc = memoryExchange(*handle, apdu::acsReadProtectionBits(0, 4), &response))
        return rc;
    if (response.data.size() < static_cast<size_t>(length))
        return kTransmitFailed;
    std::copy(response.data.begin(), response.data.begin() + length, data);
    return kOk;
}

// Protects bytes address..address+length-1 of 0-31.
int Readers::sle4442WriteProtection(int h, int address, const unsigned char *data, int length)
{
    if (address < 0 || length <= 0 || address + length > kSle4442ProtectedBytes)
        return find(h) ? kBadArgument : kBadHandle;
    return memoryWrite(h, MemoryCard::Sle4442, address, data, length, true);
}

// ---- SLE4428 ----

int Readers::sle4428Authenticate(int h, const unsigned char *psc)
{
    return presentCode(h, MemoryCard::Sle4428, psc, 2);
}

// The PSC is the last two bytes of the memory, writable once verified.
int Readers::sle4428ChangeKey(int h, const unsigned char *psc)
{
    return memoryWrite(h, MemoryCard::Sle4428, kSle4428CodeAddress, psc, 2, false);
}

int Readers::sle4428Read(int h, int address, unsigned char *data, int length)
{
    return memoryRead(h, MemoryCard::Sle4428, address, data, length);
}

int Readers::sle4428Write(int h, int address, const unsigned char *data, int length)
{
    return memoryWrite(h, MemoryCard::Sle4428, address, data, length, false);
}

// One byte per address: its protection bit as the chip keeps it (0 =
// protected), unpacked from the reader's 8 to a byte, lowest address first.
int Readers::sle4428ReadProtection(int h, int address, unsigned char *data, int length)
{
    Handle *handle = nullptr;
    if (const int rc = memoryCard(h, MemoryCard::Sle4428, &handle))
        return rc;
    if (!data || !inCard(MemoryCard::Sle4428, address, length))
        return kBadArgument;
    for (int done = 0; done < length;) {
        const int n = std::min(kChunk, length - done);
        Response response;
        const Bytes command =
            apdu::acsReadProtectionBits(static_cast<uint16_t>(address + done), static_cast<uint8_t>(n));
        if (const int rc = memoryExchange(*handle, command, &response))
            return rc;
        if (response.data.size() < static_cast<size_t>((n + 7) / 8))
            return kTransmitFailed;
        for (int i = 0; i < n; ++i)
            data[done + i] = response.data[static_cast<size_t>(i / 8)] >> (i % 8) & 1;
        done += n;
    }
    return kOk;
}

int Readers::sle4428WriteProtection(int h, int address, const unsigned char *data, int length)
{
    return memoryWrite(h, MemoryCard::Sle4428, address, data, length, true);
}

} // namespace pcsc
