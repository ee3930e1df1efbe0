#include "pcsc/core/Atr.h"

#include <array>

namespace pcsc
{
namespace
{

// RID of PC/SC in the made-up ATR of storage cards.
constexpr std::array<uint8_t, 5> kPcscRid = {0xA0, 0x00, 0x00, 0x03, 0x06};

struct KnownCard {
    uint16_t code;
    const char *name;
    CardFamily family;
    int sectors;
};

// Card names of PC/SC Part 3 (supplementary document), the ones in use.
constexpr KnownCard kKnownCards[] = {
    {0x0001, "MIFARE Classic 1K", CardFamily::MifareClassic, 16},
    {0x0002, "MIFARE Classic 4K", CardFamily::MifareClassic, 40},
    {0x0003, "MIFARE Ultralight", CardFamily::Ultralight, 0},
    {0x0026, "MIFARE Mini", CardFamily::MifareClassic, 5},
    {0x0036, "MIFARE Plus 2K (SL1)", CardFamily::MifareClassic, 32},
    {0x0037, "MIFARE Plus 4K (SL1)", CardFamily::MifareClassic, 40},
    {0x003A, "MIFARE Ultralight C", CardFamily::Ultralight, 0},
    {0x003D, "MIFARE Ultralight EV1", CardFamily::Ultralight, 0},
    {0x0008, "AT88RF020", CardFamily::OtherStorage, 0},
    {0x0014, "I-CODE SLI", CardFamily::OtherStorage, 0},
    {0x002F, "Jewel", CardFamily::OtherStorage, 0},
    {0x0030, "Topaz", CardFamily::OtherStorage, 0},
    {0x003B, "FeliCa", CardFamily::OtherStorage, 0},
};

AirProtocol protocolOfStandard(uint8_t standard)
{
    if (standard >= 0x01 && standard <= 0x04)
        return AirProtocol::TypeA;
    if (standard >= 0x05 && standard <= 0x08)
        return AirProtocol::TypeB;
    if (standard >= 0x09 && standard <= 0x0C)
        return AirProtocol::Iso15693;
    return AirProtocol::Unknown;
}

// 3B 8n 80 01: the interface bytes every PC/SC contactless reader makes up.
bool madeUpByContactlessReader(const Bytes &atr)
{
    return atr.size() >= 5 && atr[0] == 0x3B && (atr[1] & 0xF0) == 0x80 && atr[2] == 0x80 && atr[3] == 0x01;
}

} // namespace

Bytes historicalBytes(const Bytes &atr)
{
    if (atr.size() < 2 || (atr[0] != 0x3B && atr[0] != 0x3F))
        return {};
    const size_t count = atr[1] & 0x0F;
    size_t pos = 2;
    uint8_t y = atr[1] >> 4;
    // Walk the interface bytes: each Y says which of TA TB TC TD follow; TD,
    // the last of them, carries the next Y.
    for (;;) {
        const size_t present = ((y & 1) != 0) + ((y & 2) != 0) + ((y & 4) != 0) + ((y & 8) != 0);
        if (pos + present > atr.size())
            return {};
        pos += present;
        if ((y & 8) == 0)
            break;
        y = atr[pos - 1] >> 4;
    }
    if (pos + count > atr.size())
        return {};
    return Bytes(atr.begin() + static_cast<long>(pos), atr.begin() + static_cast<long>(pos + count));
}

CardInfo describeAtr(const Bytes &atr)
{
    CardInfo info;
    info.historical = historicalBytes(atr);
    if (!madeUpByContactlessReader(atr)) {
        if (!atr.empty()) {
            info.family = CardFamily::Contact;
            info.name = "contact card";
        }
        return info;
    }
    const Bytes &h = info.historical;
    // 80 4F 0C RID SS NN NN 00 00 00 00: a storage card.
    const bool storage = h.size() >= 15 && h[0] == 0x80 && h[1] == 0x4F && h[2] == 0x0C &&
                         std::equal(kPcscRid.begin(), kPcscRid.end(), h.begin() + 3);
    if (!storage) {
        info.family = CardFamily::Iso14443Part4;
        info.protocol = AirProtocol::Unknown;
        info.name = "ISO 14443-4";
        return info;
    }
    info.protocol = protocolOfStandard(h[8]);
    info.cardName = static_cast<uint16_t>(h[9] << 8 | h[10]);
    info.family = CardFamily::OtherStorage;
    info.name = "storage card";
    for (const KnownCard &known : kKnownCards) {
        if (known.code == info.cardName) {
            info.family = known.family;
            info.name = known.name;
            info.sectors = known.sectors;
            info.ultralightC = known.code == 0x003A;
        }
    }
    return info;
}

} // namespace pcsc
