// t7sim: shows and changes the simulated bench that libqvd.so works on.
#include "dump/DumpFile.h"
#include "sim/core/Bench.h"
#include "sim/core/BenchStore.h"
#include "sim/core/CardDump.h"
#include "sim/core/Hex.h"
#include "sim/core/ReaderClock.h"
#include "sim/core/ReaderDisplays.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using sim::Bench;
using sim::Card;
using sim::CardKind;
using sim::Reader;

const char *kUsage = R"(Usage: t7sim COMMAND [ARGUMENTS]

Controls the simulated card readers of libqvd.so. The bench lives in
$T7SIM_BENCH, else $XDG_DATA_HOME/T7/simulator/bench.json
(~/.local/share/T7/simulator/bench.json); it is made on first use.

Commands:
  show                                  readers, their cards and peripherals
                                        (beeps since the last show, clock,
                                        LED and LCD as they read now)
  place READER POSITION KIND [--uid HEX] [--number DEC] [--psc HEX]
                                        put a new card there (replaces one)
  remove READER POSITION                take the card away
  import READER POSITION FILE [--format F]
                                        a MIFARE Classic card from a dump file
  export READER POSITION FILE [--format F]
                                        the card's memory as a dump file
  dump READER POSITION                  the card's memory
  timing air|instant                    card commands take their real air time, or none
  reset                                 back to the default bench
  --help                                this text

Readers: usb1, usb2, com1, com3 on the default bench (see show).
Positions: typea typeb iso15693 id125 contact sam1 sam2 sam3.
Kinds (position; identifier):
  s50, s70      MIFARE Classic 1K/4K (typea; --uid of 8 or 14 hex digits)
  cpua          ISO 14443-4 CPU card (typea; --uid of 8 or 14 hex digits)
  mifarepro     Mifare Pro CPU card (typea; --uid of 8 or 14 hex digits)
  typeb         ISO 14443-4 TYPE B CPU card (typeb; --uid: PUPI, 8 hex digits)
  ultralight    MIFARE Ultralight, 16 pages (typea; --uid of 14 hex digits)
  ultralightc   MIFARE Ultralight C, 48 pages, 3DES key (typea; --uid of 14 hex digits)
  iso15693      ISO15693 tag (iso15693; --uid of 16 hex digits)
  mfplus2k, mfplus4k
                MIFARE Plus 2K/4K, level 0 (typea; --uid of 8 or 14 hex digits)
  at88rf020     AT88RF020, password 0000000000000000 (typeb; --uid: 8 hex digits)
  id            125 kHz ID card (id125; --number, a 40-bit decimal number)
  sle4442       SLE4442 memory card (contact; --psc of 6 hex digits)
  sle4428       SLE4428 memory card (contact; --psc of 4 hex digits)
  at24c64       AT24C64 EEPROM card (contact)
  cpu           ISO 7816 CPU card (contact)
  sam           ISO 7816 SAM (sam1, sam2 or sam3)
Without --uid/--number: random. Without --psc: the transport code FF...

Examples:
  t7sim place usb1 typea s50 --uid 04A1B2C3
  t7sim place usb1 id125 id --number 12345678
  t7sim dump usb1 typea
  t7sim place usb1 contact sle4442 --psc 7E25A1
  t7sim place usb1 sam2 sam
  t7sim export usb1 typea card.mct
  t7sim import usb2 typea card.bin

Dump files: by the file's extension or --format mfd/bin (raw, 1024 or 4096
bytes), eml and json (Proxmark3), mct (MIFARE Classic Tool). An import
makes an s50 or s70 by the dump's size with the UID of its block 0; bytes
the dump does not know keep the present card's.
)";

struct UsageError {
    std::string message;
};

std::string protocolName(char p)
{
    switch (p) {
    case 'A':
        return "TYPE A";
    case 'B':
        return "TYPE B";
    case '1':
        return "ISO15693";
    default:
        return std::string("unknown '") + p + "'";
    }
}

std::string hex(const uint8_t *bytes, std::size_t n)
{
    return sim::toHex(std::vector<uint8_t>(bytes, bytes + n));
}

