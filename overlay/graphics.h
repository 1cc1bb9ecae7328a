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

// The first lists of a font's blocks: its glyphs, and (for outlined text) the same glyphs grown by
// a pixel all round. 0: no such block.
struct GlyphBlocks {
    std::uint32_t glyphs = 0;
    std::uint32_t outline = 0;
};

// The host's viewport, in window pixels.
struct Viewport {
    int x = 0, y = 0, width = 640, height = 480;
};

// Where a line goes: a point of the 640x480 screen (config/layout.h), then whole window pixels.
using LinePlace = config::RowPlace;

class Graphics {
public:
    // The drawing context of the calling thread's current rendering context; null when none is.
    virtual void* currentContext() = 0;
    // Makes the blocks for `face` at a character height of `pixelHeight` pixels in the context
    // `drawingContext` (the current one), the outline block only when `outline` is set, and
    // measures the font into `metrics`. A block that cannot be made is 0.
    virtual GlyphBlocks buildGlyphs(void* drawingContext, const char* face, int pixelHeight, bool outline,
                                    platform::GlyphMetrics* metrics) = 0;
    // Deletes the blocks, when a context is current to delete them from.
    virtual void deleteGlyphs(const GlyphBlocks& blocks) = 0;

    // A frame. beginFrame saves the host state the frame changes, sets up the 640x480 overlay
    // space and makes `textColour` current; it answers the viewport. drawBox blends a rectangle
    // of window pixels (left to right - 1, bottom to top - 1) in `colour` with opacity `alpha`
    // over the picture. drawLine draws `text` with the block at `firstList`, in `colour`, or in
    // the text colour when that is null. endFrame gives the host its state back, the text colour
    // left current.
    virtual Viewport beginFrame(const float textColour[3]) = 0;
    virtual void drawBox(const float colour[3], float alpha, int left, int bottom, int right, int top) = 0;
    virtual void drawLine(std::uint32_t firstList, const LinePlace& place, const char* text, const float* colour) = 0;
    virtual void endFrame() = 0;

protected:
    ~Graphics() = default;
};

}  // namespace overlay
