#include "sim/core/AirTiming.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace sim::air
{
namespace
{

using std::chrono::microseconds;

// One byte with its parity bit at 106 kbit/s, with the frame delay between.
constexpr long kTypeAByte = 90;
// One byte in 1-out-of-4 coding at 26.48 kbit/s.
constexpr long kVicinityByte = 302;
// One character of 12 ETU at 9600 baud.
constexpr long kContactByte = 1250;
// One byte clocked to or from a synchronous memory card, with its command.
constexpr long kMemoryByte = 100;

} // namespace

Duration duration(Frame frame, std::size_t bytes)
{
    const long n = static_cast<long>(bytes);
    switch (frame) {
    case Frame::Request:
        return microseconds(500);
    case Frame::Anticollision:
    case Frame::Select:
        return microseconds(1000);
    case Frame::Anticollision2:
    case Frame::Select2:
    case Frame::Halt:
        return microseconds(500);
    case Frame::Authenticate:
        return microseconds(2000);
    case Frame::Read:
        return microseconds(2500);
    case Frame::Write:
        return microseconds(5500);
    case Frame::Value:
        return microseconds(2500);
    case Frame::Transfer:
        return microseconds(4500);
    case Frame::Exchange:
        return microseconds(1000 + kTypeAByte * n);
    case Frame::RequestB:
        return microseconds(1500);
    case Frame::Attrib:
        return microseconds(1000);
    case Frame::Vicinity:
        return microseconds(1500 + kVicinityByte * n);
    case Frame::VicinityWrite:
        return microseconds(1500 + kVicinityByte * n + 5000);
    case Frame::ContactBytes:
        return microseconds(kContactByte * n);
    case Frame::MemoryRead:
        return microseconds(300 + kMemoryByte * n);
    case Frame::MemoryWrite:
        return microseconds(300 + kMemoryByte * n + 2500 * n);
    case Frame::EepromPageWrite:
        return microseconds(300 + kMemoryByte * n + 5000 * ((n + 31) / 32));
    case Frame::Peripheral:
        return microseconds(1000);
    }
    return microseconds(0);
}

bool enabled(bool benchSetting)
{
    const char *setting = std::getenv("T7SIM_TIMING");
    if (setting && std::strcmp(setting, "air") == 0)
        return true;
    if (setting && std::strcmp(setting, "instant") == 0)
        return false;
    return benchSetting;
}

Duration wait(Duration duration)
{
    using Steady = std::chrono::steady_clock;
    const Steady::time_point end = Steady::now() + duration;
    // The scheduler wakes late by a hundred microseconds or more: sleep most
    // of the way, spin the rest.
    constexpr microseconds kSpin(300);
    if (duration > kSpin)
        std::this_thread::sleep_until(end - kSpin);
    Steady::time_point now = Steady::now();
    while (now < end)
        now = Steady::now();
    return std::chrono::duration_cast<Duration>(now - end);
}

void Clock::pass(Duration duration)
{
    constexpr Duration kMostOwed(10000);
    const Duration owed = std::min(late_, duration);
    late_ = std::min(late_ - owed + waiter_(duration - owed), kMostOwed);
}

} // namespace sim::air
