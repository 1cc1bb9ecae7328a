// Growing a 1-bit glyph bitmap by one pixel on every side, for outlined text. Plain code: both
// platforms' glyph builders use it.
#pragma once

#include <cstddef>

namespace platform {

// The bytes of a bitmap as glBitmap takes it: rows of (width + 7) / 8 bytes, most significant bit
// first, bottom row first.
constexpr std::size_t bitmapBytes(int width, int height) {
    return static_cast<std::size_t>((width + 7) / 8) * static_cast<std::size_t>(height);
}

// Writes into `out` (bitmapBytes(width + 2, height + 2) bytes) the bitmap `in` (width x height)
// dilated: pixel (x, y) of `out` is set when `in` has a set pixel at (x - 1 + dx, y - 1 + dy) for
// any dx, dy in -1..1. `out` covers `in` with one pixel more on each side.
void dilateBitmap(const unsigned char* in, int width, int height, unsigned char* out);

}  // namespace platform
