#include "sim/core/Bench.h"

#include "sim/core/Hex.h"

#include <cstdio>
#include <random>
#include <stdexcept>
#include <utility>

namespace sim
{

Reader *Bench::find(const std::string &name)
{
    for (Reader &r : readers)
        if (r.name == name)
            return &r;
    return nullptr;
}

const Reader *Bench::find(const std::string &name) const
{
    return const_cast<Bench *>(this)->find(name);
}

const std::vector<std::string> &cardPositions()
{
    static const std::vector<std::string> positions = {"typea",   "typeb", "iso15693", "id125",
                                                       "contact", "sam1",  "sam2",     "sam3"};
    return positions;
}

bool isPosition(const std::string &name)
{
    for (const std::string &p : cardPositions())
        if (p == name)
            return true;
    return false;
}

namespace
{

struct KindInfo {
    CardKind kind;
    const char *name;
    const char *position; // a card that fits several positions names its first
};

constexpr KindInfo kKinds[] = {
    {CardKind::S50, "s50", "typea"},
    {CardKind::S70, "s70", "typea"},
    {CardKind::Id, "id", "id125"},
    {CardKind::Iso15693, "iso15693", "iso15693"},
    {CardKind::TypeB, "typeb", "typeb"},
    {CardKind::CpuA, "cpua", "typea"},
    {CardKind::MifarePro, "mifarepro", "typea"},
    {CardKind::Sle4442, "sle4442", "contact"},
    {CardKind::Sle4428, "sle4428", "contact"},
    {CardKind::At24c64, "at24c64", "contact"},
    {CardKind::ContactCpu, "cpu", "contact"},
    {CardKind::Sam, "sam", "sam1"},
    {CardKind::Ultralight, "ultralight", "typea"},
    {CardKind::UltralightC, "ultralightc", "typea"},
    {CardKind::MfPlus2K, "mfplus2k", "typea"},
    {CardKind::MfPlus4K, "mfplus4k", "typea"},
    {CardKind::At88rf020, "at88rf020", "typeb"},
};

std::mt19937_64 &randomSource()
{
    static std::mt19937_64 source{std::random_device{}()};
    return source;
}

std::vector<uint8_t> randomBytes(size_t n)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<uint8_t> bytes(n);
    for (uint8_t &b : bytes)
        b = static_cast<uint8_t>(byte(randomSource()));
    return bytes;
}

uint64_t newPlacement()
{
    return std::uniform_int_distribution<uint64_t>(1, UINT64_MAX)(randomSource());
}

std::vector<uint8_t> randomMifareUid()
{
    std::vector<uint8_t> uid = randomBytes(4);
    // 0x88 announces a cascade; a single-size UID never starts with it.
    if (uid[0] == 0x88)
        uid[0] = 0x8A;
    return uid;
}

} // namespace

const char *kindName(CardKind kind)
{
    for (const KindInfo &k : kKinds)
        if (k.kind == kind)
            return k.name;
    return "?";
}

std::optional<CardKind> kindFromName(const std::string &name)
{
    for (const KindInfo &k : kKinds)
        if (name == k.name)
            return k.kind;
    return std::nullopt;
}

std::string kindNames()
{
    std::string names;
    for (const KindInfo &k : kKinds)
        names += (names.empty() ? "" : " ") + std::string(k.name);
    return names;
}

std::string positionForKind(CardKind kind)
{
    for (const KindInfo &k : kKinds)
        if (k.kind == kind)
            return k.position;
    return {};
}

bool kindFitsPosition(CardKind kind, const std::string &position)
{
    if (kind == CardKind::Sam)
        return position == "sam1" || position == "sam2" || position == "sam3";
    return positionForKind(kind) == position;
}

bool hasApplication(CardKind kind)
{
    return kind == CardKind::TypeB || kind == CardKind::CpuA || kind == CardKind::MifarePro ||
           kind == CardKind::ContactCpu || kind == CardKind::Sam;
}

bool isUltralight(CardKind kind)
{
    return kind == CardKind::Ultralight || kind == CardKind::UltralightC;
}

ultralight::Chip ultralightChip(CardKind kind)
{
    return kind == CardKind::UltralightC ? ultralight::Chip::UltralightC : ultralight::Chip::Ultralight;
}

