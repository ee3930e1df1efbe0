// Ultralight and Ultralight C in the TYPE A field. They activate like any
// 7-byte UID card (two cascade levels); rz_anticall_ultralt and
// rz_select_ultralt run both levels and name the card by its 32-bit number.
#include "sim/core/Simulator.h"

#include <algorithm>

namespace sim
{

using ultralight::Chip;
using ultralight::Memory;
using ultralight::Outcome;
using ultralight::Page;

namespace
{

int resultOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return kOk;
    case Outcome::Refused:
        return kAccessDenied;
    case Outcome::OutOfRange:
        break;
    }
    return kBadArgument;
}

Page pageAt(const Memory &memory, int page)
{
    Page bytes;
    std::copy_n(memory.begin() + page * ultralight::kPageSize, ultralight::kPageSize, bytes.begin());
    return bytes;
}

ultralight::Key keyFrom(const unsigned char *bytes)
{
    ultralight::Key key;
    std::copy_n(bytes, key.size(), key.begin());
    return key;
}

} // namespace

int Simulator::ultralightTarget(int h, Target *t, bool cOnly)
{
    if (const int rc = contactless(h, "typea", t))
        return rc;
    const CardKind kind = t->card->kind;
    if (!isUltralight(kind) || (cOnly && kind != CardKind::UltralightC))
        return kNotSupported;
    if (t->session->phase != Phase::Active)
        return kNoCard;
    return kOk;
}

int Simulator::changePages(int h, const Target &t, const std::function<Outcome(Memory &, bool authenticated)> &change)
{
    Session *session = t.session;
    const bool authenticated = session->ultralightAuthenticated;
    Outcome outcome = Outcome::Done;
    // All of a change or nothing: a refused step leaves the card as it was.
    const int rc = modifyCard(h, "typea", [&](Card &card) {
        outcome = change(card.pages, authenticated);
        return resultOf(outcome);
    });
    if (outcome == Outcome::Refused)
        *session = Session::fresh(session->identity);
    return rc;
}

// REQA or WUPA; a card that answers starts its activation afresh.
int Simulator::requestUltralight(int h, unsigned char mode)
{
    int tagType = 0;
    return request(h, mode, &tagType, false);
}

int Simulator::anticollUltralight(int h, unsigned int *serial)
{
    // Both cascade levels: anticollision and select of level 1, anticollision of level 2.
    charge(air::Frame::Anticollision);
    charge(air::Frame::Select);
    charge(air::Frame::Anticollision2);
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    if (!serial)
        return kBadArgument;
    if (t.session->phase != Phase::Ready || t.card->uid.size() != 7)
        return kNoCard;
    // Level 1 is selected on the way to level 2.
    t.session->phase = Phase::Cascade1Selected;
    *serial = ultralight::cardNumber(t.card->uid);
    return kOk;
}

int Simulator::selectUltralight(int h, unsigned int serial)
{
    charge(air::Frame::Select2);
    Target t;
    if (const int rc = contactless(h, "typea", &t))
        return rc;
    if (t.session->phase != Phase::Cascade1Selected || serial != ultralight::cardNumber(t.card->uid))
        return kNoCard;
    t.session->phase = Phase::Active;
    return kOk;
}

int Simulator::readUltralight(int h, unsigned char page, unsigned char *data)
{
    charge(air::Frame::Read);
    Target t;
    if (const int rc = ultralightTarget(h, &t))
        return rc;
    if (!data)
        return kBadArgument;
    Page bytes{};
    const Outcome outcome =
        ultralight::read(ultralightChip(t.card->kind), t.card->pages, page, t.session->ultralightAuthenticated, &bytes);
    if (outcome == Outcome::Refused)
        *t.session = Session::fresh(t.session->identity);
    if (outcome == Outcome::Done)
        std::copy(bytes.begin(), bytes.end(), data);
    return resultOf(outcome);
}

