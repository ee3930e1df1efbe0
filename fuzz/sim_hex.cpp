// The simulated library's a_hex/hex_a conversions: never past the text's
// terminating zero nor the byte count, and a whole conversion round-trips.
#include "sim/core/Hex.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int count = data[0];
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1); // may hold zeros
    std::vector<unsigned char> bytes(static_cast<size_t>(count));
    const int converted = sim::hexToBytes(text.c_str(), bytes.data(), count);
    if (converted < 0 || converted > count)
        std::abort();
    if (converted == count) {
        std::vector<char> back(static_cast<size_t>(2 * count) + 1);
        sim::bytesToHex(bytes.data(), 2 * count, back.data());
        for (int i = 0; i < 2 * count; ++i)
            if (std::toupper(static_cast<unsigned char>(text[static_cast<size_t>(i)])) != back[static_cast<size_t>(i)])
                std::abort();
    }
    return 0;
}
