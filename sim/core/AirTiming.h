// The air-timing model: when on, every card command takes the time the real
// interface needs (ISO 14443 at 106 kbit/s, ISO15693 at 26 kbit/s, the
// contact slot at 9600 baud, NXP/Infineon/Atmel datasheet figures), so that
// benchmarks can compare the tool against what the cards themselves allow.
// Off by default: the simulator answers at once.
#pragma once

#include <chrono>
#include <cstddef>

namespace sim::air
{

enum class Frame {
    // ISO 14443-3 TYPE A activation: 2.5 ms, +1 ms for a second cascade level
    Request,
    Anticollision,
    Select,
    Anticollision2,
    Select2,
    Halt,
    // MIFARE Classic
    Authenticate,
    Read,
    Write,
    Value, // increment, decrement, restore
    Transfer,
    // ISO 14443-4 / TYPE B: a block of `bytes` each way
    Exchange,
    RequestB,
    Attrib,
    // ISO15693: a request and its answer of `bytes`; writes add programming time
    Vicinity,
    VicinityWrite,
    // contact CPU slot: `bytes` characters at 9600 baud (T=0/T=1)
    ContactBytes,
    // synchronous memory cards: `bytes` clocked out; an erase-and-write cycle
    // per byte (SLE4442/4428) or per 32-byte page (AT24C64)
    MemoryRead,
    MemoryWrite,
    EepromPageWrite,
    // the reader's own peripherals: one USB round trip
    Peripheral,
};

using Duration = std::chrono::microseconds;

// How long one command takes on the air; bytes counts what it carries.
Duration duration(Frame frame, std::size_t bytes = 0);

// Whether the model is on: T7SIM_TIMING=air, or the bench's own setting
// (which T7SIM_TIMING=instant overrides).
bool enabled(bool benchSetting);

// Blocks the caller for about the frame's time: the last part is spun, not
// slept. Returns how late it woke (a loaded or virtual machine's scheduler
// can oversleep the spin by milliseconds).
Duration wait(Duration duration);

// A reader's air time over a run of commands. What one wait oversleeps is
// taken off the next ones, as a reader's own clock would not drift, so a run
// of commands takes the sum of their times however the host schedules us.
// The debt is capped: a host that stalled for long does not buy a burst of
// instant commands.
class Clock
{
public:
    using Waiter = Duration (*)(Duration);
    explicit Clock(Waiter waiter = &wait) : waiter_(waiter) {}

    void pass(Duration duration);

private:
    Waiter waiter_;
    Duration late_{0};
};

} // namespace sim::air
