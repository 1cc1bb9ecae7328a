#include "overlay/substitute.h"

#include <cstring>

namespace overlay {

int substituteToken(char* work, std::size_t workSize, char* dst, const char* src, const char* pattern,
                    const char* replacement, int maxLen) {
    if (dst == nullptr || pattern == nullptr || src == nullptr || replacement == nullptr || pattern[0] == '\0' ||
        work == nullptr) {
        return 0;
    }
    const std::size_t patternLength = std::strlen(pattern);
    if (patternLength > kMaxPatternLength || maxLen <= 0 || workSize == 0) return 0;

    // The output is bounded by the work buffer and by maxLen, whichever is smaller, less the terminator.
    const std::size_t limit = (static_cast<std::size_t>(maxLen) < workSize ? static_cast<std::size_t>(maxLen) : workSize) - 1;
    const std::size_t replacementLength = std::strlen(replacement);

    const char* first = std::strstr(src, pattern);
    if (first == nullptr) {
        if (dst != src) {
            const std::size_t length = std::strlen(src);
            const std::size_t kept = length < limit ? length : limit;
            std::memmove(dst, src, kept);
            dst[kept] = '\0';
        }
        return 0;
    }

    std::size_t out = 0;
    int count = 0;
    const char* rest = src;
    auto append = [&](const char* text, std::size_t length) {
        const std::size_t room = limit - out;
        const std::size_t kept = length < room ? length : room;
        std::memcpy(work + out, text, kept);
        out += kept;
    };
    for (const char* hit = first; hit != nullptr; hit = std::strstr(rest, pattern)) {
        append(rest, static_cast<std::size_t>(hit - rest));
        append(replacement, replacementLength);
        ++count;
        rest = hit + patternLength;
    }
    append(rest, std::strlen(rest));
    work[out] = '\0';
    std::memcpy(dst, work, out + 1);
    return count;
}

}  // namespace overlay