std::string describeMifarePlus(const sim::mfplus::Memory &plus)
{
    std::string text = ", security level " + std::to_string(plus.level);
    if (plus.level == 0) {
        const auto missing = sim::mfplus::missingMandatoryKeys(plus);
        if (missing.empty()) {
            text += " (ready to commit)";
        } else {
            text += " (to write before commit:";
            for (const uint16_t key : missing) {
                char number[8];
                std::snprintf(number, sizeof number, " %04X", key);
                text += number;
            }
            text += ")";
        }
    }
    return text;
}

std::string describeTag(const Card &card)
{
    char text[64];
    std::snprintf(text, sizeof text, ", AFI %02X%s, DSFID %02X%s", card.afi, card.tag.afiLocked ? " (locked)" : "",
                  card.dsfid, card.tag.dsfidLocked ? " (locked)" : "");
    std::string locked;
    for (int b = 0; b < sim::iso15693::kBlocks; ++b)
        if (card.tag.locked[b])
            locked += " " + std::to_string(b);
    return text + std::string(", locked blocks:") + (locked.empty() ? " none" : locked);
}

std::string describeAt88(const sim::at88::Memory &memory)
{
    const sim::at88::Page password = sim::at88::password(memory);
    const bool factory = password == sim::at88::Page{};
    return ", password " + hex(password.data(), password.size()) + (factory ? " (factory)" : " (changed)") +
           ", counter " + std::to_string(sim::at88::counter(memory));
}

std::string describeCard(const Card &card)
{
    std::ostringstream out;
    out << sim::kindName(card.kind);
    if (const auto chip = sim::chipOf(card.kind)) {
        const sim::memory::Layout &layout = sim::memory::layoutOf(*chip);
        if (layout.pscLength > 0)
            out << " PSC " << sim::toHex(card.memory.psc) << ", " << card.memory.attemptsLeft << " of "
                << layout.maxAttempts << " attempts left" << (card.memory.attemptsLeft == 0 ? " (locked)" : "")
                << ", protected " << sim::memory::protectedRanges(card.memory);
        return out.str();
    }
    if (const std::vector<uint8_t> atr = sim::atrOf(card); !atr.empty())
        return out.str() + " ATR " + sim::toHex(atr);
    if (card.kind == CardKind::Id) {
        char text[16];
        std::snprintf(text, sizeof text, "%010u", static_cast<unsigned>(card.number & 0xFFFFFFFFu));
        out << " number " << card.number << " (reads " << text << ")";
    } else {
        out << " UID " << sim::toHex(card.uid);
    }
    if (card.kind == CardKind::S50 || card.kind == CardKind::S70) {
        char text[16];
        std::snprintf(text, sizeof text, " ATQA %04X", sim::mifare::atqa(card.kind == CardKind::S70, card.uid.size()));
        out << text;
    }
    if (sim::isUltralight(card.kind))
        out << " (card number " << sim::ultralight::cardNumber(card.uid) << ")";
    if (sim::isMifarePlus(card.kind))
        out << describeMifarePlus(card.plus);
    if (card.kind == CardKind::Iso15693)
        out << describeTag(card);
    if (card.kind == CardKind::At88rf020)
        out << describeAt88(card.at88);
    return out.str();
}

// Pages, then what the Ultralight C keeps in its configuration pages.
void dumpUltralight(const Card &card)
{
    namespace ul = sim::ultralight;
    for (size_t p = 0; p * ul::kPageSize < card.pages.size(); ++p) {
        char label[8];
        std::snprintf(label, sizeof label, "%02zu: ", p);
        const auto first = card.pages.begin() + static_cast<long>(p * ul::kPageSize);
        std::cout << label << sim::toHex(std::vector<uint8_t>(first, first + ul::kPageSize)) << "\n";
    }
    if (card.kind != CardKind::UltralightC)
        return;
    const ul::Key key = ul::storedKey(card.pages);
    char config[64];
    std::snprintf(config, sizeof config, "counter %u, AUTH0 %02X, AUTH1 %02X", unsigned{ul::counter(card.pages)},
                  card.pages[ul::kAuth0Page * ul::kPageSize], card.pages[ul::kAuth1Page * ul::kPageSize]);
    std::cout << config << "\nkey (as the reader sends it) " << sim::toHex(std::vector<uint8_t>(key.begin(), key.end()))
              << "\n";
}

// "\r" and "\n" spelt out, so a line break shows where it is.
std::string visibleBreaks(const std::string &text)
{
    std::string shown;
    for (const char c : text)
        shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return shown;
}

