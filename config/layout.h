// Where the rows of a page go. In SCREEN units positions are in a virtual screen of 640 x 480
// that is stretched over whatever viewport the host has set (origin at the bottom left, y
// upwards); in PIXELS units they are window pixels from the anchored corner of the viewport. The
// font keeps its pixel size either way, so what depends on the font moves by whole pixels.
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

// What placing the rows of a page needs beyond the settings, in window pixels.
struct PageLayout {
    int rowCount = 0;    // rows of the page, BLANK rows included
    int ascent = 0;      // the font's, above the baseline
    int descent = 0;     // below it
    int lineHeight = 0;  // from one line to the next as the font sets it
    int viewWidth = kScreenWidth;
    int viewHeight = kScreenHeight;
};

// The line step in window pixels under PIXELS: HUD_STEP_Y, or the font's line height.
int pixelStep(const DisplaySettings& settings, const PageLayout& page);

// Row `row` (0-based, counting BLANK rows) of a page, for a row whose text advances `advance`
// pixels. The first row at the anchored corner, HUD_POS_X and HUD_POS_Y from its edges, each
// further row HUD_STEP_Y lower. At a top corner the first row's top is HUD_POS_Y below the edge
// (its baseline an ascent lower); at a right corner every row ends HUD_POS_X from the edge. At a
// bottom corner that the file names, the last row's descent is HUD_POS_Y above the edge, so the
// block stays in the view; without HUD_ANCHOR the first row's baseline is HUD_POS_Y up from the
// bottom. In PIXELS units the point is the viewport's bottom-left corner, where GL always has a
// raster position, and the rest is whole pixels.
RowPlace placeRow(const DisplaySettings& settings, const PageLayout& page, int row, int advance);

// Whether the place's point lies on the screen, its edges included. A row whose point lies
// outside draws nothing: GL has no valid raster position there.
bool onScreen(const RowPlace& place);

}  // namespace config
