// A Graphics that draws nothing and records what the overlay asked of it, so that the overlay's
// logic runs without GL. `context` is what it answers as the current context (null: none).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "overlay/graphics.h"

class FakeGraphics final : public overlay::Graphics {
public:
    struct Line {
        std::uint32_t firstList;
        float x, y;
        std::string text;
    };

    void* context = nullptr;
    std::uint32_t nextBlock = 1;
    std::vector<std::uint32_t> built;    // first lists of the blocks made, in order
    std::vector<std::uint32_t> deleted;  // first lists of the blocks deleted, in order
    int frames = 0;
    std::vector<Line> lines;  // of the last frame
    bool keepLines = true;    // false: record nothing per frame, for benchmarks

    void* currentContext() override { return context; }
    std::uint32_t buildGlyphs(void*, const char*, int) override {
        built.push_back(nextBlock);
        nextBlock += overlay::kGlyphBlockSize;
        return built.back();
    }
    void deleteGlyphs(std::uint32_t firstList) override { deleted.push_back(firstList); }
    void beginFrame(const float*) override {
        ++frames;
        if (keepLines) lines.clear();
    }
    void drawLine(std::uint32_t firstList, float x, float y, const char* text) override {
        if (keepLines) lines.push_back({firstList, x, y, text});
    }
    void endFrame() override {}
};
