// What the overlay draws with. The overlay decides what is drawn where; a Graphics talks to the
// graphics API and to nothing else. The product's is OpenGL (overlay_draw.h); tests put
// recorders in its place, so that the overlay's logic builds and runs without GL.
#pragma once

#include <cstdint>

#include "config/layout.h"
#include "platform/platform.h"

namespace overlay {

// Glyph display lists: one block of 256 names, one per byte value, so that every byte of a line
// names a list of the overlay's own. Bytes 32-255 hold the font's Windows-1252 glyphs; bytes 1-31
// are empty lists and draw nothing.
constexpr int kGlyphBlockSize = 256;
constexpr int kFirstGlyphChar = 32;
constexpr int kGlyphCount = kGlyphBlockSize - kFirstGlyphChar;

// What a font's glyphs were made into: a texture holding them all, or, where no texture could be
// made, display lists (the first list of the glyph block and, for outlined text, of the block of
// the same glyphs grown by a pixel all round). 0: none.
struct GlyphBlocks {
    std::uint32_t glyphs = 0;
    std::uint32_t outline = 0;
    std::uint32_t texture = 0;

    bool any() const { return glyphs != 0 || texture != 0; }
};

// How a font's glyphs are made: with the outline glyphs as well, and antialiased (which only a
// glyph texture draws; the lists are 1-bit).
struct GlyphStyle {
    bool outline = false;
    bool smooth = false;
};

// What each line of a frame gets drawn first, in the shadow colour: nothing, the line a pixel
// right and down, or the outline glyphs.
enum class Shadow { None, Drop, Outline };

// How the lines of a frame look.
struct TextLook {
    float colour[3];
    Shadow shadow;
    float shadowColour[3];
    bool clipToViewport;  // rows and box are cut at the viewport's edges (and the host's scissor)
};

// The host's viewport, in window pixels.
struct Viewport {
    int x = 0, y = 0, width = 640, height = 480;
};

// Where a line goes: a point of the 640x480 screen (config/layout.h), then whole window pixels.
using LinePlace = config::RowPlace;

// The rows of a page the overlay can show at once; a row's slot is its index in the page.
constexpr int kRowSlots = 28;

// A row of the displayed page, for one frame. `revision` changes whenever the row's text changes
// and never comes back for another text, so that whatever is made from the text of a slot can be
// kept until the revision changes. `text` stays as it is until the frame ends.
struct RowText {
    int slot;
    std::uint32_t revision;
    LinePlace place;
    const char* text;
};

class Graphics {
public:
    // The drawing context of the calling thread's current rendering context; null when none is.
    virtual void* currentContext() = 0;
    // Makes the glyphs of `face` at a character height of `pixelHeight` pixels in `style`, in the
    // context `drawingContext` (the current one), and measures the font into `metrics`. What
    // cannot be made is 0.
    virtual GlyphBlocks buildGlyphs(void* drawingContext, const char* face, int pixelHeight, const GlyphStyle& style,
                                    platform::GlyphMetrics* metrics) = 0;
    // Deletes them, when a context is current to delete them from.
    virtual void deleteGlyphs(const GlyphBlocks& glyphs) = 0;

    // A frame. beginFrame saves the host state the frame changes, sets up the 640x480 overlay
    // space and makes the text colour current; it answers the viewport. drawBox blends a
    // rectangle of window pixels (left to right - 1, bottom to top - 1) in `colour` with opacity
    // `alpha` over the picture. drawRow draws a row with `glyphs` as `look` says: its shadow or
    // outline, then its text, row after row in the order given. endFrame gives the host its state
    // back, with the text colour current and the raster position where the last row's text left
    // it.
    virtual Viewport beginFrame(const TextLook& look) = 0;
    virtual void drawBox(const float colour[3], float alpha, int left, int bottom, int right, int top) = 0;
    // Between beginFrame and endFrame: whether a row at `place` draws at all, which is GL's to say
    // for a point on the screen's very edge.
    virtual bool startsInView(const LinePlace& place) = 0;
    virtual void drawRow(const GlyphBlocks& glyphs, const RowText& row) = 0;
    virtual void endFrame() = 0;

protected:
    ~Graphics() = default;
};

}  // namespace overlay
