// The glyphs as bitmap display lists, where no glyph texture can be made: one block of
// kGlyphBlockSize lists a font (and one for its outline), and rows drawn by calling them. The
// blocks are checked to be still the plug-in's before they are used or deleted, and made again
// from the same font under new names when a host took some of them over.
#pragma once

#include <cstdint>

#include "config/display_settings.h"
#include "overlay/graphics.h"
#include "platform/platform.h"

namespace overlay::gl {

class GlyphLists {
public:
    // Makes the block of `face` at `pixelHeight` (and its outline's when `outline`) in the current
    // context into `glyphs`, and measures the font into `metrics` (may be null). Keeps the font, to
    // make them again from it. Forgets the blocks it held.
    void build(void* drawingContext, const char* face, int pixelHeight, bool outline, platform::GlyphMetrics* metrics,
               GlyphBlocks* glyphs);
    // Whether `glyphs` holds the blocks made last.
    bool holds(const GlyphBlocks& glyphs) const;
    // Whether every list of the blocks is still a list, and the lists, called in a row, still move
    // the raster position by the font's advances (the control bytes' by nothing), no more, no less.
    // Lists a host deleted are found; lists it compiled again with contents of its own are found
    // when their moves add up to another advance (an empty list, geometry, other bitmaps), not
    // when they move exactly as the glyphs did. Nothing is drawn and no setting changes.
    bool intact(const GlyphBlocks& glyphs) const;
    // Makes the blocks again under new names, from the font they were made from; the old names
    // are left to whoever holds them now. False when they cannot be made (`glyphs` then holds
    // none).
    bool remake(GlyphBlocks* glyphs);
    // Deletes the blocks of `glyphs`, when they are still intact (and forgets them).
    void release(const GlyphBlocks& glyphs);

private:
    char face[config::kTextFieldSize] = {};
    int pixelHeight = 0;
    bool outlined = false;
    std::int32_t advanceSum = 0;  // of every glyph of the block
    std::uint32_t plain = 0, outline = 0;
};

// Draws the frame's rows with the lists of `glyphs`, in the viewport `view`: each row's shadow or
// outline, then its text, at its raster position; the raster position is left where the last
// row's text left it.
void drawRowsFromLists(const GlyphBlocks& glyphs, const Frame& frame, const Viewport& view);

}  // namespace overlay::gl
