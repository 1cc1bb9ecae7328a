#include "overlay/value_format.h"

namespace overlay {

std::size_t formatNumbers(char* out, std::size_t size, const char* format, int a, int b, int c) {
    if (out == nullptr || size == 0) return 0;
    const int values[3] = {a, b, c};
    int next = 0;
    std::size_t length = 0;
    const auto put = [&](char character) {
        if (length + 1 < size) out[length++] = character;
    };
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] != '%' || p[1] == '\0') {
            put(*p);
            continue;
        }
        if (p[1] == '%') {
            put(*++p);
            continue;
        }
        int width = 0;
        const char* conversion = p + 1;
        if (conversion[0] == '0' && conversion[1] >= '1' && conversion[1] <= '9' && conversion[2] == 'd') {
            width = conversion[1] - '0';
            conversion += 2;
        }
        if (*conversion != 'd' || next >= 3) {
            put(*p);
            continue;
        }
        p = conversion;
        const long long value = values[next++];
        // Digits, least significant first; the sign counts towards the width, as with printf.
        unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
        char digits[24];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        const int sign = value < 0 ? 1 : 0;
        if (sign != 0) put('-');
        for (int pad = width - sign - count; pad > 0; --pad) put('0');
        while (count > 0) put(digits[--count]);
    }
    out[length] = '\0';
    return length;
}


unsigned calendarFields(const char* format) {
    unsigned fields = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] != '%' || p[1] == '\0') continue;
        switch (*++p) {
            case 'Y': case 'y': fields |= kFieldYear; break;
            case 'm': fields |= kFieldMonth; break;
            case 'd': fields |= kFieldDay; break;
            case 'H': case 'I': case 'p': fields |= kFieldHour; break;
            case 'M': fields |= kFieldMinute; break;
            case 'S': fields |= kFieldSecond; break;
            default: break;
        }
    }
    return fields;
}

std::int64_t calendarKey(const platform::CalendarTime& time, unsigned fields) {
    const auto field = [fields](unsigned bit, int value) { return (fields & bit) != 0 ? value : 0; };
    std::int64_t key = field(kFieldYear, time.year);
    key = key * 100 + field(kFieldMonth, time.month);
    key = key * 100 + field(kFieldDay, time.day);
    key = key * 100 + field(kFieldHour, time.hour);
    key = key * 100 + field(kFieldMinute, time.minute);
    return key * 100 + field(kFieldSecond, time.second);
}

std::size_t formatCalendar(char* out, std::size_t size, const char* format, const platform::CalendarTime& time,
                           std::size_t maxCharacters) {
    if (out == nullptr || size == 0) return 0;
    std::size_t length = 0;
    std::size_t characters = 0;
    bool full = false;      // no further character fits
    bool skipping = false;  // the character being written did not fit: its other bytes go too
    const auto put = [&](char character) {
        const auto byte = static_cast<unsigned char>(character);
        if ((byte & 0xC0) == 0x80) {  // a continuation byte goes with its character
            if (!skipping && length + 1 < size) out[length++] = character;
            return;
        }
        // A UTF-8 character is written whole or not at all.
        const std::size_t bytes = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        skipping = full || characters >= maxCharacters || length + bytes >= size;
        if (skipping) {
            full = true;
            return;
        }
        out[length++] = character;
        ++characters;
    };
    const auto number = [&](int value, int width) {
        char digits[16];
        const std::size_t count = formatNumbers(digits, sizeof digits, width == 4 ? "%04d" : "%02d", value);
        for (std::size_t i = 0; i < count; ++i) put(digits[i]);
    };
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] != '%' || p[1] == '\0') {
            put(*p);
            continue;
        }
        const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
        switch (p[1]) {
            case 'Y': number(time.year + 1900, 4); break;
            case 'y': number(((time.year + 1900) % 100 + 100) % 100, 2); break;
            case 'm': number(time.month + 1, 2); break;
            case 'd': number(time.day, 2); break;
            case 'H': number(time.hour, 2); break;
            case 'I': number(hour12, 2); break;
            case 'p': put(time.hour < 12 ? 'A' : 'P'); put('M'); break;
            case 'M': number(time.minute, 2); break;
            case 'S': number(time.second, 2); break;
            case '%': put('%'); break;
            default: put('%'); put(p[1]); break;
        }
        ++p;
    }
    out[length] = '\0';
    return length;
}

}  // namespace overlay
