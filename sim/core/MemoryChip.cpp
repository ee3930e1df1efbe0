#include "sim/core/MemoryChip.h"

#include "sim/core/Errors.h"
#include "sim/core/Hex.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace sim::memory
{
namespace
{

constexpr int kLineBytes = 16;

// SLE4442: bytes 0-31 protectable, PSC in its own security memory.
// SLE4428: every byte protectable; 1021 holds the error counter, 1022-1023 the PSC.
constexpr Layout kSle4442{256, 32, 3, 3, 0};
constexpr Layout kSle4428{1024, 1024, 2, 8, 3};
constexpr Layout kAt24c64{8192, 0, 0, 0, 0};

// The ATR header an SLE4442 answers its reset with, protected at the factory.
constexpr uint8_t kSle4442Atr[] = {0xA2, 0x13, 0x10, 0x91};

bool inRange(int address, int length, int size)
{
    return address >= 0 && length >= 0 && address <= size - length;
}

bool isOwnByte(const Layout &layout, int address)
{
    return address >= layout.size - layout.ownBytes;
}

bool isProtected(const Memory &m, int address)
{
    return address < static_cast<int>(m.protectedBytes.size()) && m.protectedBytes[static_cast<size_t>(address)];
}

// What reading an SLE4428's own bytes gives: the counter, and the PSC once presented.
uint8_t ownByte(const Layout &layout, const Memory &m, bool presented, int address)
{
    const int index = address - (layout.size - layout.ownBytes);
    if (index == 0)
        return errorCounter(m);
    return presented ? m.psc[static_cast<size_t>(index - 1)] : 0x00;
}

int addressDigits(int size)
{
    int digits = 1;
    for (int top = size - 1; top > 0xF; top >>= 4)
        ++digits;
    return digits;
}

std::string hexAddress(int address, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(address));
    return text;
}

} // namespace

const Layout &layoutOf(Chip chip)
{
    switch (chip) {
    case Chip::Sle4442:
        return kSle4442;
    case Chip::Sle4428:
        return kSle4428;
    case Chip::At24c64:
        break;
    }
    return kAt24c64;
}

Memory factory(Chip chip, std::vector<uint8_t> psc)
{
    const Layout &layout = layoutOf(chip);
    if (psc.empty())
        psc.assign(static_cast<size_t>(layout.pscLength), 0xFF);
    if (static_cast<int>(psc.size()) != layout.pscLength)
        throw std::invalid_argument(layout.pscLength == 0
                                        ? "this card has no PSC"
                                        : "the PSC has " + std::to_string(layout.pscLength) + " bytes");
    Memory m;
    m.data.assign(static_cast<size_t>(layout.size), 0xFF);
    m.protectedBytes.assign(static_cast<size_t>(layout.protectable), false);
    m.psc = std::move(psc);
    m.attemptsLeft = layout.maxAttempts;
    if (chip == Chip::Sle4442) {
        std::copy(std::begin(kSle4442Atr), std::end(kSle4442Atr), m.data.begin());
        std::fill(m.protectedBytes.begin(), m.protectedBytes.begin() + sizeof kSle4442Atr, true);
    }
    return m;
}

int presentPsc(Chip chip, Memory &m, bool &presented, const uint8_t *psc)
{
    const Layout &layout = layoutOf(chip);
    if (layout.pscLength == 0)
        return kNotSupported;
    if (!psc)
        return kBadArgument;
    presented = false;
    if (m.attemptsLeft <= 0)
        return kAuthFailed;
    --m.attemptsLeft;
    if (!std::equal(m.psc.begin(), m.psc.end(), psc))
        return kAuthFailed;
    m.attemptsLeft = layout.maxAttempts;
    presented = true;
    return kOk;
}

int changePsc(Chip chip, Memory &m, bool presented, const uint8_t *psc)
{
    if (layoutOf(chip).pscLength == 0)
        return kNotSupported;
    if (!psc)
        return kBadArgument;
    if (!presented)
        return kAuthFailed;
    std::copy(psc, psc + m.psc.size(), m.psc.begin());
    return kOk;
}

int read(Chip chip, const Memory &m, bool presented, int address, uint8_t *out, int length)
{
    const Layout &layout = layoutOf(chip);
    if (!inRange(address, length, layout.size) || (!out && length > 0))
        return kBadArgument;
    for (int a = address; a < address + length; ++a)
        out[a - address] = isOwnByte(layout, a) ? ownByte(layout, m, presented, a) : m.data[static_cast<size_t>(a)];
    return kOk;
}

int write(Chip chip, Memory &m, bool presented, int address, const uint8_t *data, int length)
{
    const Layout &layout = layoutOf(chip);
    if (!inRange(address, length, layout.size) || (!data && length > 0))
        return kBadArgument;
    if (layout.pscLength > 0 && !presented)
        return kAuthFailed;
    for (int a = address; a < address + length; ++a)
        if (!isProtected(m, a) && !isOwnByte(layout, a))
            m.data[static_cast<size_t>(a)] = data[a - address];
    return kOk;
}

