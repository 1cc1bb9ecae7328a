#include "platform/glyph_bitmap.h"

#include <cstring>

namespace platform {

namespace {

bool pixelAt(const unsigned char* bits, int width, int height, int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    const std::size_t rowBytes = static_cast<std::size_t>((width + 7) / 8);
    return (bits[static_cast<std::size_t>(y) * rowBytes + static_cast<std::size_t>(x / 8)] & (0x80u >> (x % 8))) != 0;
}

}  // namespace

void dilateBitmap(const unsigned char* in, int width, int height, unsigned char* out) {
    const int outWidth = width + 2;
    const int outHeight = height + 2;
    const std::size_t outRowBytes = static_cast<std::size_t>((outWidth + 7) / 8);
    std::memset(out, 0, bitmapBytes(outWidth, outHeight));
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            bool set = false;
            for (int dy = -2; dy <= 0 && !set; ++dy) {
                for (int dx = -2; dx <= 0 && !set; ++dx) set = pixelAt(in, width, height, x + dx, y + dy);
            }
            if (set) out[static_cast<std::size_t>(y) * outRowBytes + static_cast<std::size_t>(x / 8)] |=
                static_cast<unsigned char>(0x80u >> (x % 8));
        }
    }
}

}  // namespace platform
