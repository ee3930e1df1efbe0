// Raw AT88RF020 command frames, as rz_CommandLink_at passes them on: any run
// of length-prefixed frames to one card leaves it answering with a status
// byte, its system pages intact and its password unreadable.
#include "sim/core/At88rf020.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace sim::at88;
    Memory memory = factoryMemory({0x11, 0x22, 0x33, 0x44});
    const Page identity = memory.pages[0];
    Session session;
    size_t at = 0;
    while (at < size) {
        const size_t n = std::min<size_t>(data[at], size - at - 1);
        const Answer answer = exchange(memory, session, data + at + 1, n);
        if (answer.reply.empty() || answer.reply.size() > 255)
            std::abort();
        at += n + 1;
    }
    if (memory.pages.size() != static_cast<size_t>(kPages) || memory.pages[0] != identity)
        std::abort();
    return 0;
}
