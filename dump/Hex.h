// Hexadecimal digits <-> bytes for dump files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dump
{

// -1 for a character that is not a hexadecimal digit.
int hexDigitValue(char c);
// Exactly 2n digits of either case into n bytes; false (out partly written) otherwise.
bool parseHex(std::string_view text, uint8_t *out, size_t n);
std::string hexOf(const uint8_t *bytes, size_t n, bool upperCase = true);

// The reader library's a_hex / hex_a rules, the same in every library this
// project builds, so the tool behaves alike on each.
// Reads 2n digits into n bytes. Stops at the first pair that is not two hex
// digits (including a text that ends early): the bytes before it are written,
// the rest are left untouched. Returns the number of bytes converted.
int hexToBytes(const char *text, unsigned char *bytes, int count);
// Writes `digits` upper-case digits for digits/2 bytes (an odd count writes
// the high digit of the last byte) and a terminating zero.
void bytesToHex(const unsigned char *bytes, int digits, char *text);

} // namespace dump
