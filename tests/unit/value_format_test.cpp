#include "overlay/value_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {

std::string ours(const char* format, int a, int b = 0, int c = 0, std::size_t size = 64) {
    char out[64];
    overlay::formatNumbers(out, size, format, a, b, c);
    return out;
}

std::string cLibrary(const char* format, int a, int b = 0, int c = 0, std::size_t size = 64) {
    char out[64];
    std::snprintf(out, size, format, a, b, c);
    return out;
}

TEST(ValueFormat, TokenFormatsMatchTheCLibrary) {
    const int samples[] = {0, 1, 7, 9, 10, 59, 99, 100, 1193, 2026, 12345, -1, -5, -10, -12345, INT_MAX, INT_MIN};
    const char* const formats[] = {"%d", "%02d:%02d:%02d", "%04d-%02d-%02d", "x%d%%y", "%05d|%d"};
    for (const char* format : formats) {
        for (int a : samples) {
            for (int b : {0, 3, -7, 45}) {
                EXPECT_EQ(ours(format, a, b, a), cLibrary(format, a, b, a)) << format << " " << a << " " << b;
            }
        }
    }
}

TEST(ValueFormat, CutToTheBufferAndAlwaysTerminated) {
    for (std::size_t size = 1; size < 12; ++size) {
        EXPECT_EQ(ours("%04d-%02d-%02d", 2026, 12, 7, size), cLibrary("%04d-%02d-%02d", 2026, 12, 7, size)) << size;
    }
    char untouched = 'u';
    EXPECT_EQ(overlay::formatNumbers(&untouched, 0, "%d", 5), 0u);
    EXPECT_EQ(untouched, 'u');
}

}  // namespace
