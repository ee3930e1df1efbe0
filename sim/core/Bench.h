// The persistent part of the simulated bench: readers, their settings,
// key stores, peripherals and the cards in their positions.
#pragma once

#include "sim/core/At88rf020.h"
#include "sim/core/Iso15693Tag.h"
#include "sim/core/Iso7816Card.h"
#include "sim/core/MemoryChip.h"
#include "sim/core/MifareClassic.h"
#include "sim/core/MifarePlus.h"
#include "sim/core/Ultralight.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim
{

enum class CardKind {
    S50,
    S70,
    Id,
    Iso15693,
    TypeB,     // ISO 14443-4 TYPE B CPU card
    CpuA,      // ISO 14443-4 TYPE A CPU card
    MifarePro, // Mifare Pro (TYPE A CPU card behind its own entry points)
    // Contact slot and SAM sockets
    Sle4442,
    Sle4428,
    At24c64,
    ContactCpu, // ISO 7816 CPU card in the contact slot
    Sam,        // ISO 7816 SAM in SAM1-SAM3
    Ultralight,
    UltralightC,
    MfPlus2K,  // MIFARE Plus 2K (security levels 0-3)
    MfPlus4K,  // MIFARE Plus 4K
    At88rf020, // AT88RF020 TYPE B memory card
};

struct Card {
    CardKind kind = CardKind::S50;
    std::vector<uint8_t> uid;          // MIFARE 4/7 bytes, ISO15693 8 (MSB first), TYPE B PUPI 4
    std::vector<mifare::Block> blocks; // MIFARE memory
    uint64_t number = 0;               // 125 kHz ID, 40 bits
    uint8_t afi = 0;                   // ISO15693
    uint8_t dsfid = 0;                 // ISO15693
    iso7816::Application application;  // CPU cards: files and PIN
    mfplus::Memory plus;               // MIFARE Plus: level, blocks, keys
    iso15693::Memory tag;              // ISO15693: blocks and locks
    at88::Memory at88;                 // AT88RF020: pages
    memory::Memory memory;             // SLE4442, SLE4428, AT24C64
    std::vector<uint8_t> pages;        // Ultralight (C): 4 bytes per page, key pages included
    // Differs for every placing, so a card put back is a fresh card to the reader.
    uint64_t placement = 0;
};

struct Peripherals {
    int beepCount = 0;
    int beepsSeen = 0;          // beepCount at the last look (t7sim show)
    std::vector<int> lastBeeps; // durations, newest last, at most kBeepLog
    int ledControl = 1;         // rz_ctl_mode: 1 the clock, 0 the digit patterns
    int ledDisplay = 1;         // rz_disp_mode: 1 time, 0 date (clock only)
    std::array<uint8_t, 8> ledPattern{};
    // The reader clock: the time it was set to ("YYYY-MM-DD HH:MM:SS") and
    // the PC time (seconds since the epoch) when that was; it runs on from
    // there. Never set: it keeps the PC's local time, as set at the factory.
    std::string clock;
    long long clockSetAt = 0;
    std::string lcdText;
    int lcdBacklight = 0;
    std::vector<uint8_t> eeprom = std::vector<uint8_t>(kEepromSize, 0);
    static constexpr size_t kBeepLog = 10;
    static constexpr size_t kEepromSize = 1280;
};

// Key store: set 0..2, key A (0) / key B (1), row 0..15.
using KeyStore = std::array<std::array<std::array<std::array<uint8_t, 6>, 16>, 2>, 3>;

struct Reader {
    std::string name; // usb1, com1 ...
    bool usb = true;
    int port = 100; // 100 for USB, 0..5 for COM1..COM6
    int baud = 0;   // the serial rate it answers at
    std::string version;
    char protocol = 'A'; // 'A', 'B' or '1'
    KeyStore keys{};
    Peripherals peripherals;
    std::map<std::string, Card> cards; // by position
};

struct Bench {
    std::vector<Reader> readers;
    // Card commands take their real air-interface time (sim/core/AirTiming.h).
    bool airTiming = false;

    Reader *find(const std::string &name);
    const Reader *find(const std::string &name) const;
};

// Positions a reader offers for cards.
const std::vector<std::string> &cardPositions();
bool isPosition(const std::string &name);

const char *kindName(CardKind kind);
std::optional<CardKind> kindFromName(const std::string &name);
// Every kind's name, for usage texts.
std::string kindNames();
// The position a kind of card is placed in (the first, when it fits several).
std::string positionForKind(CardKind kind);
bool kindFitsPosition(CardKind kind, const std::string &position);
// Whether the card runs the ISO 7816-4 application.
bool hasApplication(CardKind kind);
bool isUltralight(CardKind kind);
ultralight::Chip ultralightChip(CardKind kind);

// What a TYPE A card answers during activation, and (ISO 14443-4 cards) its
// answer to select; empty when the card does not speak ISO 14443-4.
uint16_t atqaOf(const Card &card);
uint8_t sakOf(const Card &card);
std::vector<uint8_t> atsOf(const Card &card);
// What a contact CPU card or SAM answers its reset with; empty for other kinds.
std::vector<uint8_t> atrOf(const Card &card);
// The memory chip of a contact memory card kind.
std::optional<memory::Chip> chipOf(CardKind kind);

// Fresh cards: factory content; an empty UID means a random one.
Card makeMifareCard(CardKind kind, std::vector<uint8_t> uid);
Card makeIdCard(std::optional<uint64_t> number);
Card makeIso15693Card(std::vector<uint8_t> uid);
Card makeTypeBCard(std::vector<uint8_t> pupi);
// A TYPE A CPU card (CpuA, MifarePro) with the default application.
Card makeCpuCard(CardKind kind, std::vector<uint8_t> uid);
// A contact memory card (an empty psc: the transport code FF..) or a contact
// CPU card / SAM with the default application.
Card makeMemoryCard(CardKind kind, std::vector<uint8_t> psc);
Card makeContactCpuCard(CardKind kind);
// An Ultralight or Ultralight C, 7-byte UID (random, NXP's 04 first, when empty).
Card makeUltralightCard(CardKind kind, std::vector<uint8_t> uid);
// A MIFARE Plus (MfPlus2K, MfPlus4K) fresh from the factory: level 0.
Card makeMifarePlusCard(CardKind kind, std::vector<uint8_t> uid);
bool isMifarePlus(CardKind kind);
// An AT88RF020 with the factory password 00 00 00 00 00 00 00 00.
Card makeAt88rf020Card(std::vector<uint8_t> pupi);

Bench defaultBench();

nlohmann::ordered_json toJson(const Bench &bench);
// Throws nlohmann::json::exception or std::runtime_error on a malformed file.
Bench benchFromJson(const nlohmann::ordered_json &json);

} // namespace sim
