// Failure results of the simulated reader library. 0 is success; the tool
// only tells zero from non-zero, these values are for people and tests.
#pragma once

namespace sim
{

enum Result : int {
    kOk = 0,
    kNoCard = 1,          // no card in the field, card of another protocol, or not selected
    kAuthFailed = 2,      // authentication failed, or the block's sector is not authenticated
    kAccessDenied = 3,    // the sector's access conditions forbid the operation
    kBadArgument = 4,     // argument out of range (block, sector, key mode, text ...)
    kNotValueBlock = 5,   // block not in value format, or the value would overflow
    kBadHandle = 6,       // unknown handle, reader not open
    kNotSupported = 7,    // this card (or this simulator) does not support the command
    kBenchUnreadable = 8, // the bench file cannot be read or written
};

} // namespace sim
