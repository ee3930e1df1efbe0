// Hexadecimal text <-> bytes, shared by the library's a_hex/hex_a and t7sim.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim
{

// -1 for a character that is not a hexadecimal digit.
int hexDigitValue(char c);

// Reads 2n digits into n bytes. Stops at the first pair that is not two hex
// digits (including a text that ends early): the bytes before it are written,
// the rest are left untouched. Returns the number of bytes converted.
int hexToBytes(const char *text, unsigned char *bytes, int count);

// Writes `digits` upper-case digits for digits/2 bytes (an odd count writes
// the high digit of the last byte) and a terminating zero.
void bytesToHex(const unsigned char *bytes, int digits, char *text);

std::string toHex(const std::vector<uint8_t> &bytes);
// Whole text must be hex digits of even length.
std::optional<std::vector<uint8_t>> fromHex(const std::string &text);

} // namespace sim
