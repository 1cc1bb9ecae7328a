#include "platform/glyph_bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::string>;  // '#' set, '.' clear; the first string is the bottom row

std::size_t rowBytes(std::size_t width) { return (width + 7) / 8; }
unsigned char bit(std::size_t x) { return static_cast<unsigned char>(0x80u >> (x % 8)); }

// The bitmap `in` dilated, into a buffer of exactly the size the header promises followed by bytes
// that must stay untouched, as rows.
Rows dilated(const std::vector<unsigned char>& in, int width, int height) {
    const std::size_t size = platform::bitmapBytes(width + 2, height + 2);
    std::vector<unsigned char> out(size + 8, 0xA5);
    platform::dilateBitmap(in.data(), width, height, out.data());
    for (std::size_t i = size; i < out.size(); ++i) EXPECT_EQ(out[i], 0xA5) << "byte " << i << " past the bitmap";
    Rows rows(static_cast<std::size_t>(height + 2), std::string(static_cast<std::size_t>(width + 2), '.'));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            if (out[y * rowBytes(rows[y].size()) + x / 8] & bit(x)) rows[y][x] = '#';
        }
    }
    return rows;
}

Rows dilated(const Rows& rows) {
    const std::size_t width = rows[0].size();
    std::vector<unsigned char> in(rowBytes(width) * rows.size());
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            if (rows[y][x] == '#') in[y * rowBytes(width) + x / 8] |= bit(x);
        }
    }
    return dilated(in, static_cast<int>(width), static_cast<int>(rows.size()));
}

TEST(GlyphBitmap, BitmapBytesAreWholeBytesPerRow) {
    EXPECT_EQ(platform::bitmapBytes(0, 4) + platform::bitmapBytes(1, 1) + platform::bitmapBytes(8, 3), 4u);
    EXPECT_EQ(platform::bitmapBytes(9, 3), 6u);
}

TEST(GlyphBitmap, PixelsGrowIntoSquaresOfThreeUpToTheEdges) {
    EXPECT_EQ(dilated(Rows{"...", ".#.", "..."}), (Rows{".....", ".###.", ".###.", ".###.", "....."}));
    EXPECT_EQ(dilated(Rows{"#...", "....", "...#"}), (Rows{"###...", "###...", "######", "...###", "...###"}));
}

TEST(GlyphBitmap, SquaresCrossTheBytesOfWideRows) {
    // 15 pixels: rows of 2 bytes in, of 3 bytes out (17 pixels).
    for (int x : {0, 6, 7, 8, 9, 14}) {
        Rows in{std::string(15, '.'), std::string(15, '.')};
        in[1][static_cast<std::size_t>(x)] = '#';
        std::string grown(17, '.');
        grown.replace(static_cast<std::size_t>(x), 3, "###");
        EXPECT_EQ(dilated(in), (Rows{std::string(17, '.'), grown, grown, grown})) << "pixel at x " << x;
    }
}

TEST(GlyphBitmap, BitsPastTheWidthAreNotPixels) {
    // GDI pads its rows; whatever the padding holds, only `width` pixels of a row count.
    const std::vector<unsigned char> in = {0x07, 0x07};  // 5 wide, 2 rows: padding set, no pixel
    EXPECT_EQ(dilated(in, 5, 2), Rows(4, std::string(7, '.')));
}

TEST(GlyphBitmap, ScratchKeepsItsLargestBuffer) {
    platform::BitmapScratch scratch;
    unsigned char* small = scratch.get(16);
    ASSERT_NE(small, nullptr);
    std::memset(small, 1, 16);
    EXPECT_EQ(scratch.get(8), small);
    EXPECT_EQ(small[15], 1);
    unsigned char* large = scratch.get(4096);
    ASSERT_NE(large, nullptr);
    std::memset(large, 2, 4096);
    EXPECT_EQ(scratch.get(100), large);
}

}  // namespace
