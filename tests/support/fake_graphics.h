// A Graphics that draws nothing and records what the overlay asked of it, so that the overlay's
// logic runs without GL. `context` is what it answers as the current context (null: none); its
// font measures `ascent`, `descent`, `lineHeight` and `advance` pixels for every character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "overlay/graphics.h"

class FakeGraphics final : public overlay::Graphics {
public:
    struct Line {
        int slot;
        std::uint32_t revision;
        overlay::RowPlace place;
        std::string text;
    };
    struct Box {
        float alpha;
        int left, bottom, right, top;
    };

    void* context = nullptr;
    overlay::Viewport view;
    int ascent = 14, descent = 4, lineHeight = 20, advance = 10;
    std::uint32_t nextBlock = 1;
    std::vector<std::uint32_t> built;     // first lists of the glyph blocks made, in order
    std::vector<std::uint32_t> outlines;  // and of the outline blocks
    std::vector<std::uint32_t> deleted;   // first lists of the glyph blocks deleted, in order
    overlay::GlyphStyle style;            // of the last glyphs made
    int frames = 0;
    overlay::Frame look;                  // of the last frame (its rows are not kept)
    std::vector<Line> lines;  // of the last frame
    std::vector<Box> boxes;   // of the last frame
    bool keepLines = true;    // false: record nothing per frame, for benchmarks

    int dpi = 96;
    std::vector<int> builtSizes;  // the pixel size of each set of glyphs made, in order

    void* currentContext() override { return context; }
    int displayDpi(void*) override { return dpi; }
    overlay::GlyphBlocks buildGlyphs(void*, const platform::FontRequest& font, overlay::CharacterSet& characters,
                                     const overlay::GlyphStyle& made, platform::GlyphMetrics* metrics) override {
        style = made;
        builtSizes.push_back(font.pixelHeight);
        overlay::GlyphBlocks blocks;
        blocks.glyphs = take(built);
        if (made.outline) blocks.outline = take(outlines);
        blocks.listCount = kBlockSize;
        for (int index = 0; index < characters.count(); ++index) characters.advances()[index] = static_cast<std::int16_t>(advance);
        if (metrics != nullptr) {
            metrics->ascent = ascent;
            metrics->descent = descent;
            metrics->lineHeight = lineHeight;
        }
        return blocks;
    }
    void deleteGlyphs(const overlay::GlyphBlocks& blocks) override { deleted.push_back(blocks.glyphs); }
    overlay::Viewport viewport() override { return view; }
    // Records the frame's rows and its box, which is around the rows whose point is on the
    // screen: where GL has a raster position, but for the very edges.
    void drawFrame(overlay::GlyphBlocks&, const overlay::Frame& frame) override {
        ++frames;
        look = frame;
        look.rows = nullptr;
        if (!keepLines) return;
        lines.clear();
        boxes.clear();
        bool drawn[config::kMaxRows] = {};
        for (int index = 0; index < frame.rowCount; ++index) {
            const overlay::DrawRow& row = frame.rows[index];
            lines.push_back({row.slot, row.revision, row.place, row.text});
            drawn[index] = overlay::onScreen(row.place);
        }
        overlay::PixelRect box;
        if (frame.boxAlpha > 0.0f && overlay::boxAround(frame.rows, drawn, frame.rowCount, view, frame.ascent,
                                                        frame.descent, frame.boxPadding, &box)) {
            boxes.push_back({frame.boxAlpha, box.left, box.bottom, box.right, box.top});
        }
    }

private:
    static constexpr int kBlockSize = 256;
    std::uint32_t take(std::vector<std::uint32_t>& made) {
        made.push_back(nextBlock);
        nextBlock += kBlockSize;
        return made.back();
    }
};
