#include "overlay/glyph_atlas.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// stb_rect_pack, from Debian's libstb-dev: a skyline packer. Its checks are compiled out: nothing
// in the host's process may abort.
#define STB_RECT_PACK_IMPLEMENTATION
#define STBRP_STATIC
#define STBRP_ASSERT(condition) ((void)0)
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb_rect_pack.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace overlay {

namespace {

const AtlasGlyph kNoGlyph = {};

}  // namespace

void dilateCoverage(const unsigned char* in, int width, int height, unsigned char* out, int outStride) {
    const int outWidth = width + 2;
    const int outHeight = height + 2;
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            unsigned char largest = 0;
            // Pixel (x, y) of `out` is pixel (x - 1, y - 1) of `in`; its square reaches one more.
            for (int sy = y - 2; sy <= y; ++sy) {
                if (sy < 0 || sy >= height) continue;
                for (int sx = x - 2; sx <= x; ++sx) {
                    if (sx < 0 || sx >= width) continue;
                    const unsigned char value = in[static_cast<std::size_t>(sy) * width + sx];
                    largest = value > largest ? value : largest;
                }
            }
            out[static_cast<std::size_t>(y) * outStride + x] = largest;
        }
    }
}

void GlyphAtlas::release() {
    releasePixels();
    for (AtlasGlyph*& set : table) {
        std::free(set);
        set = nullptr;
    }
    std::free(pixelOffset);
    pixelOffset = nullptr;
    count = 0;
    characters = nullptr;
}

bool GlyphAtlas::begin(CharacterSet& set, bool outline) {
    release();
    const std::size_t n = set.count() > 0 ? static_cast<std::size_t>(set.count()) : 1;
    for (AtlasGlyph*& glyphs : table) glyphs = static_cast<AtlasGlyph*>(std::calloc(n, sizeof(AtlasGlyph)));
    pixelOffset = static_cast<std::size_t*>(std::calloc(n, sizeof(std::size_t)));
    if (table[0] == nullptr || table[1] == nullptr || pixelOffset == nullptr) {
        release();
        return false;
    }
    characters = &set;
    count = set.count();
    outlined = outline;
    return true;
}

bool GlyphAtlas::reserve(std::size_t bytes) {
    if (receivedSize + bytes <= receivedCapacity) return true;
    std::size_t grown = receivedCapacity < 4096 ? 4096 : receivedCapacity;
    while (grown < receivedSize + bytes) grown *= 2;
    void* larger = std::realloc(received, grown);
    if (larger == nullptr) return false;
    received = static_cast<unsigned char*>(larger);
    receivedCapacity = grown;
    return true;
}

bool GlyphAtlas::receive(int index, const platform::GlyphImage& image) {
    if (index < 0 || index >= count) return true;
    characters->advances()[index] = static_cast<std::int16_t>(image.advance);
    characters->missing()[index] = image.missing;
    AtlasGlyph& plain = table[static_cast<int>(GlyphSet::Plain)][index];
    plain = {0, 0, 0, 0, image.xOrigin, image.yOrigin, image.advance};
    AtlasGlyph& outline = table[static_cast<int>(GlyphSet::Outline)][index];
    // The outline covers the glyph with a pixel to spare all round and advances as it does.
    outline = {0, 0, 0, 0, image.xOrigin + 1, image.yOrigin + 1, image.advance};
    if (image.width <= 0 || image.height <= 0 || image.pixels == nullptr) return true;
    const std::size_t bytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    if (!reserve(bytes)) return false;
    std::memcpy(received + receivedSize, image.pixels, bytes);
    pixelOffset[index] = receivedSize;
    receivedSize += bytes;
    plain.width = image.width;
    plain.height = image.height;
    if (outlined) {
        outline.width = image.width + 2;
        outline.height = image.height + 2;
    }
    return true;
}

