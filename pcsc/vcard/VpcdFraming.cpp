#include "pcsc/vcard/VpcdFraming.h"

#include <algorithm>

namespace vcard
{

Bytes encodeFrame(const Bytes &payload)
{
    Bytes frame(2 + payload.size());
    frame[0] = static_cast<uint8_t>(payload.size() >> 8);
    frame[1] = static_cast<uint8_t>(payload.size() & 0xFF);
    std::copy(payload.begin(), payload.end(), frame.begin() + 2);
    return frame;
}

void FrameReader::feed(const uint8_t *data, size_t length)
{
    pending_.insert(pending_.end(), data, data + length);
}

std::optional<Bytes> FrameReader::next()
{
    if (pending_.size() < 2)
        return std::nullopt;
    const size_t length = size_t(pending_[0]) << 8 | pending_[1];
    if (pending_.size() < 2 + length)
        return std::nullopt;
    Bytes message(pending_.begin() + 2, pending_.begin() + 2 + static_cast<long>(length));
    pending_.erase(pending_.begin(), pending_.begin() + 2 + static_cast<long>(length));
    return message;
}

Bytes withStatus(Bytes data, uint16_t sw)
{
    data.push_back(static_cast<uint8_t>(sw >> 8));
    data.push_back(static_cast<uint8_t>(sw & 0xFF));
    return data;
}

Bytes withCheckByte(Bytes atr)
{
    uint8_t tck = 0;
    for (size_t i = 1; i < atr.size(); ++i)
        tck ^= atr[i];
    atr.push_back(tck);
    return atr;
}

std::optional<Bytes> respond(VirtualCard &card, const Bytes &message)
{
    if (message.size() != 1)
        return card.process(message);
    switch (static_cast<Control>(message[0])) {
    case Control::Atr:
        return card.atr();
    case Control::PowerOff:
    case Control::PowerOn:
    case Control::Reset:
        card.powerCycle();
        return std::nullopt;
    }
    // An unknown control byte: vpcd waits for no answer either.
    return std::nullopt;
}

} // namespace vcard
