// The pixel size the font is drawn at under FONT_SCALE, and what follows it: the glyphs are made
// at that size (never stretched), and the shadow, the outline, the box padding and, for PIXELS
// layouts on a high-DPI screen, the positions and step grow by the same factor. Without
// FONT_SCALE everything is as FONT_SIZE and the keys give it. The plug-in and the settings check
// both lay out with it.
#pragma once

#include "config/display_settings.h"

namespace overlay {

constexpr int kSmallestScaledFont = 6;
constexpr int kLargestScaledFont = 256;
constexpr int kStandardDpi = 96;

// A DPI the system reported, as the rule takes it: one no screen has (0, negative, or beyond
// kLargestDpi) is not believed and counts as the standard.
constexpr int kSmallestDpi = 24;
constexpr int kLargestDpi = 1200;
int believedDpi(long reported);

struct FontScaling {
    int pixelSize = 0;    // the glyphs' character height
    double factor = 1.0;  // how much larger than FONT_SIZE: what the sizes below grew by
    int stroke = 1;       // the drop shadow's offset and the outline's width, in pixels
};
inline bool operator==(const FontScaling& a, const FontScaling& b) {
    return a.pixelSize == b.pixelSize && a.factor == b.factor && a.stroke == b.stroke;
}

// The scaling of `settings` in a view `viewHeight` pixels high on a display of `dpi`.
FontScaling fontScaling(const config::DisplaySettings& settings, int viewHeight, int dpi);

// `settings` as the rows are laid out and drawn under `scaling`: in SCREEN units with VIEW the
// box padding grows; in PIXELS units with DPI the positions, a given step and the box padding.
void scaleLayout(const config::DisplaySettings& settings, const FontScaling& scaling, config::DisplaySettings* out);

}  // namespace overlay