uint16_t atqaOf(const Card &card)
{
    const uint16_t sevenByteUid = card.uid.size() == 7 ? 0x0040 : 0x0000;
    switch (card.kind) {
    case CardKind::S50:
    case CardKind::S70:
        return mifare::atqa(card.kind == CardKind::S70, card.uid.size());
    case CardKind::CpuA:
        return static_cast<uint16_t>(0x0004 | sevenByteUid);
    case CardKind::MifarePro:
        return static_cast<uint16_t>(0x0008 | sevenByteUid);
    case CardKind::Ultralight:
    case CardKind::UltralightC:
        return 0x0044;
    case CardKind::MfPlus2K:
    case CardKind::MfPlus4K:
        return mfplus::atqa(card.kind == CardKind::MfPlus4K, card.uid.size());
    default:
        return 0;
    }
}

uint8_t sakOf(const Card &card)
{
    switch (card.kind) {
    case CardKind::S50:
        return mifare::kSak1K;
    case CardKind::S70:
        return mifare::kSak4K;
    case CardKind::CpuA:
    case CardKind::MifarePro:
        return 0x20; // ISO 14443-4 compliant
    case CardKind::Ultralight:
    case CardKind::UltralightC:
        return 0x00;
    case CardKind::MfPlus2K:
    case CardKind::MfPlus4K:
        return mfplus::sak(card.kind == CardKind::MfPlus4K, card.plus.level);
    default:
        return 0;
    }
}

std::vector<uint8_t> atsOf(const Card &card)
{
    switch (card.kind) {
    case CardKind::CpuA:
        // TL, T0 (TA TB TC follow, FSC 64), TA, TB, TC, one historical byte.
        return {0x06, 0x75, 0x77, 0x81, 0x02, 0x80};
    case CardKind::MifarePro:
        return {0x0B, 0x78, 0x80, 0x70, 0x02, 'M', 'I', 'F', 'P', 'R', 'O'};
    case CardKind::MfPlus2K:
    case CardKind::MfPlus4K:
        // Every level takes RATS: levels 1 and 2 switch up over ISO 14443-4.
        return mfplus::ats();
    default:
        return {};
    }
}

namespace
{

// TS 3B (direct convention), T0 8A (TD1 and ten historical bytes), TD1 80
// (T=0, TD2 follows), TD2 01 (T=1), the historical bytes, then TCK, as a
// card offering both protocols answers.
std::vector<uint8_t> dualProtocolAtr(const char (&historical)[11])
{
    constexpr uint8_t kInterfaceBytes[] = {0x3B, 0x8A, 0x80, 0x01};
    std::vector<uint8_t> atr(sizeof kInterfaceBytes + 10 + 1, 0);
    std::copy(std::begin(kInterfaceBytes), std::end(kInterfaceBytes), atr.begin());
    std::copy(historical, historical + 10, atr.begin() + sizeof kInterfaceBytes);
    for (size_t i = 1; i + 1 < atr.size(); ++i)
        atr.back() = static_cast<uint8_t>(atr.back() ^ atr[i]);
    return atr;
}

} // namespace

std::vector<uint8_t> atrOf(const Card &card)
{
    switch (card.kind) {
    case CardKind::ContactCpu:
        return dualProtocolAtr("T7DEMO CPU");
    case CardKind::Sam:
        return dualProtocolAtr("T7DEMO SAM");
    default:
        return {};
    }
}

std::optional<memory::Chip> chipOf(CardKind kind)
{
    switch (kind) {
    case CardKind::Sle4442:
        return memory::Chip::Sle4442;
    case CardKind::Sle4428:
        return memory::Chip::Sle4428;
    case CardKind::At24c64:
        return memory::Chip::At24c64;
    default:
        return std::nullopt;
    }
}

Card makeMemoryCard(CardKind kind, std::vector<uint8_t> psc)
{
    const auto chip = chipOf(kind);
    if (!chip)
        throw std::invalid_argument("not a memory card kind");
    Card card;
    card.kind = kind;
    card.placement = newPlacement();
    card.memory = memory::factory(*chip, std::move(psc));
    return card;
}

Card makeContactCpuCard(CardKind kind)
{
    if (kind != CardKind::ContactCpu && kind != CardKind::Sam)
        throw std::invalid_argument("not a contact CPU card kind");
    Card card;
    card.kind = kind;
    card.placement = newPlacement();
    card.application = iso7816::defaultApplication(iso7816::defaultAid());
    return card;
}

