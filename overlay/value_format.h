// Formatting of token values, numbers and clock times, done here rather than by the C library: it
// runs in frames, and some C libraries consult the locale, or allocate, each time they format.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace overlay {

// Formats like snprintf(out, size, format, a, b, c) for formats made of literal characters, "%%",
// and the conversions "%d" and "%0Nd" (N one digit), taking a, b, c in order. The result is cut to
// size - 1 characters and always terminated (size > 0). Returns the length written.
std::size_t formatNumbers(char* out, std::size_t size, const char* format, int a = 0, int b = 0, int c = 0);

// The fields a clock format shows, as bits: what must change for its text to change.
enum CalendarField : unsigned {
    kFieldYear = 1u << 0,
    kFieldMonth = 1u << 1,
    kFieldDay = 1u << 2,
    kFieldHour = 1u << 3,
    kFieldMinute = 1u << 4,
    kFieldSecond = 1u << 5,
};

// The fields `format` shows (%Y %y: year; %m; %d; %H %I %p: hour; %M; %S).
unsigned calendarFields(const char* format);

// A number that changes exactly when one of `fields` of `time` changes.
std::int64_t calendarKey(const platform::CalendarTime& time, unsigned fields);

// Writes `time` by `format` into `out` (size bytes): %Y the year (4 digits at least), %y its last
// two digits, %m the month, %d the day, %H the hour 00-23, %I the hour 01-12, %p AM or PM, %M the
// minute, %S the second, %% a '%'. Any other character is written as it is, and so are an unknown
// field ("%x") and a '%' that ends the format. The format is UTF-8, and so is the text: cut to at
// most `maxCharacters` characters and size - 1 bytes, never inside a character, and always
// terminated (size > 0). Returns the length written in bytes.
std::size_t formatCalendar(char* out, std::size_t size, const char* format, const platform::CalendarTime& time,
                           std::size_t maxCharacters = static_cast<std::size_t>(-1));

}  // namespace overlay
