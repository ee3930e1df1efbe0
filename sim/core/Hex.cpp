#include "sim/core/Hex.h"

namespace sim
{

std::string toHex(const std::vector<uint8_t> &bytes)
{
    std::string text(bytes.size() * 2, '\0');
    bytesToHex(bytes.data(), static_cast<int>(text.size()), text.data());
    return text;
}

std::optional<std::vector<uint8_t>> fromHex(const std::string &text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<uint8_t> bytes(text.size() / 2);
    const int n = static_cast<int>(bytes.size());
    if (hexToBytes(text.c_str(), bytes.data(), n) != n)
        return std::nullopt;
    return bytes;
}

} // namespace sim