void showBeeps(const sim::Peripherals &p)
{
    std::cout << "  beeps: " << p.beepCount;
    if (p.beepCount > p.beepsSeen) {
        // Only the newest durations are kept.
        const int fresh = std::min(p.beepCount - p.beepsSeen, static_cast<int>(p.lastBeeps.size()));
        std::cout << ", " << p.beepCount - p.beepsSeen << " since the last look:";
        for (auto it = p.lastBeeps.end() - fresh; it != p.lastBeeps.end(); ++it)
            std::cout << " " << *it * 10 << " ms";
    } else if (p.beepCount > 0) {
        std::cout << ", none since the last look";
    }
    std::cout << "\n";
}

void showClockAndLed(const sim::Peripherals &p, long long now)
{
    const sim::ClockTime clock = sim::readerClockAt(p.clock, p.clockSetAt, now);
    std::cout << "  clock: " << sim::clockText(clock)
              << (p.clock.empty() ? " (never set: the PC's local time)" : " (set to " + p.clock + ", runs on)") << "\n";
    if (p.ledControl == 1) {
        const bool time = p.ledDisplay == 1;
        std::cout << "  LED: \"" << sim::ledClockReading(clock, time) << "\" (clock, " << (time ? "time" : "date")
                  << ")\n";
    } else {
        std::cout << "  LED: \"" << sim::ledReading(p.ledPattern) << "\" (digits "
                  << sim::toHex(std::vector<uint8_t>(p.ledPattern.begin(), p.ledPattern.end())) << ")\n";
    }
}

void showLcd(const sim::Peripherals &p)
{
    std::cout << "  LCD: \"" << visibleBreaks(p.lcdText) << "\" backlight " << p.lcdBacklight
              << (p.lcdBacklight > 0 ? " (on)" : " (off)") << "\n";
    const std::string edge = "    +" + std::string(sim::kLcdColumns, '-') + "+\n";
    std::cout << edge;
    for (const std::string &row : sim::lcdRows(p.lcdText))
        std::cout << "    |" << row << "|\n";
    std::cout << edge;
}

int show(sim::BenchStore &store)
{
    const Bench &bench = store.current();
    const long long now = sim::pcNow();
    std::cout << "bench " << store.path() << (bench.airTiming ? ", air timing" : "") << "\n";
    for (const Reader &r : bench.readers) {
        std::cout << r.name << ": ";
        if (r.usb)
            std::cout << "USB";
        else
            std::cout << "COM" << r.port + 1 << " at " << r.baud << " baud";
        std::cout << ", version \"" << r.version << "\", protocol " << protocolName(r.protocol) << "\n";
        for (const std::string &position : sim::cardPositions()) {
            const auto it = r.cards.find(position);
            if (it != r.cards.end())
                std::cout << "  " << position << ": " << describeCard(it->second) << "\n";
        }
        showBeeps(r.peripherals);
        showClockAndLed(r.peripherals, now);
        showLcd(r.peripherals);
    }
    // The beeps shown now are old news at the next look.
    store.modify([](Bench &changed) {
        bool news = false;
        for (Reader &r : changed.readers) {
            news = news || r.peripherals.beepsSeen != r.peripherals.beepCount;
            r.peripherals.beepsSeen = r.peripherals.beepCount;
        }
        return news;
    });
    return 0;
}

const Reader &requireReader(const Bench &bench, const std::string &name)
{
    const Reader *r = bench.find(name);
    if (!r) {
        std::string known;
        for (const Reader &each : bench.readers)
            known += (known.empty() ? "" : ", ") + each.name;
        throw UsageError{"unknown reader '" + name + "' (readers: " + known + ")"};
    }
    return *r;
}

void requirePosition(const std::string &position)
{
    if (!sim::isPosition(position))
        throw UsageError{"unknown position '" + position +
                         "' (positions: typea typeb iso15693 id125 contact sam1 sam2 sam3)"};
}

std::vector<uint8_t> parseUid(const std::string &text, const std::vector<size_t> &digitCounts)
{
    const auto bytes = sim::fromHex(text);
    bool lengthOk = false;
    for (const size_t n : digitCounts)
        lengthOk = lengthOk || text.size() == n;
    if (!bytes || !lengthOk) {
        std::string counts;
        for (const size_t n : digitCounts)
            counts += (counts.empty() ? "" : " or ") + std::to_string(n);
        throw UsageError{"bad UID '" + text + "': " + counts + " hexadecimal digits expected"};
    }
    return *bytes;
}

