#include "pcsc/core/Apdu.h"

#include "pcsc/core/Results.h"

#include <algorithm>

namespace pcsc
{

Response splitResponse(const Bytes &raw)
{
    Response r;
    if (raw.size() < 2)
        return r;
    r.data.assign(raw.begin(), raw.end() - 2);
    r.sw = static_cast<uint16_t>(raw[raw.size() - 2] << 8 | raw[raw.size() - 1]);
    return r;
}

namespace apdu
{
namespace
{

constexpr uint8_t kPseudoClass = 0xFF;

Bytes withData(uint8_t ins, uint8_t p1, uint8_t p2, const uint8_t *data, uint8_t length)
{
    Bytes out(5u + length);
    out[0] = kPseudoClass;
    out[1] = ins;
    out[2] = p1;
    out[3] = p2;
    out[4] = length;
    std::copy(data, data + length, out.begin() + 5);
    return out;
}

uint8_t high(uint16_t address)
{
    return static_cast<uint8_t>(address >> 8);
}

uint8_t low(uint16_t address)
{
    return static_cast<uint8_t>(address & 0xFF);
}

} // namespace

Bytes getUid()
{
    return {kPseudoClass, 0xCA, 0x00, 0x00, 0x00};
}

Bytes loadKey(uint8_t slot, const uint8_t *key6)
{
    // P1 0x00: a card key, plain, in the reader's volatile memory.
    return withData(0x82, 0x00, slot, key6, 6);
}

Bytes authenticate(uint8_t block, bool keyB, uint8_t slot)
{
    const uint8_t data[] = {0x01, 0x00, block, static_cast<uint8_t>(keyB ? 0x61 : 0x60), slot};
    return withData(0x86, 0x00, 0x00, data, sizeof data);
}

Bytes readBinary(uint8_t block, uint8_t length)
{
    return {kPseudoClass, 0xB0, 0x00, block, length};
}

Bytes updateBinary(uint8_t block, const uint8_t *data, uint8_t length)
{
    return withData(0xD6, 0x00, block, data, length);
}

Bytes acsValue(uint8_t block, ValueOp op, int32_t value)
{
    Bytes data{static_cast<uint8_t>(op)};
    appendBigEndian32(data, static_cast<uint32_t>(value));
    return withData(0xD7, 0x00, block, data.data(), static_cast<uint8_t>(data.size()));
}

Bytes acsRestore(uint8_t source, uint8_t target)
{
    const uint8_t data[] = {0x03, target};
    return withData(0xD7, 0x00, source, data, sizeof data);
}

Bytes acsBuzzer(uint8_t units)
{
    // LED state unchanged; buzzer on during T1, one repetition.
    const uint8_t data[] = {units, 0x00, 0x01, 0x01};
    return withData(0x00, 0x40, 0x00, data, sizeof data);
}

Bytes acsSelectCardType(MemoryCard type)
{
    const uint8_t data[] = {static_cast<uint8_t>(type)};
    return withData(0xA4, 0x00, 0x00, data, 1);
}

Bytes acsReadMemory(uint16_t address, uint8_t length)
{
    return {kPseudoClass, 0xB0, high(address), low(address), length};
}

Bytes acsWriteMemory(uint16_t address, const uint8_t *data, uint8_t length)
{
    return withData(0xD0, high(address), low(address), data, length);
}

Bytes acsWriteProtected(uint16_t address, const uint8_t *data, uint8_t length)
{
    return withData(0xD1, high(address), low(address), data, length);
}

Bytes acsReadErrorCounter()
{
    return {kPseudoClass, 0xB1, 0x00, 0x00, 0x04};
}

Bytes acsReadProtectionBits(uint16_t address, uint8_t length)
{
    return {kPseudoClass, 0xB2, high(address), low(address), length};
}

Bytes acsPresentCode(const uint8_t *psc, uint8_t length)
{
    return withData(0x20, 0x00, 0x00, psc, length);
}

Bytes acsChangeCode(const uint8_t *psc, uint8_t length)
{
    return withData(0xD2, 0x00, 0x01, psc, length);
}

} // namespace apdu

int resultOfStatus(Step step, uint16_t sw)
{
    if (sw == 0x9000)
        return kOk;
    const uint8_t sw1 = static_cast<uint8_t>(sw >> 8);
    // Instruction or class unknown, function not supported: the reader
    // cannot do this.
    if (sw == 0x6A81 || sw1 == 0x6D || sw1 == 0x6E)
        return kNotSupported;
    // Address beyond the card, wrong P1-P2, wrong length.
    if (sw == 0x6A82 || sw == 0x6B00 || sw == 0x6282 || sw1 == 0x6C || sw1 == 0x67)
        return kBadArgument;
    switch (step) {
    case Step::GetData:
        return kNoCard;
    case Step::LoadKey:
        return kNotSupported;
    case Step::Authenticate:
        // 69 86 key type not known, 69 88 key number not valid: the reader's
        // slot layout is not the one assumed.
        return sw == 0x6986 || sw == 0x6988 ? kNotSupported : kAuthFailed;
    case Step::Read:
    case Step::Write:
        // Security status not satisfied: no authentication for this sector.
        return sw == 0x6982 ? kAuthFailed : kRefused;
    case Step::Memory:
        return kRefused;
    }
    return kTransmitFailed;
}

} // namespace pcsc
