// The glyph atlas: every glyph and its outline packed without overlap, with the pixels it was
// given (and grown by a pixel, by the test's own reckoning), and the quads of a line placed from
// the pen by the glyphs' origins and advances.
#include "overlay/glyph_atlas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Glyph {
    int width, height;
    std::vector<unsigned char> pixels;  // rows bottom up
};

// Glyphs of assorted sizes with assorted pixels, one for each of the codes 32-255.
std::vector<Glyph> assortedGlyphs() {
    std::vector<Glyph> glyphs;
    unsigned state = 12345;
    const auto next = [&] { return state = state * 1103515245u + 12345u, (state >> 16) & 0x7FFF; };
    for (int code = 32; code < 256; ++code) {
        Glyph glyph{static_cast<int>(next() % 20), static_cast<int>(next() % 28), {}};
        if (code == ' ') glyph.width = glyph.height = 0;
        for (int i = 0; i < glyph.width * glyph.height; ++i) glyph.pixels.push_back(static_cast<unsigned char>(next() % 3 == 0 ? 0 : next() % 256));
        glyphs.push_back(glyph);
    }
    return glyphs;
}

int pixelOf(const Glyph& glyph, int x, int y) {
    return x < 0 || y < 0 || x >= glyph.width || y >= glyph.height ? 0 : glyph.pixels[y * glyph.width + x];
}

// The characters U+0020-U+00FF, each at its index code - 32.
overlay::CharacterSet& latin1() {
    static overlay::CharacterSet set;
    if (set.count() == 0) {
        std::uint32_t codes[224];
        for (int i = 0; i < 224; ++i) codes[i] = static_cast<std::uint32_t>(32 + i);
        set.assign(codes, 224);
    }
    return set;
}

void feed(overlay::GlyphAtlas& atlas, const std::vector<Glyph>& glyphs, bool outline) {
    ASSERT_TRUE(atlas.begin(latin1(), outline));
    for (int code = 32; code < 256; ++code) {
        const Glyph& glyph = glyphs[code - 32];
        const platform::GlyphImage image = {glyph.width, glyph.height, code % 3 - 1, code % 5, 7 + code % 4,
                                            glyph.pixels.empty() ? nullptr : glyph.pixels.data(), false};
        ASSERT_TRUE(atlas.receive(code - 32, image));
    }
}

TEST(GlyphAtlas, PacksEveryGlyphAndItsOutlineApartWithTheirPixels) {
    const std::vector<Glyph> glyphs = assortedGlyphs();
    overlay::GlyphAtlas atlas;
    feed(atlas, glyphs, true);
    ASSERT_TRUE(atlas.pack(4096));
    const int width = atlas.imageWidth(), height = atlas.imageHeight();
    EXPECT_EQ(width & (width - 1), 0);
    EXPECT_EQ(height & (height - 1), 0);
    EXPECT_LE(height, width);
    std::vector<int> owner(static_cast<std::size_t>(width) * height, -1);
    for (int set = 0; set < overlay::kGlyphSets; ++set) {
        for (int code = 32; code < 256; ++code) {
            SCOPED_TRACE(code);
            const Glyph& source = glyphs[code - 32];
            const overlay::AtlasGlyph& entry = atlas.glyph(static_cast<overlay::GlyphSet>(set), code - 32);
            const int grow = set;  // the outline: a pixel more all round
            EXPECT_EQ(entry.advance, 7 + code % 4);
            EXPECT_EQ(entry.xOrigin, code % 3 - 1 + grow);
            EXPECT_EQ(entry.yOrigin, code % 5 + grow);
            if (source.width == 0 || source.height == 0) {
                EXPECT_EQ(entry.width, 0);
                continue;
            }
            ASSERT_EQ(entry.width, source.width + 2 * grow);
            ASSERT_EQ(entry.height, source.height + 2 * grow);
            for (int y = 0; y < entry.height; ++y) {
                for (int x = 0; x < entry.width; ++x) {
                    int expected = 0;
                    for (int dy = -grow; dy <= grow; ++dy) {
                        for (int dx = -grow; dx <= grow; ++dx) {
                            expected = std::max(expected, pixelOf(source, x - grow + dx, y - grow + dy));
                        }
                    }
                    const std::size_t texel = static_cast<std::size_t>(entry.texelY + y) * width + entry.texelX + x;
                    ASSERT_LT(texel, owner.size());
                    EXPECT_EQ(owner[texel], -1) << "glyphs overlap";
                    owner[texel] = set * 256 + code;
                    ASSERT_EQ(atlas.image()[texel], expected) << x << "," << y;
                }
            }
        }
    }
}