uint64_t parseNumber(const std::string &text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 13)
        throw UsageError{"bad number '" + text + "': a decimal number expected"};
    const uint64_t n = std::stoull(text);
    if (n >> 40)
        throw UsageError{"bad number '" + text + "': an ID card number has 40 bits (at most 1099511627775)"};
    return n;
}

struct CardOptions {
    std::optional<std::string> uid;
    std::optional<std::string> number;
    std::optional<std::string> psc;
};

std::vector<uint8_t> parsePsc(CardKind kind, const std::optional<std::string> &text)
{
    const int length = sim::memory::layoutOf(*sim::chipOf(kind)).pscLength;
    if (!text)
        return {};
    if (length == 0)
        throw UsageError{"--psc is for sle4442 and sle4428 cards"};
    const auto bytes = sim::fromHex(*text);
    if (!bytes || static_cast<int>(bytes->size()) != length)
        throw UsageError{"bad PSC '" + *text + "': " + std::to_string(2 * length) + " hexadecimal digits expected"};
    return *bytes;
}

Card newCard(CardKind kind, const CardOptions &options)
{
    const auto &[uid, number, psc] = options;
    if (number && kind != CardKind::Id)
        throw UsageError{"--number is for id cards"};
    if (uid && kind == CardKind::Id)
        throw UsageError{"an id card takes --number, not --uid"};
    const bool contact = sim::positionForKind(kind) == "contact" || kind == CardKind::Sam;
    if (uid && contact)
        throw UsageError{"a contact card has no --uid"};
    if (psc && !sim::chipOf(kind))
        throw UsageError{"--psc is for sle4442 and sle4428 cards"};
    switch (kind) {
    case CardKind::S50:
    case CardKind::S70:
        return sim::makeMifareCard(kind, uid ? parseUid(*uid, {8, 14}) : std::vector<uint8_t>{});
    case CardKind::Id:
        return sim::makeIdCard(number ? std::optional<uint64_t>(parseNumber(*number)) : std::nullopt);
    case CardKind::Iso15693:
        return sim::makeIso15693Card(uid ? parseUid(*uid, {16}) : std::vector<uint8_t>{});
    case CardKind::TypeB:
        return sim::makeTypeBCard(uid ? parseUid(*uid, {8}) : std::vector<uint8_t>{});
    case CardKind::CpuA:
    case CardKind::MifarePro:
        return sim::makeCpuCard(kind, uid ? parseUid(*uid, {8, 14}) : std::vector<uint8_t>{});
    case CardKind::Sle4442:
    case CardKind::Sle4428:
    case CardKind::At24c64:
        return sim::makeMemoryCard(kind, parsePsc(kind, psc));
    case CardKind::ContactCpu:
    case CardKind::Sam:
        return sim::makeContactCpuCard(kind);
    case CardKind::Ultralight:
    case CardKind::UltralightC:
        return sim::makeUltralightCard(kind, uid ? parseUid(*uid, {14}) : std::vector<uint8_t>{});
    case CardKind::MfPlus2K:
    case CardKind::MfPlus4K:
        return sim::makeMifarePlusCard(kind, uid ? parseUid(*uid, {8, 14}) : std::vector<uint8_t>{});
    case CardKind::At88rf020:
        return sim::makeAt88rf020Card(uid ? parseUid(*uid, {8}) : std::vector<uint8_t>{});
    }
    throw UsageError{"unknown kind"};
}

