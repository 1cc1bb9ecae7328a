#include "overlay/glyph_atlas.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace overlay {

namespace {

int smallestPowerOfTwoAtLeast(int value) {
    int side = 1;
    while (side < value && side < (1 << 30)) side *= 2;
    return side;
}

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

void GlyphAtlas::begin(bool outline) {
    releasePixels();
    for (auto& set : table) {
        for (AtlasGlyph& entry : set) entry = {};
    }
    outlined = outline;
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

bool GlyphAtlas::receive(int character, const platform::GlyphImage& image) {
    if (character < 0 || character >= kCodes) return true;
    AtlasGlyph& plain = table[static_cast<int>(GlyphSet::Plain)][character];
    plain = {0, 0, 0, 0, image.xOrigin, image.yOrigin, image.advance};
    AtlasGlyph& outline = table[static_cast<int>(GlyphSet::Outline)][character];
    // The outline covers the glyph with a pixel to spare all round and advances as it does.
    outline = {0, 0, 0, 0, image.xOrigin + 1, image.yOrigin + 1, image.advance};
    if (image.width <= 0 || image.height <= 0 || image.pixels == nullptr) return true;
    const std::size_t bytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    if (!reserve(bytes)) return false;
    std::memcpy(received + receivedSize, image.pixels, bytes);
    pixelOffset[character] = receivedSize;
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

    // Shelves, tallest glyphs first, so that each shelf wastes little height.
    struct Item {
        std::int16_t set;
        std::int16_t code;
    };
    Item order[kGlyphSets * kCodes];
    int items = 0;
    for (int set = 0; set < kGlyphSets; ++set) {
        for (int code = 0; code < kCodes; ++code) {
            if (table[set][code].width > 0) order[items++] = {static_cast<std::int16_t>(set), static_cast<std::int16_t>(code)};
        }
    }
    const auto heightOf = [&](const Item& item) { return table[item.set][item.code].height; };
    for (int i = 1; i < items; ++i) {  // insertion sort: a few hundred items, once per set-up
        const Item item = order[i];
        int j = i;
        for (; j > 0 && heightOf(order[j - 1]) < heightOf(item); --j) order[j] = order[j - 1];
        order[j] = item;
    }

    // The height the shelves need at a width, -1 when a glyph is wider; with `place`, each
    // glyph's texel is noted.
    const auto shelfHeight = [&](int shelfWidth, bool place) {
        int x = 0, y = 0, shelf = 0;
        for (int i = 0; i < items; ++i) {
            AtlasGlyph& entry = table[order[i].set][order[i].code];
            if (entry.width > shelfWidth) return -1;
            if (x + entry.width > shelfWidth) {
                y += shelf;
                x = 0;
                shelf = 0;
            }
            if (place) {
                entry.texelX = x;
                entry.texelY = y;
            }
            x += entry.width;
            shelf = entry.height > shelf ? entry.height : shelf;
        }
        return y + shelf;
    };
    // The narrowest width whose shelves fit in a height no greater than it, or the widest allowed.
    int width = 0, height = 0;
    for (int side = 16; side <= maxSide && width == 0; side *= 2) {
        const int needed = shelfHeight(side, false);
        if (needed < 0) continue;
        const int rounded = smallestPowerOfTwoAtLeast(needed > 0 ? needed : 1);
        if (rounded <= side || side == maxSide || side * 2 > maxSide) {
            if (rounded > maxSide) return false;
            width = side;
            height = rounded;
        }
    }
    if (width == 0) return false;
    shelfHeight(width, true);

    packed = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(width) * height, 1));
    if (packed == nullptr) return false;
    packedWidth = width;
    packedHeight = height;
    for (int i = 0; i < items; ++i) {
        const AtlasGlyph& entry = table[order[i].set][order[i].code];
        const AtlasGlyph& plain = table[static_cast<int>(GlyphSet::Plain)][order[i].code];
        const unsigned char* pixels = received + pixelOffset[order[i].code];
        unsigned char* corner = packed + static_cast<std::size_t>(entry.texelY) * width + entry.texelX;
        if (order[i].set == static_cast<int>(GlyphSet::Outline)) {
            dilateCoverage(pixels, plain.width, plain.height, corner, width);
        } else {
            for (int y = 0; y < entry.height; ++y) {
                std::memcpy(corner + static_cast<std::size_t>(y) * width, pixels + static_cast<std::size_t>(y) * entry.width,
                            static_cast<std::size_t>(entry.width));
            }
        }
    }
    return true;
}

void GlyphAtlas::releasePixels() {
    std::free(received);
    received = nullptr;
    receivedSize = receivedCapacity = 0;
    std::free(packed);
    packed = nullptr;
}

int GlyphAtlas::lineQuads(GlyphSet set, const char* text, int penX, int penY, const std::uint8_t colour[4],
                          QuadVertex* out, int capacity, std::int32_t* advance) const {
    const AtlasGlyph* glyphs = table[static_cast<int>(set)];
    std::int32_t pen = 0;
    int quads = 0;
    const auto inRange = [](std::int64_t low, std::int64_t high) { return low >= INT16_MIN && high <= INT16_MAX; };
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        const AtlasGlyph& glyph = glyphs[*p];
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
