#include "overlay/clock.h"

namespace overlay {

namespace {

std::uint32_t systemTick() { return platform::tickMilliseconds(); }
std::int64_t systemNow() { return platform::calendarNow(); }
bool systemLocalTime(std::int64_t seconds, platform::CalendarTime* out) { return platform::toLocalTime(seconds, out); }
void systemReloadTimeZone() { platform::reloadTimeZone(); }

const Clock kSystemClock = {&systemTick, &systemNow, &systemLocalTime, &systemReloadTimeZone};

}  // namespace

const Clock& systemClock() { return kSystemClock; }

}  // namespace overlay