int protect(Chip chip, Memory &m, bool presented, int address, const uint8_t *data, int length)
{
    const Layout &layout = layoutOf(chip);
    if (layout.protectable == 0)
        return kNotSupported;
    // A range starts on a protectable byte and stays in main memory; the bytes
    // of it past the protection memory (SLE4442: 32 on) have no bit to set.
    if (!inRange(address, length, layout.size) || address >= layout.protectable || (!data && length > 0))
        return kBadArgument;
    if (!presented)
        return kAuthFailed;
    const int end = std::min(address + length, layout.protectable);
    for (int a = address; a < end; ++a)
        if (!isOwnByte(layout, a) && m.data[static_cast<size_t>(a)] == data[a - address])
            m.protectedBytes[static_cast<size_t>(a)] = true;
    return kOk;
}

int readProtection(Chip chip, const Memory &m, int address, uint8_t *out, int length)
{
    const Layout &layout = layoutOf(chip);
    if (layout.protectable == 0)
        return kNotSupported;
    const int size = chip == Chip::Sle4442 ? layout.protectable / 8 : layout.protectable;
    if (!inRange(address, length, size) || (!out && length > 0))
        return kBadArgument;
    for (int i = 0; i < length; ++i) {
        const int at = address + i;
        if (chip != Chip::Sle4442) {
            out[i] = isProtected(m, at) ? 0x00 : 0x01;
            continue;
        }
        uint8_t bits = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (!isProtected(m, 8 * at + bit))
                bits = static_cast<uint8_t>(bits | 1 << bit);
        out[i] = bits;
    }
    return kOk;
}

uint8_t errorCounter(const Memory &m)
{
    return static_cast<uint8_t>((1u << std::clamp(m.attemptsLeft, 0, 8)) - 1);
}

std::string protectedRanges(const Memory &m)
{
    const int digits = addressDigits(static_cast<int>(m.data.size()));
    std::string text;
    const int n = static_cast<int>(m.protectedBytes.size());
    for (int a = 0; a < n; ++a) {
        if (!m.protectedBytes[static_cast<size_t>(a)])
            continue;
        int last = a;
        while (last + 1 < n && m.protectedBytes[static_cast<size_t>(last + 1)])
            ++last;
        text += (text.empty() ? "" : ", ") + hexAddress(a, digits);
        if (last > a)
            text += "-" + hexAddress(last, digits);
        a = last;
    }
    return text.empty() ? "none" : text;
}

std::string dump(const Memory &m)
{
    const int digits = addressDigits(static_cast<int>(m.data.size()));
    std::string text;
    for (size_t at = 0; at < m.data.size(); at += kLineBytes) {
        const auto begin = m.data.begin() + static_cast<std::ptrdiff_t>(at);
        text += hexAddress(static_cast<int>(at), digits) + ": " +
                toHex(std::vector<uint8_t>(begin, begin + std::min<std::ptrdiff_t>(kLineBytes, m.data.end() - begin))) +
                "\n";
    }
    return text;
}

nlohmann::ordered_json toJson(const Memory &m)
{
    nlohmann::ordered_json j;
    if (!m.psc.empty()) {
        j["psc"] = toHex(m.psc);
        j["attemptsLeft"] = m.attemptsLeft;
    }
    if (!m.protectedBytes.empty()) {
        std::vector<int> addresses;
        for (size_t a = 0; a < m.protectedBytes.size(); ++a)
            if (m.protectedBytes[a])
                addresses.push_back(static_cast<int>(a));
        j["protected"] = addresses;
    }
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (size_t at = 0; at < m.data.size(); at += kLineBytes)
        lines.push_back(toHex(std::vector<uint8_t>(m.data.begin() + static_cast<std::ptrdiff_t>(at),
                                                   m.data.begin() + static_cast<std::ptrdiff_t>(at + kLineBytes))));
    j["data"] = lines;
    return j;
}

Memory memoryFromJson(Chip chip, const nlohmann::ordered_json &json)
{
    const Layout &layout = layoutOf(chip);
    Memory m = factory(chip, {});
    std::fill(m.protectedBytes.begin(), m.protectedBytes.end(), false);
    if (layout.pscLength > 0) {
        const auto psc = fromHex(json.at("psc").get<std::string>());
        if (!psc || static_cast<int>(psc->size()) != layout.pscLength)
            throw std::runtime_error("the PSC has " + std::to_string(layout.pscLength) + " bytes");
        m.psc = *psc;
        m.attemptsLeft = json.at("attemptsLeft").get<int>();
        if (m.attemptsLeft < 0 || m.attemptsLeft > layout.maxAttempts)
            throw std::runtime_error("attemptsLeft is 0 to " + std::to_string(layout.maxAttempts));
    }
    for (const int a : json.value("protected", std::vector<int>{})) {
        if (a < 0 || a >= layout.protectable)
            throw std::runtime_error("protected address " + std::to_string(a) + " is outside the protectable bytes");
        m.protectedBytes[static_cast<size_t>(a)] = true;
    }
    const auto &lines = json.at("data");
    if (static_cast<int>(lines.size()) * kLineBytes != layout.size)
        throw std::runtime_error("the memory has " + std::to_string(layout.size / kLineBytes) + " lines");
    size_t at = 0;
    for (const auto &line : lines) {
        const auto bytes = fromHex(line.get<std::string>());
        if (!bytes || bytes->size() != kLineBytes)
            throw std::runtime_error("a memory line is 32 hexadecimal digits");
        std::copy(bytes->begin(), bytes->end(), m.data.begin() + static_cast<std::ptrdiff_t>(at));
        at += kLineBytes;
    }
    return m;
}

} // namespace sim::memory
