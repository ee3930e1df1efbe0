// What an ATR says about the card behind a PC/SC reader. Contactless readers
// make up an ATR (PC/SC Part 3): storage cards carry the PC/SC RID with a
// standard byte and a card name, ISO 14443-4 cards their historical bytes.
#pragma once

#include "pcsc/core/Bytes.h"

#include <cstdint>
#include <string>

namespace pcsc
{

enum class CardFamily {
    Unknown,
    MifareClassic, // 1K, 4K, Mini, Plus in security level 1
    Ultralight,    // Ultralight, Ultralight C, Ultralight EV1
    OtherStorage,  // a Part 3 storage card this library has no commands for
    Iso14443Part4, // contactless CPU card
    Contact,       // a card in a contact slot
};

enum class AirProtocol { None, TypeA, TypeB, Iso15693, Unknown };

struct CardInfo {
    CardFamily family = CardFamily::Unknown;
    AirProtocol protocol = AirProtocol::None;
    uint16_t cardName = 0; // PC/SC Part 3 card name (storage cards)
    std::string name;      // "MIFARE Classic 1K", "ISO 14443-4", "contact card" ...
    int sectors = 0;       // MIFARE Classic: 5, 16 or 40
    bool ultralightC = false;
    Bytes historical; // historical bytes of the ATR
};

CardInfo describeAtr(const Bytes &atr);

// The historical bytes of an ATR (ISO/IEC 7816-3 structure); empty when the
// ATR is malformed.
Bytes historicalBytes(const Bytes &atr);

} // namespace pcsc
