// The PC's local date and time as the Device panel reads it; tests put a
// clock of their own in its place.
#pragma once

#include <QDateTime>

#include <functional>

namespace t7::device
{

QDateTime pcLocalTime();

using PcClock = std::function<QDateTime()>;
// Null restores the PC's own clock.
void setPcClock(PcClock clock);

} // namespace t7::device
