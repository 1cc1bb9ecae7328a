// Clocks from the Windows API and msvcrt.
#include "platform/platform.h"

#include <windows.h>

#include <time.h>

namespace platform {

// GetTickCount, not GetTickCount64: the latter is missing from older Windows.
std::uint32_t tickMilliseconds() { return static_cast<std::uint32_t>(GetTickCount()); }

std::int64_t calendarNow() { return static_cast<std::int64_t>(_time64(nullptr)); }

bool toLocalTime(std::int64_t seconds, CalendarTime* out) {
    if (out == nullptr) return false;
    const __time64_t t = static_cast<__time64_t>(seconds);
    // msvcrt gives null for times before 1970 or past its range.
    const tm* local = _localtime64(&t);
    if (local == nullptr) return false;
    out->year = local->tm_year;
    out->month = local->tm_mon;
    out->day = local->tm_mday;
    out->hour = local->tm_hour;
    out->minute = local->tm_min;
    out->second = local->tm_sec;
    return true;
}

void reloadTimeZone() { _tzset(); }

}  // namespace platform
