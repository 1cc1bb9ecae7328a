// measureFont for both platforms: the glyphs rendered as the lists draw them, without GL, and only
// their advances and whether a face has them kept.
#include "platform/platform.h"

namespace platform {

namespace {

class Measures final : public GlyphReceiver {
public:
    Measures(std::int16_t* advanceOut, bool* missingOut) : advances(advanceOut), missing(missingOut) {}

    bool receive(int index, const GlyphImage& image) override {
        if (advances != nullptr) advances[index] = static_cast<std::int16_t>(image.advance);
        if (missing != nullptr) missing[index] = image.missing;
        return true;
    }

private:
    std::int16_t* advances;
    bool* missing;
};

}  // namespace

bool measureFont(const FontRequest& font, const std::uint32_t* characters, int count, GlyphMetrics* metrics,
                 std::int16_t* advances, bool* missing) {
    if (metrics == nullptr) return false;
    *metrics = GlyphMetrics{};
    Measures measures(advances, missing);
    GlyphMetrics measured = {};
    // A glyph that did not render still gave its advance and its place among the missing.
    renderGlyphs(nullptr, font, characters, count, GlyphRendering::Bitmap, measures, &measured);
    if (measured.lineHeight <= 0 && measured.ascent <= 0) return false;
    *metrics = measured;
    return true;
}

}  // namespace platform
