// Reader peripherals: LED display, clock, LCD, note memory, and the DES the
// reader computes.
#include "sim/core/Simulator.h"

#include "sim/core/Hex.h"
#include "sim/core/ReaderClock.h"
#include "sim/core/ReaderDisplays.h"

#include <nettle/des.h>

#include <algorithm>
#include <cstring>

namespace sim
{
namespace
{

constexpr int kDesBlock = 8;

// Exactly 16 hexadecimal digits.
bool desOperand(const char *text, uint8_t *bytes)
{
    return strnlen(text, 2 * kDesBlock + 1) == 2 * kDesBlock && hexToBytes(text, bytes, kDesBlock) == kDesBlock;
}

bool inNoteMemory(int offset, int length)
{
    return offset >= 0 && length > 0 &&
           static_cast<size_t>(offset) + static_cast<size_t>(length) <= Peripherals::kEepromSize;
}

} // namespace

int Simulator::changePeripherals(int h, bool argumentsValid, const std::function<int(Peripherals &)> &change)
{
    const Open *open = openReader(h);
    if (!open || !store_->current().find(open->reader))
        return kBadHandle;
    if (!argumentsValid)
        return kBadArgument;
    charge(air::Frame::Peripheral);
    const std::string name = open->reader;
    int result = kBadHandle;
    store_->modify([&](Bench &bench) {
        Reader *r = bench.find(name);
        result = r ? change(r->peripherals) : kBadHandle;
        return result == kOk;
    });
    return result;
}

int Simulator::ledControlMode(int h, unsigned char mode)
{
    return changePeripherals(h, mode <= 1, [&](Peripherals &p) {
        p.ledControl = mode;
        return kOk;
    });
}

int Simulator::ledDisplayMode(int h, unsigned char mode)
{
    return changePeripherals(h, mode <= 1, [&](Peripherals &p) {
        p.ledDisplay = mode;
        return kOk;
    });
}

int Simulator::setClock(int h, const unsigned char *clock)
{
    const auto time = clock ? clockFromRecord(clock) : std::nullopt;
    const long long now = pcNow();
    return changePeripherals(h, time.has_value(), [&](Peripherals &p) {
        p.clock = clockText(*time);
        p.clockSetAt = now;
        return kOk;
    });
}

// The patterns are kept in either mode and shown while the LED shows digits.
int Simulator::ledDisplay8(int h, unsigned char length, const unsigned char *pattern)
{
    return changePeripherals(h, length == 8 && pattern, [&](Peripherals &p) {
        std::copy(pattern, pattern + 8, p.ledPattern.begin());
        return kOk;
    });
}

int Simulator::lcdSetBrightness(int h, unsigned char brightness)
{
    return changePeripherals(h, brightness <= 15, [&](Peripherals &p) {
        p.lcdBacklight = brightness;
        return kOk;
    });
}

int Simulator::lcdShowText(int h, const char *text)
{
    const bool fits = text && strnlen(text, kLcdTextLimit + 1) <= kLcdTextLimit;
    return changePeripherals(h, fits, [&](Peripherals &p) {
        p.lcdText = lcdCharacters(text);
        return kOk;
    });
}

int Simulator::lcdClear(int h)
{
    return changePeripherals(h, true, [](Peripherals &p) {
        p.lcdText.clear();
        return kOk;
    });
}

int Simulator::readNoteMemory(int h, int offset, int length, unsigned char *data)
{
    const Reader *r = reader(h);
    if (!r)
        return kBadHandle;
    if (!data || !inNoteMemory(offset, length))
        return kBadArgument;
    std::copy_n(r->peripherals.eeprom.begin() + offset, length, data);
    return kOk;
}

int Simulator::writeNoteMemory(int h, int offset, int length, const unsigned char *data)
{
    return changePeripherals(h, data && inNoteMemory(offset, length), [&](Peripherals &p) {
        std::copy_n(data, length, p.eeprom.begin() + offset);
        return kOk;
    });
}

// Single DES of one block (no chaining), 16 hex digits each way. A weak key
// is used like any other, as a DES engine does.
int Simulator::des(const char *keyHex, const char *dataHex, char *resultHex, int encrypt)
{
    if (!resultHex)
        return kBadArgument;
    resultHex[0] = '\0';
    uint8_t key[kDesBlock];
    uint8_t block[kDesBlock];
    if (!keyHex || !dataHex || (encrypt != 0 && encrypt != 1) || !desOperand(keyHex, key) ||
        !desOperand(dataHex, block))
        return kBadArgument;
    des_ctx ctx;
    des_set_key(&ctx, key);
    uint8_t out[kDesBlock];
    if (encrypt)
        des_encrypt(&ctx, kDesBlock, out, block);
    else
        des_decrypt(&ctx, kDesBlock, out, block);
    bytesToHex(out, 2 * kDesBlock, resultHex);
    return kOk;
}

} // namespace sim
