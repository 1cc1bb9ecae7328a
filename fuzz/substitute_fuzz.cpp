// Fuzzes token substitution: the result must stay within its bound, always terminated, and equal
// a plain replace-all whenever it fits.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "overlay/substitute.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        __builtin_trap();
    }
}

// Leftmost non-overlapping replace-all, the way a reader of the settings file expects it.
std::string replaceAll(const std::string& src, const std::string& pattern, const std::string& replacement, int* count) {
    std::string out;
    std::size_t from = 0;
    *count = 0;
    for (std::size_t hit = src.find(pattern); hit != std::string::npos; hit = src.find(pattern, from)) {
        out.append(src, from, hit - from);
        out += replacement;
        from = hit + pattern.size();
        ++*count;
    }
    out.append(src, from, std::string::npos);
    return out;
}

}  // namespace

// Input: src, pattern and replacement separated by 0xFF bytes; the first byte picks maxLen.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int maxLen = 1 + data[0] * 8;  // 1 to 2041
    std::string parts[3];
    int part = 0;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF && part < 2) {
            ++part;
        } else if (data[i] != 0) {
            parts[part] += static_cast<char>(data[i]);
        }
    }
    const std::string& src = parts[0];
    const std::string& pattern = parts[1];
    const std::string& replacement = parts[2];

    static char work[overlay::kWorkBufferSize];
    static char buffer[overlay::kWorkBufferSize + 64];
    constexpr char kGuard = '\x5A';
    std::memset(buffer, kGuard, sizeof buffer);
    const int count =
        overlay::substituteToken(work, sizeof work, buffer, src.c_str(), pattern.c_str(), replacement.c_str(), maxLen);

    for (std::size_t i = static_cast<std::size_t>(maxLen); i < sizeof buffer; ++i) check(buffer[i] == kGuard, "wrote past maxLen");
    if (pattern.empty() || pattern.size() >= 32) {
        check(count == 0, "refused pattern counted");
        check(buffer[0] == kGuard, "refused pattern wrote");
        return 0;
    }
    check(std::memchr(buffer, 0, static_cast<std::size_t>(maxLen)) != nullptr, "result not terminated");
    int expectedCount = 0;
    const std::string expected = replaceAll(src, pattern, replacement, &expectedCount);
    const std::size_t limit = std::min<std::size_t>(static_cast<std::size_t>(maxLen), sizeof work) - 1;
    check(std::string(buffer) == expected.substr(0, limit), "result differs from replace-all");
    check(count == expectedCount, "count differs from replace-all");
    return 0;
}
