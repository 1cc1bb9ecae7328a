// The glyphs as bitmap display lists, where no glyph texture can be made: one list a character of
// the CharacterSet, in its order (and a block of the same for the outline), and rows drawn by
// calling them.
#pragma once

#include <cstdint>

#include "overlay/graphics.h"
#include "platform/platform.h"

namespace overlay::gl {

// A block of lists for the characters of `characters` in `font` and `shape`, their advances and
// missing characters noted in `characters`; `metrics` (may be null) gets the font's measures. 0
// when no lists could be made.
std::uint32_t buildListBlock(void* drawingContext, const platform::FontRequest& font, CharacterSet& characters,
                             platform::GlyphShape shape, platform::GlyphMetrics* metrics);
void deleteListBlock(std::uint32_t first, std::int32_t count);

// Draws the frame's rows with the lists of `glyphs`, for `characters`: each row's shadow or
// outline, then its text, at its raster position; the raster position is left where the last
// row's text left it.
void drawRowsFromLists(const GlyphBlocks& glyphs, const CharacterSet& characters, const Frame& frame);

}  // namespace overlay::gl
