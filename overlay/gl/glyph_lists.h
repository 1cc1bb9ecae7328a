// The glyphs as bitmap display lists, where no glyph texture can be made: one list a character of
// the CharacterSet, in its order (and a block of the same for the outline), and rows drawn by
// calling them. The blocks are checked to be still the plug-in's before they are used or deleted,
// and made again from the same font under new names when a host took some of them over.
#pragma once

#include <cstdint>

#include "config/settings_reader.h"
#include "overlay/graphics.h"
#include "platform/platform.h"

namespace overlay::gl {

class GlyphLists {
public:
    GlyphLists() = default;
    ~GlyphLists();
    GlyphLists(const GlyphLists&) = delete;
    GlyphLists& operator=(const GlyphLists&) = delete;

    // Makes the block of `characters` in `font` (and its outline's when `outline`) in the current
    // context into `glyphs`, notes the characters' advances in `characters` (which must stay as it
    // is while the lists live), and measures the font into `metrics` (may be null). Keeps the
    // font, to make them again from it. Forgets the blocks it held.
    void build(void* drawingContext, const platform::FontRequest& font, CharacterSet& characters, bool outline,
               platform::GlyphMetrics* metrics, GlyphBlocks* glyphs);
    // Whether `glyphs` holds the blocks made last.
    bool holds(const GlyphBlocks& glyphs) const;
    // Whether every list of the blocks is still a list, and the lists, called in a row, still move
    // the raster position by the characters' advances, no more, no less. Lists a host deleted are
    // found; lists it compiled again with contents of its own are found when their moves add up
    // to another advance (an empty list, geometry, other bitmaps), not when they move exactly as
    // the glyphs did. Nothing is drawn and no setting changes.
    bool intact(const GlyphBlocks& glyphs) const;
    // Makes the blocks again under new names, from the font they were made from (measured into
    // `metrics`, may be null); the old names are left to whoever holds them now. False when they
    // cannot be made (`glyphs` then holds none).
    bool remake(GlyphBlocks* glyphs, platform::GlyphMetrics* metrics = nullptr);
    // Deletes the blocks of `glyphs`, when they are still intact (and forgets them).
    void release(const GlyphBlocks& glyphs);

    // Draws the frame's rows with the lists of `glyphs`, in the viewport `view`: each row's shadow
    // or outline, then its text, at its raster position; the raster position is left where the
    // last row's text left it.
    void draw(const GlyphBlocks& glyphs, const Frame& frame, const Viewport& view) const;

private:
    char face[config::kTextBufferSize] = {};
    char fallbacks[config::kTextBufferSize] = {};
    int pixelHeight = 0;
    bool outlined = false;
    CharacterSet* characters = nullptr;
    std::uint32_t* everyList = nullptr;  // 0 to count - 1, to call a block's lists in one go
    std::int32_t count = 0;
    std::int32_t advanceSum = 0;         // of every glyph of the block
    std::uint32_t plain = 0, outline = 0;
};

}  // namespace overlay::gl
