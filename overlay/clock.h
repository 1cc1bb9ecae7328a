// The clocks the overlay reads, behind function pointers so that tests can drive time exactly.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace overlay {

struct Clock {
    std::uint32_t (*tickMilliseconds)();  // wraps after 2^32 ms
    std::int64_t (*calendarNow)();
    bool (*toLocalTime)(std::int64_t seconds, platform::CalendarTime* out);
    void (*reloadTimeZone)();
};

// The operating system's clocks.
const Clock& systemClock();

}  // namespace overlay