int place(sim::BenchStore &store, const std::vector<std::string> &args)
{
    if (args.size() < 3)
        throw UsageError{"place needs READER POSITION KIND"};
    const std::string &readerName = args[0];
    const std::string &position = args[1];
    requireReader(store.current(), readerName);
    requirePosition(position);
    const auto kind = sim::kindFromName(args[2]);
    if (!kind)
        throw UsageError{"unknown kind '" + args[2] + "' (kinds: " + sim::kindNames() + ")"};
    if (!sim::kindFitsPosition(*kind, position))
        throw UsageError{"a card of kind " + args[2] + " goes in position " + sim::positionForKind(*kind) + ", not " +
                         position};
    CardOptions options;
    for (size_t i = 3; i < args.size(); ++i) {
        std::optional<std::string> *option = args[i] == "--uid"      ? &options.uid
                                             : args[i] == "--number" ? &options.number
                                             : args[i] == "--psc"    ? &options.psc
                                                                     : nullptr;
        if (!option || i + 1 >= args.size())
            throw UsageError{"unexpected argument '" + args[i] + "'"};
        *option = args[++i];
    }
    const Card card = newCard(*kind, options);
    store.modify([&](Bench &bench) {
        Reader *r = bench.find(readerName);
        if (!r)
            throw UsageError{"unknown reader '" + readerName + "'"};
        r->cards[position] = card;
        return true;
    });
    std::cout << readerName << " " << position << ": " << describeCard(card) << "\n";
    return 0;
}

int remove(sim::BenchStore &store, const std::vector<std::string> &args)
{
    if (args.size() != 2)
        throw UsageError{"remove needs READER POSITION"};
    requireReader(store.current(), args[0]);
    requirePosition(args[1]);
    bool removed = false;
    store.modify([&](Bench &bench) {
        Reader *r = bench.find(args[0]);
        removed = r && r->cards.erase(args[1]) > 0;
        return removed;
    });
    if (!removed)
        throw UsageError{"no card in " + args[0] + " " + args[1]};
    return 0;
}

std::string label(int number)
{
    char text[8];
    std::snprintf(text, sizeof text, "%03d: ", number);
    return text;
}

void dumpMifarePlus(const sim::mfplus::Memory &plus)
{
    for (std::size_t b = 0; b < plus.blocks.size(); ++b) {
        const int block = static_cast<int>(b);
        if (block == sim::mifare::firstBlockOfSector(sim::mifare::sectorOfBlock(block)))
            std::cout << "-- sector " << sim::mifare::sectorOfBlock(block) << "\n";
        std::cout << label(block) << hex(plus.blocks[b].data(), 16) << "\n";
    }
    std::cout << "-- perso (keys and configuration written)\n";
    for (const auto &[address, value] : plus.perso) {
        char text[8];
        std::snprintf(text, sizeof text, "%04X: ", address);
        std::cout << text << hex(value.data(), value.size()) << "\n";
    }
}

int dump(sim::BenchStore &store, const std::vector<std::string> &args)
{
    if (args.size() != 2)
        throw UsageError{"dump needs READER POSITION"};
    const Reader &r = requireReader(store.current(), args[0]);
    requirePosition(args[1]);
    const auto it = r.cards.find(args[1]);
    if (it == r.cards.end())
        throw UsageError{"no card in " + args[0] + " " + args[1]};
    const Card &card = it->second;
    std::cout << describeCard(card) << "\n";
    for (size_t b = 0; b < card.blocks.size(); ++b) {
        const int block = static_cast<int>(b);
        if (block == sim::mifare::firstBlockOfSector(sim::mifare::sectorOfBlock(block)))
            std::cout << "-- sector " << sim::mifare::sectorOfBlock(block) << "\n";
        char label[8];
        std::snprintf(label, sizeof label, "%03d: ", block);
        std::cout << label << sim::toHex(std::vector<uint8_t>(card.blocks[b].begin(), card.blocks[b].end())) << "\n";
    }
    if (sim::chipOf(card.kind))
        std::cout << sim::memory::dump(card.memory);
    if (sim::hasApplication(card.kind))
        std::cout << sim::iso7816::describe(card.application);
    if (sim::isUltralight(card.kind))
        dumpUltralight(card);
    if (card.kind == CardKind::Iso15693) {
        char extra[32];
        std::snprintf(extra, sizeof extra, "AFI %02X DSFID %02X", card.afi, card.dsfid);
        std::cout << extra << "\n";
        for (int b = 0; b < sim::iso15693::kBlocks; ++b)
            std::cout << label(b) << hex(card.tag.blocks[b].data(), sim::iso15693::kBlockSize)
                      << (card.tag.locked[b] ? " locked" : "") << "\n";
    }
    if (sim::isMifarePlus(card.kind))
        dumpMifarePlus(card.plus);
    if (card.kind == CardKind::At88rf020)
        for (int p = 0; p < sim::at88::kPages; ++p)
            std::cout << label(p) << hex(card.at88.pages[p].data(), sim::at88::kPageSize)
                      << (p == sim::at88::kPasswordPage ? " password" : "")
                      << (p >= sim::at88::kFirstUserPage && sim::at88::pageLocked(card.at88, p) ? " locked" : "")
                      << "\n";
    return 0;
}

