// Replacing one token in a line of text: a single left-to-right pass without overlaps, over a
// work buffer that the caller owns, so that nothing is allocated.
#pragma once

#include <cstddef>

namespace overlay {

// Patterns are held in buffers of this size: a pattern has at most kMaxPatternLength characters.
constexpr std::size_t kMatchBufferSize = 32;
constexpr std::size_t kMaxPatternLength = kMatchBufferSize - 1;
// A work buffer of this size holds any line the overlay draws.
constexpr int kWorkBufferSize = 8192;

// Replaces every occurrence of `pattern` in `src` by `replacement`, leftmost first and without
// overlaps (inserted text is not searched again), builds the result in `work` (workSize bytes) and
// copies it, cut to at most min(maxLen, workSize) - 1 characters and always terminated, into `dst`,
// which may be `src`. Returns the number of replacements. Refuses (returns 0, dst untouched) null
// arguments, an empty pattern, a pattern longer than kMaxPatternLength and a maxLen or workSize of 0.
int substituteToken(char* work, std::size_t workSize, char* dst, const char* src, const char* pattern,
                    const char* replacement, int maxLen);

}  // namespace overlay