namespace
{

// A TYPE A card's UID: the one given, or a random 4-byte one.
std::vector<uint8_t> typeAUid(std::vector<uint8_t> uid, const char *refusal)
{
    if (uid.empty())
        uid = randomMifareUid();
    if (uid.size() != 4 && uid.size() != 7)
        throw std::invalid_argument(refusal);
    return uid;
}

} // namespace

Card makeMifareCard(CardKind kind, std::vector<uint8_t> uid)
{
    uid = typeAUid(std::move(uid), "a MIFARE UID has 4 or 7 bytes");
    Card card;
    card.kind = kind;
    card.uid = uid;
    card.placement = newPlacement();
    const bool big = kind == CardKind::S70;
    card.blocks = mifare::factoryMemory(big ? mifare::kBlocks4K : mifare::kBlocks1K, uid,
                                        big ? mifare::kSak4K : mifare::kSak1K, mifare::atqa(big, uid.size()));
    return card;
}

Card makeIdCard(std::optional<uint64_t> number)
{
    Card card;
    card.kind = CardKind::Id;
    card.placement = newPlacement();
    card.number =
        number ? *number : std::uniform_int_distribution<uint64_t>(0, (uint64_t{1} << 40) - 1)(randomSource());
    if (card.number >> 40)
        throw std::invalid_argument("an ID card number has 40 bits");
    return card;
}

Card makeIso15693Card(std::vector<uint8_t> uid)
{
    if (uid.empty()) {
        uid = randomBytes(8);
        uid[0] = 0xE0; // ISO15693 allocation class
        uid[1] = 0x04; // NXP
        uid[2] = 0x01; // I-CODE SLI
    }
    if (uid.size() != 8)
        throw std::invalid_argument("an ISO15693 UID has 8 bytes");
    Card card;
    card.kind = CardKind::Iso15693;
    card.placement = newPlacement();
    card.uid = uid;
    return card;
}

Card makeTypeBCard(std::vector<uint8_t> pupi)
{
    if (pupi.empty())
        pupi = randomBytes(4);
    if (pupi.size() != 4)
        throw std::invalid_argument("a TYPE B identifier has 4 bytes");
    Card card;
    card.kind = CardKind::TypeB;
    card.placement = newPlacement();
    card.uid = pupi;
    card.application = iso7816::defaultApplication(iso7816::defaultAid());
    return card;
}

Card makeCpuCard(CardKind kind, std::vector<uint8_t> uid)
{
    uid = typeAUid(std::move(uid), "a TYPE A UID has 4 or 7 bytes");
    Card card;
    card.kind = kind;
    card.uid = uid;
    card.placement = newPlacement();
    card.application = iso7816::defaultApplication(iso7816::defaultAid());
    return card;
}

Card makeUltralightCard(CardKind kind, std::vector<uint8_t> uid)
{
    if (uid.empty()) {
        uid = randomBytes(7);
        uid[0] = 0x04; // NXP
    }
    if (uid.size() != 7)
        throw std::invalid_argument("an Ultralight UID has 7 bytes");
    Card card;
    card.kind = kind;
    card.uid = uid;
    card.placement = newPlacement();
    card.pages = ultralight::factoryMemory(ultralightChip(kind), uid);
    return card;
}

bool isMifarePlus(CardKind kind)
{
    return kind == CardKind::MfPlus2K || kind == CardKind::MfPlus4K;
}

Card makeMifarePlusCard(CardKind kind, std::vector<uint8_t> uid)
{
    if (uid.empty())
        uid = randomMifareUid();
    if (uid.size() != 4 && uid.size() != 7)
        throw std::invalid_argument("a MIFARE Plus UID has 4 or 7 bytes");
    Card card;
    card.kind = kind;
    card.uid = uid;
    card.placement = newPlacement();
    card.plus = mfplus::factoryMemory(kind == CardKind::MfPlus4K, uid);
    return card;
}

Card makeAt88rf020Card(std::vector<uint8_t> pupi)
{
    if (pupi.empty())
        pupi = randomBytes(4);
    if (pupi.size() != 4)
        throw std::invalid_argument("an AT88RF020 identifier has 4 bytes");
    Card card;
    card.kind = CardKind::At88rf020;
    card.placement = newPlacement();
    card.uid = pupi;
    card.at88 = at88::factoryMemory(pupi);
    return card;
}

