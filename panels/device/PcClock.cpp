#include "panels/device/PcClock.h"

namespace t7::device
{
namespace
{

PcClock &installed()
{
    static PcClock clock;
    return clock;
}

} // namespace

QDateTime pcLocalTime()
{
    return installed() ? installed()() : QDateTime::currentDateTime();
}

void setPcClock(PcClock clock)
{
    installed() = std::move(clock);
}

} // namespace t7::device
