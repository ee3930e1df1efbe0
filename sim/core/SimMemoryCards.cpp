// SLE4442, SLE4428 and AT24C64 in the contact slot. The memory and the PSC
// error counter stay on the card (the bench file); whether the right PSC was
// presented lasts until the card is taken away.
#include "sim/core/Simulator.h"

#include <algorithm>

namespace sim
{

using memory::Chip;

int Simulator::contactCard(int h, const std::string &position, Target *t)
{
    const Reader *r = reader(h);
    if (!r)
        return kBadHandle;
    const auto it = r->cards.find(position);
    if (it == r->cards.end())
        return kNoCard;
    t->reader = r;
    t->card = &it->second;
    t->position = position;
    t->session = &session(r->name, position, it->second);
    return kOk;
}

int Simulator::memoryCard(int h, CardKind kind, Target *t)
{
    if (const int rc = contactCard(h, "contact", t))
        return rc;
    return t->card->kind == kind ? kOk : kNotSupported;
}

int Simulator::changeMemory(int h, CardKind kind, const std::function<int(memory::Memory &, bool &presented)> &change)
{
    Target t;
    if (const int rc = memoryCard(h, kind, &t))
        return rc;
    Session *session = t.session;
    memory::Memory content = t.card->memory;
    bool presented = session->pscPresented;
    const int result = change(content, presented);
    if (content != t.card->memory) {
        const int saved = modifyCard(h, "contact", [&](Card &card) {
            card.memory = content;
            return kOk;
        });
        if (saved != kOk)
            return saved;
    }
    session->pscPresented = presented;
    return result;
}

// ---- SLE4442 ----

int Simulator::sle4442ReadErrorCounter(int h, unsigned char *errorCounter)
{
    charge(air::Frame::MemoryRead, 4);
    Target t;
    if (const int rc = memoryCard(h, CardKind::Sle4442, &t))
        return rc;
    if (!errorCounter)
        return kBadArgument;
    *errorCounter = memory::errorCounter(t.card->memory);
    return kOk;
}

int Simulator::sle4442Authenticate(int h, unsigned char zone, unsigned char length, const unsigned char *psc)
{
    charge(air::Frame::MemoryWrite, 4); // compare, then the error counter written back
    if (zone != 0 || length != 3)
        return reader(h) ? kBadArgument : kBadHandle;
    return changeMemory(h, CardKind::Sle4442, [&](memory::Memory &m, bool &presented) {
        return memory::presentPsc(Chip::Sle4442, m, presented, psc);
    });
}

int Simulator::sle4442ChangeKey(int h, unsigned char zone, unsigned char length, const unsigned char *psc)
{
    charge(air::Frame::MemoryWrite, std::size_t{length});
    if (zone != 0 || length != 3)
        return reader(h) ? kBadArgument : kBadHandle;
    return changeMemory(h, CardKind::Sle4442, [&](memory::Memory &m, bool &presented) {
        return memory::changePsc(Chip::Sle4442, m, presented, psc);
    });
}

int Simulator::sle4442Read(int h, int address, unsigned char *data, int length)
{
    charge(air::Frame::MemoryRead, static_cast<std::size_t>(std::max(length, 0)));
    Target t;
    if (const int rc = memoryCard(h, CardKind::Sle4442, &t))
        return rc;
    return memory::read(Chip::Sle4442, t.card->memory, t.session->pscPresented, address, data, length);
}

int Simulator::sle4442Write(int h, int address, const unsigned char *data, int length)
{
    charge(air::Frame::MemoryWrite, static_cast<std::size_t>(std::max(length, 0)));
    return changeMemory(h, CardKind::Sle4442, [&](memory::Memory &m, bool &presented) {
        return memory::write(Chip::Sle4442, m, presented, address, data, length);
    });
}

int Simulator::sle4442ReadProtection(int h, int address, unsigned char *data, int length)
{
    charge(air::Frame::MemoryRead, 4);
    Target t;
    if (const int rc = memoryCard(h, CardKind::Sle4442, &t))
        return rc;
    return memory::readProtection(Chip::Sle4442, t.card->memory, address, data, length);
}

int Simulator::sle4442WriteProtection(int h, int address, const unsigned char *data, int length)
{
    charge(air::Frame::MemoryWrite, static_cast<std::size_t>(std::max(length, 0)));
    return changeMemory(h, CardKind::Sle4442, [&](memory::Memory &m, bool &presented) {
        return memory::protect(Chip::Sle4442, m, presented, address, data, length);
    });
}

// ---- SLE4428 ----

int Simulator::sle4428Authenticate(int h, const unsigned char *psc)
{
    charge(air::Frame::MemoryWrite, 3);
    return changeMemory(h, CardKind::Sle4428, [&](memory::Memory &m, bool &presented) {
        return memory::presentPsc(Chip::Sle4428, m, presented, psc);
    });
}

int Simulator::sle4428ChangeKey(int h, const unsigned char *psc)
{
    charge(air::Frame::MemoryWrite, 2);
    return changeMemory(h, CardKind::Sle4428, [&](memory::Memory &m, bool &presented) {
        return memory::changePsc(Chip::Sle4428, m, presented, psc);
    });
}

int Simulator::sle4428Read(int h, int address, unsigned char *data, int length)
{
    charge(air::Frame::MemoryRead, static_cast<std::size_t>(std::max(length, 0)));
    Target t;
    if (const int rc = memoryCard(h, CardKind::Sle4428, &t))
        return rc;
    return memory::read(Chip::Sle4428, t.card->memory, t.session->pscPresented, address, data, length);
}

int Simulator::sle4428Write(int h, int address, const unsigned char *data, int length)
{
    charge(air::Frame::MemoryWrite, static_cast<std::size_t>(std::max(length, 0)));
    return changeMemory(h, CardKind::Sle4428, [&](memory::Memory &m, bool &presented) {
        return memory::write(Chip::Sle4428, m, presented, address, data, length);
    });
}

int Simulator::sle4428ReadProtection(int h, int address, unsigned char *data, int length)
{
    charge(air::Frame::MemoryRead, static_cast<std::size_t>(std::max(length, 0)));
    Target t;
    if (const int rc = memoryCard(h, CardKind::Sle4428, &t))
        return rc;
    return memory::readProtection(Chip::Sle4428, t.card->memory, address, data, length);
}

int Simulator::sle4428WriteProtection(int h, int address, const unsigned char *data, int length)
{
    charge(air::Frame::MemoryWrite, static_cast<std::size_t>(std::max(length, 0)));
    return changeMemory(h, CardKind::Sle4428, [&](memory::Memory &m, bool &presented) {
        return memory::protect(Chip::Sle4428, m, presented, address, data, length);
    });
}

// ---- AT24C64 ----

int Simulator::at24c64Check(int h)
{
    charge(air::Frame::MemoryRead, 1);
    Target t;
    return memoryCard(h, CardKind::At24c64, &t);
}

int Simulator::at24c64Read(int h, int address, int length, unsigned char *data)
{
    charge(air::Frame::MemoryRead, static_cast<std::size_t>(std::max(length, 0)));
    Target t;
    if (const int rc = memoryCard(h, CardKind::At24c64, &t))
        return rc;
    return memory::read(Chip::At24c64, t.card->memory, false, address, data, length);
}

int Simulator::at24c64Write(int h, int address, int length, const unsigned char *data)
{
    charge(air::Frame::EepromPageWrite, static_cast<std::size_t>(std::max(length, 0)));
    return changeMemory(h, CardKind::At24c64, [&](memory::Memory &m, bool &presented) {
        return memory::write(Chip::At24c64, m, presented, address, data, length);
    });
}

} // namespace sim
