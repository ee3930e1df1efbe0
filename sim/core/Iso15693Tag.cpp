#include "sim/core/Iso15693Tag.h"

#include "sim/core/Errors.h"

#include <algorithm>

namespace sim::iso15693
{
namespace
{

bool inRange(int first, int count)
{
    return first >= 0 && count >= 1 && first + count <= kBlocks;
}

} // namespace

int addressed(State state, uint8_t flags, const uint8_t *uidArgument, const std::vector<uint8_t> &uid)
{
    if (flags & kInventoryFlag)
        return kBadArgument;
    const bool address = flags & kAddressFlag;
    const bool select = flags & kSelectFlag;
    if (address && select)
        return kBadArgument;
    if (address)
        return uidArgument && std::equal(uid.begin(), uid.end(), uidArgument) ? kOk : kNoCard;
    if (select)
        return state == State::Selected ? kOk : kNoCard;
    return state == State::Quiet ? kNoCard : kOk;
}

std::vector<uint8_t> systemInfo(const std::vector<uint8_t> &uid, uint8_t afi, uint8_t dsfid)
{
    std::vector<uint8_t> reply(15, 0);
    reply[1] = 0x0F; // no error (byte 0); DSFID, AFI, memory size and IC reference follow the UID
    std::copy(uid.rbegin(), uid.rend(), reply.begin() + 2);
    reply[10] = dsfid;
    reply[11] = afi;
    reply[12] = kBlocks - 1;
    reply[13] = kBlockSize - 1;
    reply[14] = 0x01; // IC reference of the I-CODE SLI
    return reply;
}

int readBlocks(const Memory &memory, int first, int count, uint8_t *data)
{
    if (!inRange(first, count) || !data)
        return kBadArgument;
    for (int i = 0; i < count; ++i)
        std::copy(memory.blocks[first + i].begin(), memory.blocks[first + i].end(), data + kBlockSize * i);
    return kOk;
}

int writeBlocks(Memory &memory, int first, int count, const uint8_t *data)
{
    if (!inRange(first, count) || !data)
        return kBadArgument;
    for (int i = 0; i < count; ++i)
        if (memory.locked[first + i])
            return kAccessDenied;
    for (int i = 0; i < count; ++i)
        std::copy(data + kBlockSize * i, data + kBlockSize * (i + 1), memory.blocks[first + i].begin());
    return kOk;
}

int lockBlock(Memory &memory, int block)
{
    if (!inRange(block, 1))
        return kBadArgument;
    if (memory.locked[block]) // already locked
        return kAccessDenied;
    memory.locked[block] = true;
    return kOk;
}

int securityStatus(const Memory &memory, int first, int count, std::vector<uint8_t> *status)
{
    if (!inRange(first, count))
        return kBadArgument;
    status->clear();
    for (int i = first; i < first + count; ++i)
        status->push_back(memory.locked[i] ? 0x01 : 0x00);
    return kOk;
}

} // namespace sim::iso15693