TEST(GlyphAtlas, RefusesAnImageLargerThanAllowed) {
    overlay::GlyphAtlas atlas;
    feed(atlas, assortedGlyphs(), false);
    EXPECT_FALSE(atlas.pack(64));
    EXPECT_FALSE(atlas.pack(1));
    EXPECT_TRUE(atlas.pack(1024));
}

// 224 glyphs of 10 x 10 pixels need 22 400 texels: no power-of-two image of 16 384 holds them, one
// of 32 768 does, and one whose longer side is the largest allowed is allowed.
TEST(GlyphAtlas, TakesTheSmallestImageThatHoldsTheGlyphs) {
    std::vector<Glyph> glyphs(224, Glyph{10, 10, std::vector<unsigned char>(100, 255)});
    overlay::GlyphAtlas atlas;
    feed(atlas, glyphs, false);
    ASSERT_TRUE(atlas.pack(4096));
    EXPECT_EQ(atlas.imageWidth() * atlas.imageHeight(), 32768);
    const int longer = std::max(atlas.imageWidth(), atlas.imageHeight());
    ASSERT_TRUE(atlas.pack(longer));
    EXPECT_EQ(atlas.imageWidth() * atlas.imageHeight(), 32768);
    EXPECT_FALSE(atlas.pack(longer / 2));
}

TEST(GlyphAtlas, LineQuadsSitAtTheGlyphsOriginsAlongTheirAdvances) {
    const std::vector<Glyph> glyphs = assortedGlyphs();
    overlay::GlyphAtlas atlas;
    feed(atlas, glyphs, false);
    ASSERT_TRUE(atlas.pack(4096));
    const char text[] = "Ab\x01 \xC3\xA9" "c";  // a control character draws nothing and does not advance; nor does the space draw
    overlay::QuadVertex quads[8 * overlay::kQuadVertices];
    std::int32_t advance = 0;
    const std::uint8_t colour[4] = {1, 2, 3, 255};
    const int made = atlas.lineQuads(overlay::GlyphSet::Plain, text, 100, 40, colour, quads, 8, &advance);
    int pen = 0, quad = 0;
    for (const std::uint32_t c : {0x41u, 0x62u, 0x01u, 0x20u, 0xE9u, 0x63u}) {  // the text's characters
        if (c < 32) continue;
        const overlay::AtlasGlyph& glyph = atlas.glyph(overlay::GlyphSet::Plain, latin1().indexOf(c));
        if (glyph.width > 0) {
            const overlay::QuadVertex& corner = quads[quad * overlay::kQuadVertices];
            const overlay::QuadVertex& opposite = quads[quad * overlay::kQuadVertices + 2];
            EXPECT_EQ(corner.x, 100 + pen - glyph.xOrigin);
            EXPECT_EQ(corner.y, 40 - glyph.yOrigin);
            EXPECT_EQ(opposite.colour[2], 3);
            EXPECT_EQ(opposite.x - corner.x, glyph.width);
            EXPECT_EQ(opposite.t - corner.t, glyph.height);
            EXPECT_EQ(corner.s, glyph.texelX);
            ++quad;
        }
        pen += glyph.advance;
    }
    EXPECT_EQ(made, quad);
    EXPECT_GE(made, 2);
    EXPECT_EQ(advance, pen);
    // Past the room given, glyphs are left out but still advance.
    EXPECT_EQ(atlas.lineQuads(overlay::GlyphSet::Plain, text, 100, 40, colour, quads, 1, &advance), 1);
    EXPECT_EQ(advance, pen);
    // So are glyphs beyond 16-bit window coordinates.
    EXPECT_EQ(atlas.lineQuads(overlay::GlyphSet::Plain, text, 40000, 40, colour, quads, 8, &advance), 0);
    EXPECT_EQ(advance, pen);
}

}  // namespace
