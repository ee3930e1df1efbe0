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

} // namespace dump