namespace
{

Reader makeReader(const std::string &name, int port, int baud, const std::string &version)
{
    Reader r;
    r.name = name;
    r.usb = port == 100;
    r.port = port;
    r.baud = baud;
    r.version = version;
    for (auto &set : r.keys)
        for (auto &type : set)
            for (auto &row : type)
                row.fill(0xFF);
    return r;
}

} // namespace

Bench defaultBench()
{
    Bench bench;
    Reader usb1 = makeReader("usb1", 100, 0, "T7-U1 V3.2 KORVANE");
    usb1.cards["typea"] = makeMifareCard(CardKind::S50, {0x5A, 0x3C, 0x91, 0x0E});
    usb1.cards["id125"] = makeIdCard(uint64_t{0x1A00BC614E});
    // An SLE4442 whose PSC was set to the one the tool offers first.
    usb1.cards["contact"] = makeMemoryCard(CardKind::Sle4442, {0x7E, 0x25, 0xA1});
    Reader usb2 = makeReader("usb2", 100, 0, "T6-U2 V2.8 KORVANE");
    usb2.cards["typea"] = makeMifareCard(CardKind::S70, {0xC4, 0x7B, 0x20, 0x93});
    usb2.cards["contact"] = makeContactCpuCard(CardKind::ContactCpu);
    usb2.cards["sam1"] = makeContactCpuCard(CardKind::Sam);
    bench.readers.push_back(std::move(usb1));
    bench.readers.push_back(std::move(usb2));
    bench.readers.push_back(makeReader("com1", 0, 115200, "T7-S1 V3.2 KORVANE"));
    bench.readers.push_back(makeReader("com3", 2, 9600, "T5S-D V1.4 KORVANE"));
    return bench;
}

// ---- JSON ----

