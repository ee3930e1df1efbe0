// Single DES of one 8-byte block, hex text in and out (rz_des).
#pragma once

namespace pcsc
{

// key and data: 16 hex digits each. Writes 16 upper-case digits and a zero
// to result. Returns 0, or 4 for text that is not 16 hex digits (result is
// then the empty text).
int desHex(const char *keyHex, const char *dataHex, char *resultHex, bool encrypt);

} // namespace pcsc
