// The ISO15693 tag beyond the inventory: addressed or selected requests to
// the tag in the reader's ISO15693 field (Iso15693Tag.h holds the tag).
#include "sim/core/Simulator.h"

#include <algorithm>

namespace sim
{

int Simulator::tag(int h, unsigned char flags, const unsigned char *uid, Target *t)
{
    if (const int rc = contactless(h, "iso15693", t))
        return rc;
    if (t->card->kind != CardKind::Iso15693)
        return kNotSupported;
    return iso15693::addressed(t->session->tagState, flags, uid, t->card->uid);
}

int Simulator::changeTag(int h, unsigned char flags, const unsigned char *uid, const std::function<int(Card &)> &change)
{
    Target t;
    if (const int rc = tag(h, flags, uid, &t))
        return rc;
    return modifyCard(h, "iso15693", change);
}

namespace
{

// AFI and DSFID: written until locked, locked once.
int setUnlessLocked(uint8_t &value, bool locked, uint8_t wanted)
{
    if (locked)
        return kAccessDenied;
    value = wanted;
    return kOk;
}

int lockOnce(bool &locked)
{
    if (locked)
        return kAccessDenied;
    locked = true;
    return kOk;
}

} // namespace

int Simulator::getSystemInfo(int h, unsigned char flags, const unsigned char *uid, unsigned char *length,
                             unsigned char *reply)
{
    charge(air::Frame::Vicinity, 12 + 15);
    Target t;
    if (const int rc = tag(h, flags, uid, &t))
        return rc;
    if (!length || !reply)
        return kBadArgument;
    const std::vector<uint8_t> info = iso15693::systemInfo(t.card->uid, t.card->afi, t.card->dsfid);
    std::copy(info.begin(), info.end(), reply);
    *length = static_cast<unsigned char>(info.size());
    return kOk;
}

int Simulator::readBlocks(int h, unsigned char flags, unsigned char block, unsigned char count,
                          const unsigned char *uid, unsigned char *length, unsigned char *data)
{
    charge(air::Frame::Vicinity, 13 + 4 * std::size_t{count});
    Target t;
    if (const int rc = tag(h, flags, uid, &t))
        return rc;
    if (!length)
        return kBadArgument;
    if (const int rc = iso15693::readBlocks(t.card->tag, block, count, data))
        return rc;
    *length = static_cast<unsigned char>(count * iso15693::kBlockSize);
    return kOk;
}

int Simulator::writeBlocks(int h, unsigned char flags, unsigned char block, unsigned char count,
                           const unsigned char *uid, unsigned char length, const unsigned char *data)
{
    for (int b = 0; b < count; ++b)
        charge(air::Frame::VicinityWrite, 13 + 4);
    return changeTag(h, flags, uid, [&](Card &card) {
        if (length != count * iso15693::kBlockSize)
            return int(kBadArgument);
        return iso15693::writeBlocks(card.tag, block, count, data);
    });
}

int Simulator::lockBlock(int h, unsigned char flags, unsigned char block, const unsigned char *uid)
{
    charge(air::Frame::VicinityWrite, 13);
    return changeTag(h, flags, uid, [&](Card &card) { return iso15693::lockBlock(card.tag, block); });
}

int Simulator::writeAfi(int h, unsigned char flags, unsigned char afi, const unsigned char *uid)
{
    charge(air::Frame::VicinityWrite, 13);
    return changeTag(h, flags, uid, [&](Card &card) { return setUnlessLocked(card.afi, card.tag.afiLocked, afi); });
}

// LOCK AFI and LOCK DSFID lock what the tag holds; the value byte the tool
// passes along is not part of the command.
int Simulator::lockAfi(int h, unsigned char flags, unsigned char, const unsigned char *uid)
{
    charge(air::Frame::VicinityWrite, 13);
    return changeTag(h, flags, uid, [](Card &card) { return lockOnce(card.tag.afiLocked); });
}

int Simulator::writeDsfid(int h, unsigned char flags, unsigned char dsfid, const unsigned char *uid)
{
    charge(air::Frame::VicinityWrite, 13);
    return changeTag(h, flags, uid,
                     [&](Card &card) { return setUnlessLocked(card.dsfid, card.tag.dsfidLocked, dsfid); });
}

int Simulator::lockDsfid(int h, unsigned char flags, unsigned char, const unsigned char *uid)
{
    charge(air::Frame::VicinityWrite, 13);
    return changeTag(h, flags, uid, [](Card &card) { return lockOnce(card.tag.dsfidLocked); });
}

// count blocks from block: one status byte each.
int Simulator::getSecurityInfo(int h, unsigned char flags, unsigned char block, unsigned char count,
                               const unsigned char *uid, unsigned char *length, unsigned char *reply)
{
    charge(air::Frame::Vicinity, 13 + std::size_t{count});
    Target t;
    if (const int rc = tag(h, flags, uid, &t))
        return rc;
    if (!length || !reply)
        return kBadArgument;
    std::vector<uint8_t> status;
    if (const int rc = iso15693::securityStatus(t.card->tag, block, count, &status))
        return rc;
    std::copy(status.begin(), status.end(), reply);
    *length = static_cast<unsigned char>(status.size());
    return kOk;
}

int Simulator::moveTag(int h, unsigned char flags, const unsigned char *uid, iso15693::State state, bool addressOnly)
{
    Target t;
    if (const int rc = tag(h, flags, uid, &t))
        return rc;
    if (addressOnly && !(flags & iso15693::kAddressFlag))
        return kBadArgument;
    t.session->tagState = state;
    return kOk;
}

int Simulator::resetToReady(int h, unsigned char flags, const unsigned char *uid)
{
    charge(air::Frame::Vicinity, 12);
    return moveTag(h, flags, uid, iso15693::State::Ready, false);
}

// SELECT and STAY QUIET always carry the UID. (A selected tag with another
// UID would go back to ready; there is one tag per field here.)
int Simulator::selectUid(int h, unsigned char flags, const unsigned char *uid)
{
    charge(air::Frame::Vicinity, 12);
    return moveTag(h, flags, uid, iso15693::State::Selected, true);
}

// A quiet tag answers addressed requests only, until reset to ready or the
// field goes off.
int Simulator::stayQuiet(int h, unsigned char flags, const unsigned char *uid)
{
    charge(air::Frame::Vicinity, 12);
    return moveTag(h, flags, uid, iso15693::State::Quiet, true);
}

} // namespace sim
