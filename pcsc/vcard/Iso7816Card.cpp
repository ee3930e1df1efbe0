#include "pcsc/vcard/Iso7816Card.h"

#include <algorithm>

namespace vcard
{
namespace
{

Bytes status(uint16_t sw, Bytes data = {})
{
    return withStatus(std::move(data), sw);
}

size_t offsetOf(const Bytes &apdu)
{
    return size_t(apdu[2] & 0x7F) << 8 | apdu[3];
}

} // namespace

Iso7816Card::Iso7816Card() : file_(kFileSize, 0) {}

// T=1 (IFSC 254), historical bytes "T7VCARD1".
Bytes Iso7816Card::atr() const
{
    return withCheckByte({0x3B, 0x88, 0x81, 0x31, 0xFE, 0x45, 'T', '7', 'V', 'C', 'A', 'R', 'D', '1'});
}

void Iso7816Card::powerCycle()
{
    fileSelected_ = false;
}

Bytes Iso7816Card::process(const Bytes &apdu)
{
    if (apdu.size() < 4)
        return status(0x6700);
    if (apdu[0] != 0x00)
        return status(0x6E00);
    switch (apdu[1]) {
    case 0xA4:
        return select(apdu);
    case 0xB0:
        return readBinary(apdu);
    case 0xD6:
        return updateBinary(apdu);
    default:
        return status(0x6D00);
    }
}

Bytes Iso7816Card::select(const Bytes &apdu)
{
    if (apdu.size() < 7 || apdu[4] != 2)
        return status(0x6700);
    // Only by file identifier; no application has a name here.
    if (apdu[2] != 0x00)
        return status(apdu[2] == 0x04 ? 0x6A82 : 0x6A86);
    const uint16_t fid = static_cast<uint16_t>(apdu[5] << 8 | apdu[6]);
    if (fid == 0x3F00) {
        fileSelected_ = false;
        return status(0x9000);
    }
    if (fid == 0x0001) {
        fileSelected_ = true;
        return status(0x9000);
    }
    return status(0x6A82);
}

Bytes Iso7816Card::readBinary(const Bytes &apdu) const
{
    if (!fileSelected_)
        return status(0x6986);
    if (apdu.size() != 5)
        return status(0x6700);
    const size_t offset = offsetOf(apdu);
    if (offset >= file_.size())
        return status(0x6B00);
    const size_t wanted = apdu[4] == 0 ? 256 : apdu[4];
    const size_t n = std::min(wanted, file_.size() - offset);
    Bytes data(file_.begin() + static_cast<long>(offset), file_.begin() + static_cast<long>(offset + n));
    // Fewer bytes than asked: end of file reached.
    return status(n < wanted && apdu[4] != 0 ? 0x6282 : 0x9000, data);
}

Bytes Iso7816Card::updateBinary(const Bytes &apdu)
{
    if (!fileSelected_)
        return status(0x6986);
    if (apdu.size() < 6 || apdu.size() != 5u + apdu[4])
        return status(0x6700);
    const size_t offset = offsetOf(apdu);
    if (offset + apdu[4] > file_.size())
        return status(0x6B00);
    std::copy(apdu.begin() + 5, apdu.end(), file_.begin() + static_cast<long>(offset));
    return status(0x9000);
}

} // namespace vcard
