// Results of libqvd-pcsc.so. 0 is success; the tool only tells zero from
// non-zero. Codes 1-7 mean what they mean in the simulated library.
#pragma once

namespace pcsc
{

enum Result : int {
    kOk = 0,
    kNoCard = 1,          // no card, a card of another kind or protocol, or the card was taken away
    kAuthFailed = 2,      // authentication refused, or the block's sector is not the authenticated one
    kRefused = 3,         // the card refused the operation (access conditions, protected memory)
    kBadArgument = 4,     // argument out of range: block, sector, key mode, length, hex text
    kNotValue = 5,        // not a value block, overflow, or nothing to transfer
    kBadHandle = 6,       // unknown handle
    kNotSupported = 7,    // this reader or card cannot do it over PC/SC
    kNoService = 9,       // the PC/SC service (pcscd) cannot be reached, or the reader is gone
    kTransmitFailed = 10, // the reader gave no usable answer
};

constexpr int kNoReader = -1; // rz_init: no (further) reader

} // namespace pcsc
