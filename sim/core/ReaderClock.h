// The reader's real-time clock: the packed-BCD record rz_settime takes, and
// a clock that runs on from the time it was set, counted in PC seconds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sim
{

struct ClockTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Record bytes: year within the century, century, month, day, hour, minute,
// second, each two BCD digits. Nothing for a bad digit or an impossible date.
std::optional<ClockTime> clockFromRecord(const uint8_t record[7]);

// "YYYY-MM-DD HH:MM:SS" and back (nothing for any other text).
std::string clockText(const ClockTime &t);
std::optional<ClockTime> clockFromText(const std::string &text);

// t moved on by the given seconds (calendar rules; a reader clock knows no
// daylight saving).
ClockTime clockAfter(const ClockTime &t, long long seconds);

// The PC's time in seconds since the epoch. T7SIM_NOW (seconds since the
// epoch) fixes it, so tests see a clock that does not move under them.
long long pcNow();
// The PC's local time at that moment.
ClockTime pcLocalTime(long long now);

// What the reader clock reads at PC time now: the time it was set to plus
// what passed since, or the PC's local time when it was never set.
ClockTime readerClockAt(const std::string &setTo, long long setAt, long long now);

} // namespace sim
