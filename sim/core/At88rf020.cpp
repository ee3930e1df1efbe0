#include "sim/core/At88rf020.h"

#include "sim/core/Errors.h"

#include <algorithm>

namespace sim::at88
{
namespace
{

Answer status(Status s)
{
    return Answer{{s}, false, false};
}

Answer withPage(const Page &page)
{
    Answer a{std::vector<uint8_t>(1 + kPageSize, kStatusOk), false, false};
    std::copy(page.begin(), page.end(), a.reply.begin() + 1);
    return a;
}

bool userPage(int page)
{
    return page >= kFirstUserPage && page < kPages;
}

void setLockBit(Memory &memory, int page)
{
    memory.pages[kLockPage][page / 8] |= static_cast<uint8_t>(1u << (page % 8));
}

Answer write(Memory &memory, int page, const uint8_t *data)
{
    if (page >= kPages)
        return status(kStatusBadFrame);
    if (!userPage(page) || pageLocked(memory, page))
        return status(kStatusReadOnly);
    std::copy(data, data + kPageSize, memory.pages[page].begin());
    return Answer{{kStatusOk}, true, false};
}

Answer count(Memory &memory)
{
    const uint32_t value = counter(memory);
    if (value == UINT32_MAX)
        return status(kStatusCounterEnd);
    Page &page = memory.pages[kCounterPage];
    const uint32_t next = value + 1;
    for (int i = 0; i < 4; ++i)
        page[i] = static_cast<uint8_t>(next >> (24 - 8 * i));
    Answer a = withPage(page);
    a.changed = true;
    return a;
}

} // namespace

Memory factoryMemory(const std::vector<uint8_t> &pupi)
{
    Memory memory;
    Page &id = memory.pages[0];
    std::copy(pupi.begin(), pupi.begin() + std::min<std::size_t>(4, pupi.size()), id.begin());
    id[4] = 0x1F; // Atmel
    id[5] = 0x20; // AT88RF020
    id[7] = 0x01;
    for (int page = 0; page < kFirstUserPage; ++page) // system pages: never written by a user
        setLockBit(memory, page);
    return memory;
}

Page password(const Memory &memory)
{
    return memory.pages[kPasswordPage];
}

uint32_t counter(const Memory &memory)
{
    const Page &page = memory.pages[kCounterPage];
    return uint32_t(page[0]) << 24 | uint32_t(page[1]) << 16 | uint32_t(page[2]) << 8 | uint32_t(page[3]);
}

bool pageLocked(const Memory &memory, int page)
{
    return page >= 0 && page < kPages && (memory.pages[kLockPage][page / 8] >> (page % 8) & 1);
}

std::vector<uint8_t> frame(Command command, uint8_t argument, const uint8_t *data)
{
    std::vector<uint8_t> bytes(kFrameSize, 0);
    bytes[0] = command;
    bytes[1] = argument;
    if (data)
        std::copy(data, data + kPageSize, bytes.begin() + 2);
    return bytes;
}

Answer exchange(Memory &memory, Session &session, const uint8_t *frame, std::size_t length)
{
    if (!frame || length != kFrameSize)
        return status(kStatusBadFrame);
    const uint8_t command = frame[0];
    const int page = frame[1];
    const uint8_t *data = frame + 2;
    if (command == kCheck) {
        session.verified = std::equal(data, data + kPageSize, memory.pages[kPasswordPage].begin());
        return status(session.verified ? kStatusOk : kStatusWrongPassword);
    }
    switch (command) {
    case kRead:
    case kWrite:
    case kLock:
    case kCount:
    case kHalt:
    case kChangeKey:
        break;
    default:
        return status(kStatusBadFrame);
    }
    if (!session.verified)
        return status(kStatusNotVerified);
    switch (command) {
    case kRead:
        if (page >= kPages)
            return status(kStatusBadFrame);
        // The password never leaves the card.
        return withPage(page == kPasswordPage ? Page{} : memory.pages[page]);
    case kWrite:
        return write(memory, page, data);
    case kLock:
        if (!userPage(page))
            return status(kStatusBadFrame);
        setLockBit(memory, page);
        return Answer{{kStatusOk}, true, false};
    case kCount:
        return count(memory);
    case kHalt:
        session.verified = false;
        return Answer{{kStatusOk}, false, true};
    default: // kChangeKey: in force at once
        std::copy(data, data + kPageSize, memory.pages[kPasswordPage].begin());
        return Answer{{kStatusOk}, true, false};
    }
}

int resultOf(const Answer &answer)
{
    switch (answer.reply.empty() ? uint8_t{kStatusBadFrame} : answer.reply[0]) {
    case kStatusOk:
        return kOk;
    case kStatusNotVerified:
    case kStatusWrongPassword:
        return kAuthFailed;
    case kStatusReadOnly:
        return kAccessDenied;
    case kStatusCounterEnd:
        return kNotValueBlock;
    default:
        return kBadArgument;
    }
}

} // namespace sim::at88
