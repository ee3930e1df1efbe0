// The simulated cards' ISO 7816-4 engine under any command sequence: each
// input is a run of length-prefixed APDUs sent to one fresh card on T=0 or
// T=1. Answers always carry a status word and fit the reader's length byte.
#include "sim/core/Iso7816Card.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    using namespace sim::iso7816;
    Application app = defaultApplication(defaultAid());
    Context context;
    const Link link = data[0] & 1 ? Link::T0 : Link::T1;
    size_t at = 1;
    while (at < size) {
        const size_t n = std::min<size_t>(data[at], size - at - 1);
        const Exchange e = process(app, context, data + at + 1, n, link);
        if (e.response.size() < 2 || e.response.size() > 255)
            std::abort();
        at += n + 1;
    }
    // Whatever the commands did, the card's tree still saves and loads.
    if (describe(applicationFromJson(toJson(app))) != describe(app))
        std::abort();
    return 0;
}
