// Command APDUs of PC/SC Part 3 and the reader-specific ones this library
// uses, and the split of a response into data and status word.
#pragma once

#include "pcsc/core/Bytes.h"

#include <cstdint>

namespace pcsc
{

struct Response {
    Bytes data;
    uint16_t sw = 0; // 0 when the response had fewer than two bytes
    bool ok() const { return sw == 0x9000; }
};

Response splitResponse(const Bytes &raw);

namespace apdu
{

// PC/SC Part 3, every contactless reader.
Bytes getUid();                                             // FF CA 00 00 00
Bytes loadKey(uint8_t slot, const uint8_t *key6);           // FF 82 00 slot 06 key
Bytes authenticate(uint8_t block, bool keyB, uint8_t slot); // FF 86 00 00 05 01 00 block 60|61 slot
Bytes readBinary(uint8_t block, uint8_t length);            // FF B0 00 block length
Bytes updateBinary(uint8_t block, const uint8_t *data, uint8_t length);

// ACS contactless readers (ACR122U, ACR1252U ...): value block operations.
enum class ValueOp : uint8_t { Store = 0x00, Increment = 0x01, Decrement = 0x02 };
Bytes acsValue(uint8_t block, ValueOp op, int32_t value); // FF D7 00 block 05 op value(BE)
Bytes acsRestore(uint8_t source, uint8_t target);         // FF D7 00 source 02 03 target
// ACS contactless readers: buzzer for units of 100 ms (FF 00 40 00 04 ...).
Bytes acsBuzzer(uint8_t units);

// ACS contact readers (ACR38U, ACR39U ...): memory cards.
enum class MemoryCard : uint8_t { Sle4428 = 0x05, Sle4442 = 0x06 };
Bytes acsSelectCardType(MemoryCard type);                                       // FF A4 00 00 01 type
Bytes acsReadMemory(uint16_t address, uint8_t length);                          // FF B0 hi lo length
Bytes acsWriteMemory(uint16_t address, const uint8_t *data, uint8_t length);    // FF D0 hi lo n data
Bytes acsWriteProtected(uint16_t address, const uint8_t *data, uint8_t length); // FF D1 hi lo n data
Bytes acsReadErrorCounter();                                                    // FF B1 00 00 04 (SLE4442)
// FF B2 hi lo length: SLE4442 00 00 04 (the protection memory), SLE4428 the
// protection bits of length bytes from address, packed 8 to a byte.
Bytes acsReadProtectionBits(uint16_t address, uint8_t length);
Bytes acsPresentCode(const uint8_t *psc, uint8_t length); // FF 20 00 00 n psc -> 90 counter
Bytes acsChangeCode(const uint8_t *psc, uint8_t length);  // FF D2 00 01 n psc

} // namespace apdu

// What a status word means to the caller of an entry point.
enum class Step { GetData, LoadKey, Authenticate, Read, Write, Memory };
int resultOfStatus(Step step, uint16_t sw);

} // namespace pcsc
