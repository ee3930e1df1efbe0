// Loading a bench file that anyone may have edited: malformed content is
// refused with an exception, never a crash, and what loads saves and loads
// back to the same bench.
#include "sim/core/Bench.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto json = nlohmann::ordered_json::parse(data, data + size, nullptr, false);
    if (json.is_discarded())
        return 0;
    try {
        const sim::Bench bench = sim::benchFromJson(json);
        const auto saved = sim::toJson(bench);
        if (sim::toJson(sim::benchFromJson(saved)) != saved)
            std::abort();
    } catch (const std::exception &) {
        // refused, as it should be
    }
    return 0;
}