int Simulator::writeUltralight(int h, unsigned char page, const unsigned char *data)
{
    charge(air::Frame::Write);
    Target t;
    if (const int rc = ultralightTarget(h, &t))
        return rc;
    if (!data)
        return kBadArgument;
    const Chip chip = ultralightChip(t.card->kind);
    Page bytes;
    std::copy_n(data, bytes.size(), bytes.begin());
    return changePages(h, t, [&](Memory &memory, bool authenticated) {
        return ultralight::write(chip, memory, page, bytes, authenticated);
    });
}

int Simulator::haltUltralight(int h)
{
    return halt(h);
}

int Simulator::ultralightCAuthenticate(int h, const unsigned char *key)
{
    // AUTHENTICATE part 1 and 2: 2 + 9 + 17 + 9 bytes with their CRCs.
    charge(air::Frame::Exchange, 37);
    Target t;
    if (const int rc = ultralightTarget(h, &t, true))
        return rc;
    if (!key)
        return kBadArgument;
    if (!ultralight::mutualAuthentication(keyFrom(key), ultralight::storedKey(t.card->pages))) {
        *t.session = Session::fresh(t.session->identity);
        return kAuthFailed;
    }
    t.session->ultralightAuthenticated = true;
    return kOk;
}

// AUTH1 first: once AUTH0 protects page 43, writing it needs authentication.
int Simulator::ultralightCSetSafePage(int h, unsigned char page, unsigned char readProtect)
{
    charge(air::Frame::Write);
    charge(air::Frame::Write);
    Target t;
    if (const int rc = ultralightTarget(h, &t, true))
        return rc;
    if (page < 3 || page > ultralight::kPagesC)
        return kBadArgument;
    return changePages(h, t, [&](Memory &memory, bool authenticated) {
        Page auth1 = pageAt(memory, ultralight::kAuth1Page);
        auth1[0] = readProtect ? 0x00 : 0x01;
        Page auth0 = pageAt(memory, ultralight::kAuth0Page);
        auth0[0] = page;
        const Outcome first =
            ultralight::write(Chip::UltralightC, memory, ultralight::kAuth1Page, auth1, authenticated);
        if (first != Outcome::Done)
            return first;
        return ultralight::write(Chip::UltralightC, memory, ultralight::kAuth0Page, auth0, authenticated);
    });
}

int Simulator::ultralightCLockPage(int h, unsigned char page)
{
    charge(air::Frame::Write);
    Target t;
    if (const int rc = ultralightTarget(h, &t))
        return rc;
    const Chip chip = ultralightChip(t.card->kind);
    const std::optional<ultralight::LockWrite> lock = ultralight::lockWriteFor(chip, page);
    if (!lock)
        return kBadArgument;
    bool held = false;
    const int rc = changePages(h, t, [&](Memory &memory, bool authenticated) {
        const Outcome outcome = ultralight::write(chip, memory, lock->page, lock->bits, authenticated);
        held = ultralight::lockHeld(memory, *lock);
        return outcome;
    });
    // The card takes the write but keeps a lock bit its block-locking bit froze.
    return rc == kOk && !held ? kAccessDenied : rc;
}

int Simulator::ultralightCChangeKey(int h, const unsigned char *oldKey, const unsigned char *newKey)
{
    charge(air::Frame::Exchange, 37);
    for (int page = 0; page < 4; ++page)
        charge(air::Frame::Write);
    if (!oldKey || !newKey)
        return openReader(h) ? kBadArgument : kBadHandle;
    if (const int rc = ultralightCAuthenticate(h, oldKey))
        return rc;
    Target t;
    if (const int rc = ultralightTarget(h, &t, true))
        return rc;
    const std::array<Page, 4> pages = ultralight::keyPages(keyFrom(newKey));
    return changePages(h, t, [&](Memory &memory, bool authenticated) {
        for (int i = 0; i < 4; ++i) {
            const Outcome outcome = ultralight::write(Chip::UltralightC, memory, ultralight::kFirstKeyPage + i,
                                                      pages[static_cast<size_t>(i)], authenticated);
            if (outcome != Outcome::Done)
                return outcome;
        }
        return Outcome::Done;
    });
}

} // namespace sim
