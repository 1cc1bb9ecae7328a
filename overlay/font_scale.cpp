#include "overlay/font_scale.h"

#include <cmath>

namespace overlay {

int believedDpi(long reported) {
    return reported >= kSmallestDpi && reported <= kLargestDpi ? static_cast<int>(reported) : kStandardDpi;
}

FontScaling fontScaling(const config::DisplaySettings& settings, int viewHeight, int dpi) {
    FontScaling scaling;
    scaling.pixelSize = settings.fontSize;
    if (settings.fontScale == config::FontScale::None || settings.fontSize <= 0) return scaling;
    const double raw = settings.fontScale == config::FontScale::View
                           ? static_cast<double>(viewHeight > 0 ? viewHeight : 1) / config::kScreenHeight
                           : static_cast<double>(believedDpi(dpi)) / kStandardDpi;
    const long size = std::lround(settings.fontSize * raw);
    scaling.pixelSize = size < kSmallestScaledFont ? kSmallestScaledFont
                        : size > kLargestScaledFont ? kLargestScaledFont
                                                    : static_cast<int>(size);
    // Past the largest size the rest of the look stops growing with the text; below the
    // smallest it keeps to the view, so that a tiny view's shadow stays a pixel.
    const double capped = static_cast<double>(kLargestScaledFont) / settings.fontSize;
    scaling.factor = raw < capped ? raw : capped;
    const long stroke = std::lround(scaling.factor);
    scaling.stroke = stroke < 1 ? 1 : static_cast<int>(stroke);
    return scaling;
}

namespace {

float scaled(float value, double factor) { return static_cast<float>(std::lround(value * factor)); }

}  // namespace

void scaleLayout(const config::DisplaySettings& settings, const FontScaling& scaling, config::DisplaySettings* out) {
    *out = settings;
    out->fontSize = scaling.pixelSize;
    const bool screenView = settings.fontScale == config::FontScale::View && settings.units == config::Units::Screen;
    const bool pixelsDpi = settings.fontScale == config::FontScale::Dpi && settings.units == config::Units::Pixels;
    if (screenView || pixelsDpi) {
        out->boxPadding = static_cast<std::int32_t>(std::lround(settings.boxPadding * scaling.factor));
    }
    if (!pixelsDpi) return;
    out->posX = scaled(settings.posX, scaling.factor);
    out->posY = scaled(settings.posY, scaling.factor);
    // 0 stands for the font's line height, which grew with the font.
    if (settings.stepY >= 1.0f) {
        out->stepY = scaled(settings.stepY, scaling.factor);
        if (out->stepY < 1.0f) out->stepY = 1.0f;
    }
}

}  // namespace overlay
