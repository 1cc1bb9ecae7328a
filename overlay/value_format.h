// Number formatting for token values, done here rather than by the C library: it runs in frames,
// and some C libraries consult the locale, or allocate, each time they format.
#pragma once

#include <cstddef>

namespace overlay {

// Formats like snprintf(out, size, format, a, b, c) for formats made of literal characters, "%%",
// and the conversions "%d" and "%0Nd" (N one digit), taking a, b, c in order. The result is cut to
// size - 1 characters and always terminated (size > 0). Returns the length written.
std::size_t formatNumbers(char* out, std::size_t size, const char* format, int a = 0, int b = 0, int c = 0);

}  // namespace overlay
