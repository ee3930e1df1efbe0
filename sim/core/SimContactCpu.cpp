// ISO 7816 CPU cards and SAMs in the contact slot (0x0C) and the SAM sockets
// (0x0D-0x0F). The reader keeps the selected slot and each slot's protocol;
// a card answers APDUs from its reset until it is powered down or taken away.
#include "sim/core/Simulator.h"

#include <algorithm>

namespace sim
{

namespace
{

constexpr unsigned char kFirstSlot = 0x0C;
constexpr unsigned char kLastSlot = 0x0F;
// Five header bytes, 255 data bytes and Le: the longest short APDU.
constexpr int kLongestApdu = 261;

const char *positionOfSlot(unsigned char slot)
{
    switch (slot) {
    case 0x0C:
        return "contact";
    case 0x0D:
        return "sam1";
    case 0x0E:
        return "sam2";
    case 0x0F:
        return "sam3";
    default:
        return nullptr;
    }
}

} // namespace

int Simulator::selectedCpu(int h, Target *t, unsigned char *slot)
{
    const Reader *r = reader(h);
    if (!r)
        return kBadHandle;
    *slot = contactSlots_[r->name].selected;
    if (const int rc = contactCard(h, positionOfSlot(*slot), t))
        return rc;
    return hasApplication(t->card->kind) ? kOk : kNotSupported;
}

int Simulator::setCpuSlot(int h, unsigned char slot)
{
    const Reader *r = reader(h);
    if (!r)
        return kBadHandle;
    const char *position = positionOfSlot(slot);
    if (!position)
        return kBadArgument;
    // The reader sees whether a card sits in the slot, not what it is.
    if (!r->cards.count(position))
        return kNoCard;
    contactSlots_[r->name].selected = slot;
    return kOk;
}

int Simulator::cpuReset(int h, unsigned char *length, unsigned char *answer)
{
    Target t;
    unsigned char slot = 0;
    if (const int rc = selectedCpu(h, &t, &slot))
        return rc;
    if (!length || !answer)
        return kBadArgument;
    const std::vector<uint8_t> atr = atrOf(*t.card);
    charge(air::Frame::ContactBytes, atr.size());
    std::copy(atr.begin(), atr.end(), answer);
    *length = static_cast<unsigned char>(atr.size());
    *t.session = Session::fresh(t.session->identity, Phase::Active);
    return kOk;
}

int Simulator::setCpuParameters(int h, unsigned char slot, unsigned char protocol, unsigned char /*etu*/)
{
    const Reader *r = reader(h);
    if (!r)
        return kBadHandle;
    if (!positionOfSlot(slot) || protocol > 1)
        return kBadArgument;
    contactSlots_[r->name].protocol[slot - kFirstSlot] = protocol;
    return kOk;
}

int Simulator::cpuApdu(int h, int length, const unsigned char *command, unsigned char *replyLength,
                       unsigned char *reply)
{
    Target t;
    unsigned char slot = 0;
    if (const int rc = selectedCpu(h, &t, &slot))
        return rc;
    if (t.session->phase != Phase::Active)
        return kNoCard;
    if (!command || length <= 0 || length > kLongestApdu || !replyLength || !reply)
        return kBadArgument;
    const bool t1 = contactSlots_[t.reader->name].protocol[slot - kFirstSlot] == 1;
    return exchangeApdu(h, t, command, static_cast<std::size_t>(length), t1 ? iso7816::Link::T1 : iso7816::Link::T0,
                        replyLength, reply);
}

int Simulator::cpuPowerDown(int h, unsigned char slot)
{
    if (!reader(h))
        return kBadHandle;
    if (slot < kFirstSlot || slot > kLastSlot)
        return kBadArgument;
    Target t;
    if (const int rc = contactCard(h, positionOfSlot(slot), &t))
        return rc;
    *t.session = Session::fresh(t.session->identity);
    return kOk;
}

} // namespace sim
