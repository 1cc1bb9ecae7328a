// 1-bit glyph bitmaps as glBitmap takes them: their size, growing one by a pixel on every side
// for outlined text, and a buffer to build them in. Plain code: both platforms' glyph builders
// use it.
#pragma once

#include <cstddef>
#include <cstdlib>

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

// A buffer that grows to the largest bitmap asked for, with malloc: glyph building runs inside the
// host's process, where a failed allocation must come back as null, never as an exception.
class BitmapScratch {
public:
    BitmapScratch() = default;
    ~BitmapScratch() { std::free(bytes); }
    BitmapScratch(const BitmapScratch&) = delete;
    BitmapScratch& operator=(const BitmapScratch&) = delete;

    // At least `size` bytes, or null when memory runs out; valid until the next call.
    unsigned char* get(std::size_t size) {
        if (size > capacity) {
            void* grown = std::realloc(bytes, size);
            if (grown == nullptr) return nullptr;
            bytes = static_cast<unsigned char*>(grown);
            capacity = size;
        }
        return bytes;
    }

private:
    unsigned char* bytes = nullptr;
    std::size_t capacity = 0;
};

}  // namespace platform
