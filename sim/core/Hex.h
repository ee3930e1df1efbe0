// Hexadecimal text <-> bytes, shared by the library's a_hex/hex_a and t7sim.
#pragma once

#include "dump/Hex.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim
{

using dump::bytesToHex;
using dump::hexDigitValue;
using dump::hexToBytes;

std::string toHex(const std::vector<uint8_t> &bytes);
// Whole text must be hex digits of even length.
std::optional<std::vector<uint8_t>> fromHex(const std::string &text);

} // namespace sim
