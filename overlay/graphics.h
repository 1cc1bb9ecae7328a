// What the overlay draws with. The overlay decides what is drawn where; a Graphics talks to the
// graphics API and to nothing else. The product's is OpenGL (gl/opengl_graphics.h); tests put
// recorders in its place, so that the overlay's logic builds and runs without GL.
#pragma once

#include <cstdint>

#include "config/display_settings.h"
#include "overlay/character_set.h"
#include "overlay/row_layout.h"
#include "platform/platform.h"

namespace overlay {

// What a font's glyphs were made into: a texture holding them all, or, where no texture could be
// made, display lists, one a character of the CharacterSet in its order (the first list of the
// glyph block and, for outlined text, of the block of the same glyphs grown by a pixel all round,
// each `listCount` lists). 0: none.
struct GlyphBlocks {
    std::uint32_t glyphs = 0;
    std::uint32_t outline = 0;
    std::uint32_t texture = 0;
    std::int32_t listCount = 0;

    bool any() const { return glyphs != 0 || texture != 0; }
};

// How a font's glyphs are made: with the outline glyphs as well, and antialiased (which only a
// glyph texture draws; the lists are 1-bit).
struct GlyphStyle {
    bool outline = false;
    bool smooth = false;
};

// One frame of the overlay: how its rows look, the box behind them, and the rows of the displayed
// page in the order they are drawn.
struct Frame {
    float colour[3] = {};
    config::TextShadow shadow = config::TextShadow::None;  // drawn first, in the shadow colour
    float shadowColour[3] = {};
    bool clipToViewport = false;  // rows and box are cut at the viewport's edges (and the host's scissor)

    float boxAlpha = 0.0f;        // opacity of the box behind the rows; 0: none
    float boxColour[3] = {};
    int boxPadding = 0;
    int stroke = 1;               // pixels: the drop shadow's offset right and down, the outline's width
    int ascent = 0, descent = 0;  // the font's, which the box reaches above and below the rows

    const DrawRow* rows = nullptr;
    int rowCount = 0;
};

// How far the outline's glyphs (grown by a pixel) are moved each way so that together they grow
// the text by frame.stroke pixels.
inline int outlineReach(const Frame& frame) { return frame.stroke > 1 ? frame.stroke - 1 : 0; }

class Graphics {
public:
    // The drawing context of the calling thread's current rendering context; null when none is.
    virtual void* currentContext() = 0;
    // Makes the glyphs of `characters` in `font` and `style`, in the context `drawingContext` (the
    // current one), measures the font into `metrics`, and notes each character's advance and
    // whether no face has it in `characters`, which the glyphs are made for and which must stay
    // as it is while they live. What cannot be made is 0.
    virtual GlyphBlocks buildGlyphs(void* drawingContext, const platform::FontRequest& font, CharacterSet& characters,
                                    const GlyphStyle& style, platform::GlyphMetrics* metrics) = 0;
    // Deletes them, when a context is current to delete them from and they are still the
    // overlay's own.
    virtual void deleteGlyphs(const GlyphBlocks& glyphs) = 0;

    // The display's DPI, as the system reports it (platform::displayDpi).
    virtual int displayDpi(void* drawingContext) = 0;

    // The viewport the next frame draws in, which the rows are placed in.
    virtual Viewport viewport() = 0;
    // Draws a frame with `glyphs`: saves the host's state, draws the box (blended behind the rows
    // that draw at all, boxAround's rectangle) and each row's shadow or outline and then its text,
    // row after row in the order given, and gives the host its state back, with the text colour
    // current and the raster position where the last row's text left it. Glyphs the host took over
    // since they were made are made again first, and `glyphs` gets their new names.
    virtual void drawFrame(GlyphBlocks& glyphs, const Frame& frame) = 0;

protected:
    ~Graphics() = default;
};

}  // namespace overlay
