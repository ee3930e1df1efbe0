// a_hex / hex_a: hexadecimal text <-> bytes, with the simulated library's
// rules (see sim/README.md, "Choices"), so the tool behaves the same on both.
#pragma once

namespace pcsc
{

// Reads 2n digits into n bytes; stops at the first pair that is not two hex
// digits (a short text included), leaving the rest of the output untouched.
// Returns the number of bytes converted.
int hexToBytes(const char *text, unsigned char *bytes, int count);

// Writes `digits` upper-case digits for digits/2 bytes and a terminating zero.
void bytesToHex(const unsigned char *bytes, int digits, char *text);

} // namespace pcsc
