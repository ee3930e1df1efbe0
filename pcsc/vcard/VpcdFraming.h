// vpcd's protocol (vsmartcard): over TCP, every message is a 2-byte
// big-endian length and that many bytes. A 1-byte message from vpcd is a
// control (power off, power on, reset, ATR request); any other is a command
// APDU. The card answers the ATR request and every APDU, nothing else.
#pragma once

#include "pcsc/core/Bytes.h"

#include <optional>

namespace vcard
{

using pcsc::Bytes;

enum class Control : uint8_t { PowerOff = 0x00, PowerOn = 0x01, Reset = 0x02, Atr = 0x04 };

Bytes encodeFrame(const Bytes &payload);

// Cuts a byte stream into messages, however the stream was split.
class FrameReader
{
public:
    void feed(const uint8_t *data, size_t length);
    std::optional<Bytes> next();

private:
    Bytes pending_;
};

// A card as vpcd sees it.
class VirtualCard
{
public:
    virtual ~VirtualCard() = default;
    virtual Bytes atr() const = 0;
    // Power off, power on and reset alike end every session state.
    virtual void powerCycle() = 0;
    virtual Bytes process(const Bytes &apdu) = 0;
};

// A response APDU: data and status word.
Bytes withStatus(Bytes data, uint16_t sw);
// An ATR with its check byte TCK (the XOR of T0 to the last byte).
Bytes withCheckByte(Bytes atr);

// The card's answer to one message from vpcd; nullopt for the power
// controls, which get none.
std::optional<Bytes> respond(VirtualCard &card, const Bytes &message);

} // namespace vcard
