#include "sim/core/ReaderClock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace sim
{
namespace
{

// Two BCD digits, or -1.
int fromBcd(uint8_t b)
{
    const int high = b >> 4;
    const int low = b & 0x0F;
    return high > 9 || low > 9 ? -1 : high * 10 + low;
}

bool isLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

bool isValid(const ClockTime &t)
{
    return t.year >= 0 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= daysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
           t.second >= 0 && t.second <= 59;
}

std::tm toTm(const ClockTime &t)
{
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    return tm;
}

ClockTime fromTm(const std::tm &tm)
{
    return ClockTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

} // namespace

std::optional<ClockTime> clockFromRecord(const uint8_t record[7])
{
    int v[7];
    for (int i = 0; i < 7; ++i)
        if ((v[i] = fromBcd(record[i])) < 0)
            return std::nullopt;
    const ClockTime t{v[1] * 100 + v[0], v[2], v[3], v[4], v[5], v[6]};
    if (!isValid(t))
        return std::nullopt;
    return t;
}

std::string clockText(const ClockTime &t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::optional<ClockTime> clockFromText(const std::string &text)
{
    ClockTime t;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second,
                    &tail) != 6 ||
        !isValid(t))
        return std::nullopt;
    return t;
}

// Civil-time arithmetic through the UTC calendar functions, which keep no
// daylight saving.
ClockTime clockAfter(const ClockTime &t, long long seconds)
{
    std::tm tm = toTm(t);
    const time_t moved = ::timegm(&tm) + static_cast<time_t>(seconds);
    std::tm out{};
    ::gmtime_r(&moved, &out);
    return fromTm(out);
}

long long pcNow()
{
    if (const char *fixed = std::getenv("T7SIM_NOW"); fixed && *fixed)
        return std::atoll(fixed);
    return static_cast<long long>(std::time(nullptr));
}

ClockTime pcLocalTime(long long now)
{
    const time_t t = static_cast<time_t>(now);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return fromTm(tm);
}

ClockTime readerClockAt(const std::string &setTo, long long setAt, long long now)
{
    const auto base = clockFromText(setTo);
    return base ? clockAfter(*base, now - setAt) : pcLocalTime(now);
}

} // namespace sim
