// The glyphs of a character set packed into one texture image, and the quads that draw a line of
// text from it with the same pixels as the font's bitmap glyph lists. Plain code: the OpenGL
// drawing uploads the image and draws the quads.
#pragma once

#include <cstddef>
#include <cstdint>

#include "overlay/character_set.h"
#include "platform/platform.h"

namespace overlay {

// The glyphs of a font, and the same glyphs grown by a pixel all round (for outlined text).
enum class GlyphSet { Plain = 0, Outline = 1 };
constexpr int kGlyphSets = 2;

// Where a glyph lies in the atlas image (texel of its lower left pixel), its size, its place
// relative to the pen as glBitmap's origin, and the pen's advance. Width 0: nothing to draw.
struct AtlasGlyph {
    std::int32_t texelX, texelY;
    std::int32_t width, height;
    std::int32_t xOrigin, yOrigin;
    std::int32_t advance;
};

// A corner of a glyph quad: its window pixel, its texel of the atlas, and its colour.
struct QuadVertex {
    std::int16_t x, y;
    std::int16_t s, t;
    std::uint8_t colour[4];
};
constexpr int kQuadVertices = 4;

class GlyphAtlas final : public platform::GlyphReceiver {
public:
    GlyphAtlas() = default;
    ~GlyphAtlas() { release(); }
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // Forgets every glyph and makes room for those of `characters` (which must outlive the
    // atlas's use), with their outlines when `outline` is set. False when memory runs out.
    bool begin(CharacterSet& characters, bool outline);
    // Keeps a copy of the glyph's pixels (from malloc: false when memory runs out), and notes the
    // character's advance and whether a face has it in the set. Characters never received draw
    // nothing and do not advance.
    bool receive(int index, const platform::GlyphImage& image) override;

    // Packs every glyph received (and its outline) into the smallest image whose sides are powers
    // of two no longer than `maxSide`, glyphs side by side: the quads sample texel centres only, so
    // no texel of a neighbour is ever read. False when they do not fit or memory runs out.
    bool pack(int maxSide);
    // The packed image: imageWidth() x imageHeight() bytes, rows bottom up, 0 where no glyph is.
    const unsigned char* image() const { return packed; }
    int imageWidth() const { return packedWidth; }
    int imageHeight() const { return packedHeight; }
    // Frees the pixels, received and packed; the glyph table stays.
    void releasePixels();

    // The glyph of the character at `index` of the set; an empty one for -1.
    const AtlasGlyph& glyph(GlyphSet set, int index) const;
    const CharacterSet* characterSet() const { return characters; }

    // Writes the quads that draw `text` (UTF-8 up to its NUL) with `set` in `colour` into `out`,
    // room for `capacity` quads of kQuadVertices vertices, the pen starting at window pixel
    // (penX, penY) and moving by each glyph's advance; returns how many quads it wrote. `advance`
    // gets the pen's whole move. Glyphs past `capacity`, and those that would lie beyond the
    // 16-bit window coordinates (far outside any window), are left out, but still advance.
    int lineQuads(GlyphSet set, const char* text, int penX, int penY, const std::uint8_t colour[4], QuadVertex* out,
                  int capacity, std::int32_t* advance) const;

private:
    bool reserve(std::size_t bytes);
    void release();

    CharacterSet* characters = nullptr;
    AtlasGlyph* table[kGlyphSets] = {};  // a glyph for each character of the set
    std::size_t* pixelOffset = nullptr;  // of each received glyph's pixels in `received`
    int count = 0;
    bool outlined = false;
    unsigned char* received = nullptr;
    std::size_t receivedSize = 0;
    std::size_t receivedCapacity = 0;
    unsigned char* packed = nullptr;
    int packedWidth = 0;
    int packedHeight = 0;
};

// Writes into `out` ((width + 2) x (height + 2) pixels, rows `outStride` bytes apart) the pixels
// `in` (width x height, one byte each) grown by one pixel all round: each pixel of `out` is the
// largest of the pixels of `in` in the 3 x 3 square around it. For 1-bit glyphs: a pixel is set
// when it or one of its 8 neighbours is.
void dilateCoverage(const unsigned char* in, int width, int height, unsigned char* out, int outStride);

}  // namespace overlay
