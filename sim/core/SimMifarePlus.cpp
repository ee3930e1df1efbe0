// MIFARE Plus in the TYPE A field: every command goes over ISO 14443-4, so
// the card must have been selected and sent RATS (rz_pro_reset). The card's
// memory model is MifarePlus.h; this is the glue to the bench and session.
#include "sim/core/Simulator.h"

#include <algorithm>

namespace sim
{
namespace
{

mfplus::Key keyOf(const unsigned char *bytes)
{
    mfplus::Key key;
    std::copy(bytes, bytes + key.size(), key.begin());
    return key;
}

} // namespace

int Simulator::mifarePlus(int h, Target *t)
{
    if (const int rc = contactless(h, "typea", t))
        return rc;
    if (!isMifarePlus(t->card->kind))
        return kNotSupported;
    if (!t->session->layer4 || t->session->phase != Phase::Active)
        return kNoCard;
    return kOk;
}

// Runs change on the activated card's memory with its session; a change
// that succeeds is kept in the bench file.
int Simulator::changePlus(int h, const PlusChange &change)
{
    Target t;
    if (const int rc = mifarePlus(h, &t))
        return rc;
    const mfplus::Session session = t.session->plus;
    return modifyCard(h, "typea", [&](Card &card) { return change(card.plus, session); });
}

int Simulator::mfpWritePerso(int h, const unsigned char *value, unsigned short address)
{
    charge(air::Frame::Exchange, 22);
    charge(air::Frame::Write);
    if (!value)
        return openReader(h) ? kBadArgument : kBadHandle;
    const mfplus::Block block = keyOf(value);
    return changePlus(
        h, [&](mfplus::Memory &m, const mfplus::Session &) { return mfplus::writePerso(m, block, address); });
}

// A new security level takes effect with the card's next activation.
int Simulator::mfpCommitPerso(int h)
{
    charge(air::Frame::Exchange, 4);
    charge(air::Frame::Write);
    Target t;
    if (const int rc = mifarePlus(h, &t))
        return rc;
    Session *session = t.session;
    const int rc = changePlus(h, [](mfplus::Memory &m, const mfplus::Session &) { return mfplus::commitPerso(m); });
    if (rc == kOk)
        *session = Session::fresh(session->identity);
    return rc;
}

int Simulator::plusAuthentication(int h, const unsigned char *key, Target *t)
{
    charge(air::Frame::Exchange, 87);
    if (const int rc = mifarePlus(h, t))
        return rc;
    return key ? kOk : kBadArgument;
}

int Simulator::switchPlusLevel(int h, const unsigned char *key, int from, int to)
{
    Target t;
    if (const int rc = plusAuthentication(h, key, &t))
        return rc;
    const mfplus::Key k = keyOf(key);
    Session *session = t.session;
    const int rc =
        changePlus(h, [&](mfplus::Memory &m, const mfplus::Session &) { return mfplus::switchLevel(m, from, to, k); });
    if (rc == kOk)
        *session = Session::fresh(session->identity);
    return rc;
}

int Simulator::mfpL1Authenticate(int h, const unsigned char *key)
{
    Target t;
    if (const int rc = plusAuthentication(h, key, &t))
        return rc;
    return mfplus::authenticateLevel1(t.card->plus, keyOf(key));
}

int Simulator::mfpL1SwitchToL2(int h, const unsigned char *key)
{
    return switchPlusLevel(h, key, 1, 2);
}

int Simulator::mfpL1SwitchToL3(int h, const unsigned char *key)
{
    return switchPlusLevel(h, key, 1, 3);
}

int Simulator::mfpL2SwitchToL3(int h, const unsigned char *key)
{
    return switchPlusLevel(h, key, 2, 3);
}

int Simulator::mfpL3AuthenticateKey(int h, const unsigned char *key, unsigned short keyNumber)
{
    Target t;
    if (const int rc = plusAuthentication(h, key, &t))
        return rc;
    return mfplus::authenticateKey(t.card->plus, t.session->plus, keyNumber, keyOf(key));
}

// mode 1: the sector's key A, 2: its key B.
int Simulator::mfpL3AuthenticateSector(int h, unsigned char mode, unsigned char sector, const unsigned char *key)
{
    Target t;
    if (const int rc = plusAuthentication(h, key, &t))
        return rc;
    if ((mode != 1 && mode != 2) || sector >= mfplus::sectorCount(t.card->plus))
        return kBadArgument;
    const auto keyNumber = static_cast<uint16_t>(mfplus::kFirstSectorKey + 2 * sector + (mode - 1));
    return mfplus::authenticateKey(t.card->plus, t.session->plus, keyNumber, keyOf(key));
}

// Data operations rely on the earlier authentication: no new activation.
int Simulator::mfpL3ReadPlain(int h, unsigned short block, unsigned char count, unsigned char *data)
{
    charge(air::Frame::Exchange, 6 + 16 * std::size_t{count});
    Target t;
    if (const int rc = mifarePlus(h, &t))
        return rc;
    if (!data)
        return kBadArgument;
    return mfplus::readBlocks(t.card->plus, t.session->plus, block, count, data);
}

int Simulator::mfpL3WritePlain(int h, unsigned short block, unsigned char count, const unsigned char *data)
{
    charge(air::Frame::Exchange, 6 + 16 * std::size_t{count});
    charge(air::Frame::Write);
    if (!data)
        return openReader(h) ? kBadArgument : kBadHandle;
    return changePlus(
        h, [&](mfplus::Memory &m, const mfplus::Session &s) { return mfplus::writeBlocks(m, s, block, count, data); });
}

// The reader library encrypts and decrypts; the card holds the same bytes.
int Simulator::mfpL3ReadEncrypted(int h, unsigned short block, unsigned char count, unsigned char *data)
{
    return mfpL3ReadPlain(h, block, count, data);
}

int Simulator::mfpL3WriteEncrypted(int h, unsigned short block, unsigned char count, const unsigned char *data)
{
    return mfpL3WritePlain(h, block, count, data);
}

int Simulator::mfpL3UpdateKey(int h, unsigned short keyNumber, const unsigned char *key)
{
    charge(air::Frame::Exchange, 22);
    charge(air::Frame::Write);
    if (!key)
        return openReader(h) ? kBadArgument : kBadHandle;
    const mfplus::Key k = keyOf(key);
    return changePlus(
        h, [&](mfplus::Memory &m, const mfplus::Session &s) { return mfplus::updateKey(m, s, keyNumber, k); });
}

int Simulator::mfpL3InitValue(int h, unsigned char block, int value)
{
    charge(air::Frame::Exchange, 22);
    charge(air::Frame::Write);
    return changePlus(
        h, [&](mfplus::Memory &m, const mfplus::Session &s) { return mfplus::initValue(m, s, block, value); });
}

int Simulator::mfpL3ReadValue(int h, unsigned char block, int *value)
{
    charge(air::Frame::Exchange, 22);
    Target t;
    if (const int rc = mifarePlus(h, &t))
        return rc;
    if (!value)
        return kBadArgument;
    int32_t v = 0;
    if (const int rc = mfplus::readValue(t.card->plus, t.session->plus, block, &v))
        return rc;
    *value = v;
    return kOk;
}

// Increment and decrement transfer into the same block at once.
int Simulator::mfpL3Increment(int h, unsigned char block, int value)
{
    charge(air::Frame::Exchange, 10);
    charge(air::Frame::Transfer);
    return changePlus(h, [&](mfplus::Memory &m, const mfplus::Session &s) {
        return value < 0 ? int(kBadArgument) : mfplus::addToValue(m, s, block, value);
    });
}

int Simulator::mfpL3Decrement(int h, unsigned char block, int value)
{
    charge(air::Frame::Exchange, 10);
    charge(air::Frame::Transfer);
    return changePlus(h, [&](mfplus::Memory &m, const mfplus::Session &s) {
        return value < 0 ? int(kBadArgument) : mfplus::addToValue(m, s, block, -int64_t{value});
    });
}

} // namespace sim
