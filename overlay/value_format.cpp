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

}  // namespace overlay