namespace
{

using json = nlohmann::ordered_json;

std::string protocolText(char p)
{
    return std::string(1, p);
}

// Fixed-size byte rows (blocks, pages) as hex strings, one per row.
template <std::size_t N> json rowsToJson(const std::vector<std::array<uint8_t, N>> &rows)
{
    json list = json::array();
    for (const auto &row : rows)
        list.push_back(toHex(std::vector<uint8_t>(row.begin(), row.end())));
    return list;
}

template <std::size_t N> std::vector<std::array<uint8_t, N>> rowsFromJson(const json &list, std::size_t count)
{
    if (list.size() != count)
        throw std::runtime_error("wrong number of blocks");
    std::vector<std::array<uint8_t, N>> rows;
    for (const json &item : list) {
        const auto bytes = fromHex(item.get<std::string>());
        if (!bytes || bytes->size() != N)
            throw std::runtime_error("a block or page of the wrong size");
        std::array<uint8_t, N> row;
        std::copy(bytes->begin(), bytes->end(), row.begin());
        rows.push_back(row);
    }
    return rows;
}

void mifarePlusToJson(const mfplus::Memory &plus, json &j)
{
    j["level"] = plus.level;
    j["blocks"] = rowsToJson(plus.blocks);
    json perso = json::object();
    for (const auto &[address, value] : plus.perso) {
        char key[8];
        std::snprintf(key, sizeof key, "%04X", address);
        perso[key] = toHex(std::vector<uint8_t>(value.begin(), value.end()));
    }
    j["perso"] = perso;
}

mfplus::Memory mifarePlusFromJson(const json &j, bool fourK)
{
    mfplus::Memory plus;
    plus.level = j.at("level").get<int>();
    if (plus.level < 0 || plus.level > 3)
        throw std::runtime_error("a MIFARE Plus security level is 0 to 3");
    plus.blocks = rowsFromJson<16>(j.at("blocks"), fourK ? mfplus::kBlocks4K : mfplus::kBlocks2K);
    const json perso = j.value("perso", json::object());
    for (const auto &[address, value] : perso.items()) {
        const auto number = fromHex(address);
        const auto bytes = fromHex(value.get<std::string>());
        if (!number || number->size() != 2 || !bytes || bytes->size() != 16)
            throw std::runtime_error("a perso entry is a 4-digit address and 32 hexadecimal digits");
        mfplus::Block block;
        std::copy(bytes->begin(), bytes->end(), block.begin());
        plus.perso[static_cast<uint16_t>((*number)[0] << 8 | (*number)[1])] = block;
    }
    return plus;
}

void tagToJson(const Card &c, json &j)
{
    j["blocks"] = rowsToJson(c.tag.blocks);
    json locked = json::array();
    for (int b = 0; b < iso15693::kBlocks; ++b)
        if (c.tag.locked[b])
            locked.push_back(b);
    j["lockedBlocks"] = locked;
    j["afiLocked"] = c.tag.afiLocked;
    j["dsfidLocked"] = c.tag.dsfidLocked;
}

// Older bench files know only the UID, AFI and DSFID of a tag.
iso15693::Memory tagFromJson(const json &j)
{
    iso15693::Memory tag;
    if (j.contains("blocks"))
        tag.blocks = rowsFromJson<iso15693::kBlockSize>(j.at("blocks"), iso15693::kBlocks);
    for (const json &b : j.value("lockedBlocks", json::array())) {
        const int block = b.get<int>();
        if (block < 0 || block >= iso15693::kBlocks)
            throw std::runtime_error("a locked block outside the tag");
        tag.locked[block] = true;
    }
    tag.afiLocked = j.value("afiLocked", false);
    tag.dsfidLocked = j.value("dsfidLocked", false);
    return tag;
}

json cardToJson(const Card &c)
{
    json j;
    j["kind"] = kindName(c.kind);
    j["placement"] = c.placement;
    switch (c.kind) {
    case CardKind::S50:
    case CardKind::S70: {
        j["uid"] = toHex(c.uid);
        json blocks = json::array();
        for (const mifare::Block &b : c.blocks)
            blocks.push_back(toHex(std::vector<uint8_t>(b.begin(), b.end())));
        j["blocks"] = blocks;
        break;
    }
    case CardKind::Id:
        j["number"] = c.number;
        break;
    case CardKind::Iso15693:
        j["uid"] = toHex(c.uid);
        j["afi"] = c.afi;
        j["dsfid"] = c.dsfid;
        tagToJson(c, j);
        break;
    case CardKind::MfPlus2K:
    case CardKind::MfPlus4K:
        j["uid"] = toHex(c.uid);
        mifarePlusToJson(c.plus, j);
        break;
    case CardKind::At88rf020:
        j["uid"] = toHex(c.uid);
        j["pages"] = rowsToJson(c.at88.pages);
        break;
    case CardKind::TypeB:
    case CardKind::CpuA:
    case CardKind::MifarePro:
        j["uid"] = toHex(c.uid);
        break;
    case CardKind::Sle4442:
    case CardKind::Sle4428:
    case CardKind::At24c64:
        j["memory"] = memory::toJson(c.memory);
        break;
    case CardKind::ContactCpu:
    case CardKind::Sam:
        break;
    case CardKind::Ultralight:
    case CardKind::UltralightC: {
        j["uid"] = toHex(c.uid);
        json pages = json::array();
        for (size_t p = 0; p + ultralight::kPageSize <= c.pages.size(); p += ultralight::kPageSize)
            pages.push_back(toHex(std::vector<uint8_t>(c.pages.begin() + p, c.pages.begin() + p + 4)));
        j["pages"] = pages;
        break;
    }
    }
    if (hasApplication(c.kind))
        j["application"] = iso7816::toJson(c.application);
    return j;
}

std::vector<uint8_t> hexField(const json &j, const char *key)
{
    const auto bytes = fromHex(j.at(key).get<std::string>());
    if (!bytes)
        throw std::runtime_error(std::string("not hexadecimal: ") + key);
    return *bytes;
}

Card cardFromJson(const json &j)
{
    const auto kind = kindFromName(j.at("kind").get<std::string>());
    if (!kind)
        throw std::runtime_error("unknown card kind " + j.at("kind").get<std::string>());
    Card c;
    c.kind = *kind;
    c.placement = j.value("placement", uint64_t{0});
    switch (c.kind) {
    case CardKind::S50:
    case CardKind::S70: {
        c.uid = hexField(j, "uid");
        const size_t expected = c.kind == CardKind::S70 ? mifare::kBlocks4K : mifare::kBlocks1K;
        const json &blocks = j.at("blocks");
        if (blocks.size() != expected)
            throw std::runtime_error("wrong number of blocks");
        for (const json &b : blocks) {
            const auto bytes = fromHex(b.get<std::string>());
            if (!bytes || bytes->size() != 16)
                throw std::runtime_error("a block is not 32 hexadecimal digits");
            mifare::Block block;
            std::copy(bytes->begin(), bytes->end(), block.begin());
            c.blocks.push_back(block);
        }
        break;
    }
    case CardKind::Id:
        c.number = j.at("number").get<uint64_t>();
        break;
    case CardKind::Iso15693:
        c.uid = hexField(j, "uid");
        c.afi = j.value("afi", uint8_t{0});
        c.dsfid = j.value("dsfid", uint8_t{0});
        if (c.uid.size() != 8)
            throw std::runtime_error("an ISO15693 UID has 8 bytes");
        c.tag = tagFromJson(j);
        break;
    case CardKind::MfPlus2K:
    case CardKind::MfPlus4K:
        c.uid = hexField(j, "uid");
        if (c.uid.size() != 4 && c.uid.size() != 7)
            throw std::runtime_error("a MIFARE Plus UID has 4 or 7 bytes");
        c.plus = mifarePlusFromJson(j, c.kind == CardKind::MfPlus4K);
        break;
    case CardKind::At88rf020:
        c.uid = hexField(j, "uid");
        if (c.uid.size() != 4)
            throw std::runtime_error("an AT88RF020 identifier has 4 bytes");
        c.at88.pages = rowsFromJson<at88::kPageSize>(j.at("pages"), at88::kPages);
        break;
    case CardKind::TypeB:
        c.uid = hexField(j, "uid");
        if (c.uid.size() != 4)
            throw std::runtime_error("a TYPE B identifier has 4 bytes");
        break;
    case CardKind::CpuA:
    case CardKind::MifarePro:
        c.uid = hexField(j, "uid");
        if (c.uid.size() != 4 && c.uid.size() != 7)
            throw std::runtime_error("a TYPE A UID has 4 or 7 bytes");
        break;
    case CardKind::Sle4442:
    case CardKind::Sle4428:
    case CardKind::At24c64:
        c.memory = memory::memoryFromJson(*chipOf(c.kind), j.at("memory"));
        break;
    case CardKind::ContactCpu:
    case CardKind::Sam:
        break;
    case CardKind::Ultralight:
    case CardKind::UltralightC: {
        c.uid = hexField(j, "uid");
        if (c.uid.size() != 7)
            throw std::runtime_error("an Ultralight UID has 7 bytes");
        const json &pages = j.at("pages");
        if (static_cast<int>(pages.size()) != ultralight::pageCount(ultralightChip(c.kind)))
            throw std::runtime_error("wrong number of pages");
        for (const json &p : pages) {
            const auto bytes = fromHex(p.get<std::string>());
            if (!bytes || bytes->size() != ultralight::kPageSize)
                throw std::runtime_error("a page is not 8 hexadecimal digits");
            c.pages.insert(c.pages.end(), bytes->begin(), bytes->end());
        }
        break;
    }
    }
    if (hasApplication(c.kind))
        c.application = j.contains("application") ? iso7816::applicationFromJson(j.at("application"))
                                                  : iso7816::defaultApplication(iso7816::defaultAid());
    return c;
}

json keysToJson(const KeyStore &keys)
{
    json sets = json::array();
    for (const auto &set : keys) {
        json j;
        for (int type = 0; type < 2; ++type) {
            json rows = json::array();
            for (const auto &row : set[static_cast<size_t>(type)])
                rows.push_back(toHex(std::vector<uint8_t>(row.begin(), row.end())));
            j[type == 0 ? "A" : "B"] = rows;
        }
        sets.push_back(j);
    }
    return sets;
}

KeyStore keysFromJson(const json &sets)
{
    KeyStore keys{};
    if (sets.size() != keys.size())
        throw std::runtime_error("the key store has three key sets");
    for (size_t s = 0; s < keys.size(); ++s)
        for (int type = 0; type < 2; ++type) {
            const json &rows = sets[s].at(type == 0 ? "A" : "B");
            if (rows.size() != 16)
                throw std::runtime_error("a key set has 16 rows");
            for (size_t r = 0; r < 16; ++r) {
                const auto key = fromHex(rows[r].get<std::string>());
                if (!key || key->size() != 6)
                    throw std::runtime_error("a key is 12 hexadecimal digits");
                std::copy(key->begin(), key->end(), keys[s][static_cast<size_t>(type)][r].begin());
            }
        }
    return keys;
}

json peripheralsToJson(const Peripherals &p)
{
    return json{{"beepCount", p.beepCount},
                {"beepsSeen", p.beepsSeen},
                {"lastBeeps", p.lastBeeps},
                {"ledControl", p.ledControl},
                {"ledDisplay", p.ledDisplay},
                {"ledPattern", toHex(std::vector<uint8_t>(p.ledPattern.begin(), p.ledPattern.end()))},
                {"clock", p.clock},
                {"clockSetAt", p.clockSetAt},
                {"lcdText", p.lcdText},
                {"lcdBacklight", p.lcdBacklight},
                {"eeprom", toHex(p.eeprom)}};
}

Peripherals peripheralsFromJson(const json &j)
{
    Peripherals p;
    p.beepCount = j.value("beepCount", 0);
    p.beepsSeen = j.value("beepsSeen", p.beepCount);
    p.lastBeeps = j.value("lastBeeps", std::vector<int>{});
    p.ledControl = j.value("ledControl", 1);
    p.ledDisplay = j.value("ledDisplay", 1);
    if (j.contains("ledPattern")) {
        const std::vector<uint8_t> pattern = hexField(j, "ledPattern");
        if (pattern.size() != p.ledPattern.size())
            throw std::runtime_error("the LED pattern is 16 hexadecimal digits");
        std::copy(pattern.begin(), pattern.end(), p.ledPattern.begin());
    }
    p.clock = j.value("clock", std::string{});
    p.clockSetAt = j.value("clockSetAt", 0LL);
    p.lcdText = j.value("lcdText", std::string{});
    p.lcdBacklight = j.value("lcdBacklight", 0);
    if (j.contains("eeprom")) {
        // A bench from a smaller note memory keeps its bytes, the rest blank.
        p.eeprom = hexField(j, "eeprom");
        p.eeprom.resize(Peripherals::kEepromSize, 0);
    }
    return p;
}

} // namespace

