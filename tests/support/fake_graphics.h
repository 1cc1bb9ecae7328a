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
        overlay::LinePlace place;
        std::string text;
    };
    struct Box {
        float alpha;
        int left, bottom, right, top;
    };

    void* context = nullptr;
    overlay::Viewport viewport;
    int ascent = 14, descent = 4, lineHeight = 20, advance = 10;
    std::uint32_t nextBlock = 1;
    std::vector<std::uint32_t> built;     // first lists of the glyph blocks made, in order
    std::vector<std::uint32_t> outlines;  // and of the outline blocks
    std::vector<std::uint32_t> deleted;   // first lists of the glyph blocks deleted, in order
    overlay::GlyphStyle style;            // of the last glyphs made
    int frames = 0;
    overlay::TextLook look = {};          // of the last frame
    std::vector<Line> lines;  // of the last frame
    std::vector<Box> boxes;   // of the last frame
    bool keepLines = true;    // false: record nothing per frame, for benchmarks

    void* currentContext() override { return context; }
    overlay::GlyphBlocks buildGlyphs(void*, const char*, int, const overlay::GlyphStyle& made,
                                     platform::GlyphMetrics* metrics) override {
        style = made;
        overlay::GlyphBlocks blocks;
        blocks.glyphs = take(built);
        if (made.outline) blocks.outline = take(outlines);
        if (metrics != nullptr) {
            metrics->ascent = ascent;
            metrics->descent = descent;
            metrics->lineHeight = lineHeight;
            for (int c = overlay::kFirstGlyphChar; c < overlay::kGlyphBlockSize; ++c) {
                metrics->advance[c] = static_cast<std::int16_t>(advance);
            }
        }
        return blocks;
    }
    void deleteGlyphs(const overlay::GlyphBlocks& blocks) override { deleted.push_back(blocks.glyphs); }
    overlay::Viewport beginFrame(const overlay::TextLook& frameLook) override {
        ++frames;
        look = frameLook;
        if (keepLines) {
            lines.clear();
            boxes.clear();
        }
        return viewport;
    }
    void drawBox(const float*, float alpha, int left, int bottom, int right, int top) override {
        if (keepLines) boxes.push_back({alpha, left, bottom, right, top});
    }
    void drawRow(const overlay::GlyphBlocks&, const overlay::RowText& row) override {
        if (keepLines) lines.push_back({row.slot, row.revision, row.place, row.text});
    }
    bool startsInView(const overlay::LinePlace& place) override { return config::onScreen(place); }
    void endFrame() override {}

private:
    std::uint32_t take(std::vector<std::uint32_t>& made) {
        made.push_back(nextBlock);
        nextBlock += overlay::kGlyphBlockSize;
        return made.back();
    }
};