// Dump files: READER POSITION FILE [--format F].
struct DumpArguments {
    std::string reader;
    std::string position;
    std::string file;
    dump::Format format;
};

DumpArguments dumpArguments(const std::string &command, const std::vector<std::string> &args)
{
    const bool formatGiven = args.size() == 5 && args[3] == "--format";
    if (args.size() != 3 && !formatGiven)
        throw UsageError{command + " needs READER POSITION FILE [--format mfd|bin|eml|json|mct]"};
    const auto format = formatGiven ? dump::formatFromName(args[4]) : dump::formatOfPath(args[2]);
    if (!format)
        throw UsageError{formatGiven ? "unknown dump format '" + args[4] + "' (formats: mfd bin eml json mct)"
                                     : "the dump format of '" + args[2] +
                                           "' is not known by its extension: give --format mfd|bin|eml|json|mct"};
    requirePosition(args[1]);
    if (args[1] != sim::positionForKind(CardKind::S50))
        throw UsageError{"dumps hold MIFARE Classic cards, which go in position typea, not " + args[1]};
    return {args[0], args[1], args[2], *format};
}

int importDump(sim::BenchStore &store, const std::vector<std::string> &args)
{
    const DumpArguments a = dumpArguments("import", args);
    const Reader &present = requireReader(store.current(), a.reader);
    const dump::Loaded loaded = dump::loadDumpFile(a.file, a.format);
    if (!loaded.ok())
        throw std::runtime_error(a.file + ": " + loaded.error + "; nothing was changed");
    const auto it = present.cards.find(a.position);
    const Card card = sim::cardFromImage(loaded.image, it == present.cards.end() ? nullptr : &it->second);
    store.modify([&](Bench &bench) {
        Reader *r = bench.find(a.reader);
        if (!r)
            throw UsageError{"unknown reader '" + a.reader + "'"};
        r->cards[a.position] = card;
        return true;
    });
    std::cout << a.reader << " " << a.position << ": " << describeCard(card) << "\n";
    return 0;
}

int exportDump(sim::BenchStore &store, const std::vector<std::string> &args)
{
    const DumpArguments a = dumpArguments("export", args);
    const Reader &r = requireReader(store.current(), a.reader);
    const auto it = r.cards.find(a.position);
    if (it == r.cards.end())
        throw UsageError{"no card in " + a.reader + " " + a.position};
    if (it->second.kind != CardKind::S50 && it->second.kind != CardKind::S70)
        throw UsageError{"the card in " + a.reader + " " + a.position + " is a " + sim::kindName(it->second.kind) +
                         ", not a MIFARE Classic card"};
    const std::string error = dump::saveDumpFile(a.file, sim::imageOfCard(it->second), a.format);
    if (!error.empty())
        throw std::runtime_error(a.file + ": " + error);
    return 0;
}

int run(const std::vector<std::string> &words)
{
    if (words.empty())
        throw UsageError{"no command given"};
    const std::string &command = words[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    sim::BenchStore store(sim::benchPath());
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (command == "show" && args.empty())
        return show(store);
    if (command == "place")
        return place(store, args);
    if (command == "remove")
        return remove(store, args);
    if (command == "import")
        return importDump(store, args);
    if (command == "export")
        return exportDump(store, args);
    if (command == "dump")
        return dump(store, args);
    if (command == "timing" && args.size() == 1 && (args[0] == "air" || args[0] == "instant")) {
        store.modify([&](Bench &bench) {
            bench.airTiming = args[0] == "air";
            return true;
        });
        return 0;
    }
    if (command == "reset" && args.empty()) {
        store.reset();
        return 0;
    }
    throw UsageError{"unknown command '" + command + "'"};
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &e) {
        std::cerr << "t7sim: " << e.message << "\nTry 't7sim --help'.\n";
    } catch (const std::exception &e) {
        std::cerr << "t7sim: " << e.what() << "\n";
    }
    return 1;
}