json toJson(const Bench &bench)
{
    json readers = json::array();
    for (const Reader &r : bench.readers) {
        json j;
        j["name"] = r.name;
        j["link"] = r.usb ? "usb" : "serial";
        if (!r.usb) {
            j["port"] = r.port;
            j["baud"] = r.baud;
        }
        j["version"] = r.version;
        j["protocol"] = protocolText(r.protocol);
        json cards = json::object();
        for (const auto &[position, card] : r.cards)
            cards[position] = cardToJson(card);
        j["cards"] = cards;
        j["peripherals"] = peripheralsToJson(r.peripherals);
        j["keys"] = keysToJson(r.keys);
        readers.push_back(j);
    }
    json j{{"format", 1}, {"readers", readers}};
    if (bench.airTiming)
        j["timing"] = "air";
    return j;
}

Bench benchFromJson(const nlohmann::ordered_json &json)
{
    Bench bench;
    const std::string timing = json.value("timing", std::string("instant"));
    if (timing != "instant" && timing != "air")
        throw std::runtime_error("timing is instant or air");
    bench.airTiming = timing == "air";
    for (const auto &j : json.at("readers")) {
        Reader r;
        r.name = j.at("name").get<std::string>();
        r.usb = j.at("link").get<std::string>() == "usb";
        r.port = r.usb ? 100 : j.at("port").get<int>();
        r.baud = r.usb ? 0 : j.at("baud").get<int>();
        r.version = j.at("version").get<std::string>();
        const std::string protocol = j.value("protocol", std::string("A"));
        r.protocol = protocol.empty() ? 'A' : protocol[0];
        for (const auto &[position, card] : j.at("cards").items()) {
            if (!isPosition(position))
                throw std::runtime_error("unknown card position " + position);
            r.cards[position] = cardFromJson(card);
        }
        r.peripherals = peripheralsFromJson(j.value("peripherals", nlohmann::ordered_json::object()));
        r.keys = keysFromJson(j.at("keys"));
        bench.readers.push_back(std::move(r));
    }
    return bench;
}

} // namespace sim
