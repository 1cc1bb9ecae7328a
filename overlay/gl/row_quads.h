// Rows drawn from the glyph texture: each row's quads (its shadow's or outline's, then its
// text's), kept in the row's slot and made again only when its text, its place or the frame's
// look changes, and the frame's rows drawn in one batch of client arrays.
#pragma once

#include <cstdint>

#include "config/page_table.h"
#include "overlay/gl/gl_features.h"
#include "overlay/gl/glyph_texture.h"
#include "overlay/gl/raster_rules.h"
#include "overlay/graphics.h"

namespace overlay::gl {

class RowQuads {
public:
    RowQuads() = default;
    ~RowQuads() { release(); }
    RowQuads(const RowQuads&) = delete;
    RowQuads& operator=(const RowQuads&) = delete;

    // Room for the quads of every slot, made at set-up (false when memory runs out), and its
    // release; either forgets every slot's quads.
    bool reserve();
    void release();

    // Draws the frame's rows with `texture`'s glyphs over the whole window, with the overlay
    // space and the viewport `view` in force before and after, and leaves the colour and the
    // raster position as the glyph lists would.
    void draw(const GlyphTexture& texture, const GlFeatures& features, const Frame& frame, const Viewport& view);

private:
    // The most glyphs a row draws: its text is at most a line buffer less its terminator; and the
    // room a row has: its shadow's or outline's quads, then its text's.
    static constexpr int kMaxRowQuads = 1023;
    static constexpr int kSlotQuads = 2 * kMaxRowQuads;

    // What is kept of each slot's row: where its raster position falls, and its quads.
    struct Slot {
        bool placed = false;  // x, y, view and raster belong together
        float x = 0.0f, y = 0.0f;
        Viewport view;
        RasterPoint raster;
        bool built = false;          // the quads belong to `revision` of `generation`, at the pen
        std::uint32_t revision = 0;  // pixel, in `colours` with `shadow`
        std::uint32_t generation = 0;
        Pixel pen;
        std::uint8_t colours[2][4] = {};
        config::TextShadow shadow = config::TextShadow::None;
        int stroke = 1;
        int quads = 0;        // the shadow's or outline's, then the text's
        int shadowQuads = 0;  // of which the shadow's or outline's
    };

    QuadVertex* quadsOf(int slot) const;
    void place(Slot& slot, const DrawRow& row, const Viewport& view);
    void build(Slot& slot, const DrawRow& row, Pixel pen, const GlyphTexture& texture, const Frame& frame);
    GLint enterClientArrays(const GlFeatures& features) const;
    void leaveClientArrays(const GlFeatures& features, GLint hostVertexArray) const;

    QuadVertex* store = nullptr;  // kSlotQuads quads for each slot
    Slot slots[config::kMaxRows];
};

}  // namespace overlay::gl
