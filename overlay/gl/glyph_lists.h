// The glyphs as bitmap display lists, where no glyph texture can be made: one block of
// kGlyphBlockSize lists a font (and one for its outline), and rows drawn by calling them.
#pragma once

#include <cstdint>

#include "overlay/graphics.h"
#include "platform/platform.h"

namespace overlay::gl {

// A block of lists for `face` at `pixelHeight` in `shape`, the control bytes' lists empty;
// `metrics` (may be null) gets the font's measures. 0 when no lists could be made.
std::uint32_t buildListBlock(void* drawingContext, const char* face, int pixelHeight, platform::GlyphShape shape,
                             platform::GlyphMetrics* metrics);
void deleteListBlock(std::uint32_t first);

// Draws the frame's rows with the lists of `glyphs`: each row's shadow or outline, then its text,
// at its raster position; the raster position is left where the last row's text left it.
void drawRowsFromLists(const GlyphBlocks& glyphs, const Frame& frame);

}  // namespace overlay::gl
