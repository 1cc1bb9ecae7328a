// Where the rows of a page go. Positions in the settings are in a virtual screen of 640 x 480
// that is stretched over whatever viewport the host has set: origin at the bottom left, y upwards.
// The font keeps its pixel size, so what depends on the font moves by whole window pixels.
#pragma once

#include "config/display_settings.h"

namespace config {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// Where a row goes: the point (x, y) of the screen, then moved by (dx, dy) whole window pixels.
struct RowPlace {
    float x = 0.0f, y = 0.0f;
    int dx = 0, dy = 0;
};

// Row `row` (0-based, counting BLANK rows) of the displayed page, for a font whose ascent is
// `ascent` window pixels and a row whose text advances `advance` pixels: the first row at the
// anchored corner, HUD_POS_X and HUD_POS_Y from its edges, each further row HUD_STEP_Y lower. At a
// top corner the first row's top is HUD_POS_Y below the edge (its baseline an ascent lower); at a
// right corner every row ends HUD_POS_X from the edge.
RowPlace placeRow(const DisplaySettings& settings, int row, int ascent, int advance);

// Whether the place's point lies on the screen, its edges included. A row whose point lies
// outside draws nothing: GL has no valid raster position there.
bool onScreen(const RowPlace& place);

}  // namespace config