bool GlyphAtlas::pack(int maxSide) {
    std::free(packed);
    packed = nullptr;
    packedWidth = packedHeight = 0;
    if (maxSide <= 0) return false;

    // One rectangle a glyph with pixels; its id tells the set and the character.
    std::size_t rectangles = 0;
    std::uint64_t area = 0;
    for (int set = 0; set < kGlyphSets; ++set) {
        for (int index = 0; index < count; ++index) {
            const AtlasGlyph& entry = table[set][index];
            if (entry.width <= 0) continue;
            if (entry.width > maxSide || entry.height > maxSide) return false;
            ++rectangles;
            area += static_cast<std::uint64_t>(entry.width) * static_cast<std::uint64_t>(entry.height);
        }
    }
    auto* rects = static_cast<stbrp_rect*>(std::malloc((rectangles > 0 ? rectangles : 1) * sizeof(stbrp_rect)));
    auto* nodes = static_cast<stbrp_node*>(std::malloc(static_cast<std::size_t>(maxSide) * sizeof(stbrp_node)));
    if (rects == nullptr || nodes == nullptr) {
        std::free(rects);
        std::free(nodes);
        return false;
    }
    // The smallest image first: sizes of each area from the squarest, wider than high.
    int width = 0, height = 0;
    for (int areaLog = 8; areaLog <= 62 && width == 0; ++areaLog) {
        if ((std::uint64_t{1} << areaLog) < area) continue;
        for (int widthLog = (areaLog + 1) / 2; widthLog <= areaLog && width == 0; ++widthLog) {
            const int heightLog = areaLog - widthLog;
            if (widthLog > 30 || (1 << widthLog) > maxSide) break;
            std::size_t n = 0;
            for (int set = 0; set < kGlyphSets; ++set) {
                for (int index = 0; index < count; ++index) {
                    const AtlasGlyph& entry = table[set][index];
                    if (entry.width <= 0) continue;
                    rects[n] = {};
                    rects[n].id = set * count + index;
                    rects[n].w = entry.width;
                    rects[n].h = entry.height;
                    ++n;
                }
            }
            stbrp_context context;
            stbrp_init_target(&context, 1 << widthLog, 1 << heightLog, nodes, 1 << widthLog);
            if (stbrp_pack_rects(&context, rects, static_cast<int>(n)) == 1) {
                width = 1 << widthLog;
                height = 1 << heightLog;
            }
        }
        if ((std::uint64_t{1} << areaLog) > static_cast<std::uint64_t>(maxSide) * static_cast<std::uint64_t>(maxSide)) break;
    }
    std::free(nodes);
    if (width == 0) {
        std::free(rects);
        return false;
    }
    packed = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(width) * height, 1));
    if (packed == nullptr) {
        std::free(rects);
        return false;
    }
    packedWidth = width;
    packedHeight = height;
    for (std::size_t i = 0; i < rectangles; ++i) {
        const int set = rects[i].id / (count > 0 ? count : 1);
        const int index = rects[i].id % (count > 0 ? count : 1);
        AtlasGlyph& entry = table[set][index];
        entry.texelX = rects[i].x;
        entry.texelY = rects[i].y;
        const AtlasGlyph& plain = table[static_cast<int>(GlyphSet::Plain)][index];
        const unsigned char* pixels = received + pixelOffset[index];
        unsigned char* corner = packed + static_cast<std::size_t>(entry.texelY) * width + entry.texelX;
        if (set == static_cast<int>(GlyphSet::Outline)) {
            dilateCoverage(pixels, plain.width, plain.height, corner, width);
        } else {
            for (int y = 0; y < entry.height; ++y) {
                std::memcpy(corner + static_cast<std::size_t>(y) * width, pixels + static_cast<std::size_t>(y) * entry.width,
                            static_cast<std::size_t>(entry.width));
            }
        }
    }
    std::free(rects);
    return true;
}

void GlyphAtlas::releasePixels() {
    std::free(received);
    received = nullptr;
    receivedSize = receivedCapacity = 0;
    std::free(packed);
    packed = nullptr;
}

const AtlasGlyph& GlyphAtlas::glyph(GlyphSet set, int index) const {
    if (index < 0 || index >= count) return kNoGlyph;
    return table[static_cast<int>(set)][index];
}

int GlyphAtlas::lineQuads(GlyphSet set, const char* text, int penX, int penY, const std::uint8_t colour[4],
                          QuadVertex* out, int capacity, std::int32_t* advance) const {
    std::int32_t pen = 0;
    int quads = 0;
    const auto inRange = [](std::int64_t low, std::int64_t high) { return low >= INT16_MIN && high <= INT16_MAX; };
    for (std::size_t at = 0; text[at] != '\0';) {
        const std::uint32_t c = nextCharacter(text, &at);
        const AtlasGlyph& glyph = this->glyph(set, characters != nullptr ? characters->indexOf(c) : -1);
        const std::int64_t left = static_cast<std::int64_t>(penX) + pen - glyph.xOrigin;
        const std::int64_t bottom = static_cast<std::int64_t>(penY) - glyph.yOrigin;
        if (glyph.width > 0 && quads < capacity && inRange(left, left + glyph.width) &&
            inRange(bottom, bottom + glyph.height)) {
            const auto x0 = static_cast<std::int16_t>(left);
            const auto y0 = static_cast<std::int16_t>(bottom);
            const auto x1 = static_cast<std::int16_t>(left + glyph.width);
            const auto y1 = static_cast<std::int16_t>(bottom + glyph.height);
            const auto s0 = static_cast<std::int16_t>(glyph.texelX);
            const auto t0 = static_cast<std::int16_t>(glyph.texelY);
            const auto s1 = static_cast<std::int16_t>(glyph.texelX + glyph.width);
            const auto t1 = static_cast<std::int16_t>(glyph.texelY + glyph.height);
            QuadVertex* quad = out + static_cast<std::size_t>(quads) * kQuadVertices;
            quad[0] = {x0, y0, s0, t0, {colour[0], colour[1], colour[2], colour[3]}};
            quad[1] = {x1, y0, s1, t0, {colour[0], colour[1], colour[2], colour[3]}};
            quad[2] = {x1, y1, s1, t1, {colour[0], colour[1], colour[2], colour[3]}};
            quad[3] = {x0, y1, s0, t1, {colour[0], colour[1], colour[2], colour[3]}};
            ++quads;
        }
        pen += glyph.advance;
    }
    *advance = pen;
    return quads;
}

}  // namespace overlay
