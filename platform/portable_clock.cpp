// Clocks from POSIX.
#include "platform/platform.h"

#include <ctime>

namespace platform {

std::uint32_t tickMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    // Keeps only the low 32 bits, so it wraps like the Windows tick counter.
    return static_cast<std::uint32_t>(ms);
}

std::int64_t calendarNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

bool toLocalTime(std::int64_t seconds, CalendarTime* out) {
    if (out == nullptr) return false;
    const std::time_t t = static_cast<std::time_t>(seconds);
    if (static_cast<std::int64_t>(t) != seconds) return false;  // out of range for time_t
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) return false;
    out->year = tm.tm_year;
    out->month = tm.tm_mon;
    out->day = tm.tm_mday;
    out->hour = tm.tm_hour;
    out->minute = tm.tm_min;
    out->second = tm.tm_sec;
    return true;
}

void reloadTimeZone() { tzset(); }

}  // namespace platform
