// Where the rows of a page go, and which window pixels GL then draws them on. In SCREEN units
// positions are in the 640 x 480 screen (config::kScreenWidth) stretched over whatever viewport
// the host has set; in PIXELS units they are window pixels from the anchored corner of the
// viewport. The font keeps its pixel size either way, so what depends on the font moves by whole
// pixels.
//
// Two rules here come from how GL draws bitmaps, and the drawing, its box and the settings check
// all follow them through this file: a point off the screen has no raster position, so its row
// draws nothing, and one on it, its edges included, draws (onScreen); and a bitmap starts at the
// whole window pixel below its point (penPixel).
#pragma once

#include <cstdint>

#include "config/display_settings.h"

namespace overlay {

// The host's viewport, in window pixels.
struct Viewport {
    int x = 0, y = 0, width = config::kScreenWidth, height = config::kScreenHeight;
};

// Where a row goes: the point (x, y) of the screen, then moved by (dx, dy) whole window pixels.
struct RowPlace {
    float x = 0.0f, y = 0.0f;
    int dx = 0, dy = 0;
};

// A row of the displayed page on its way to the screen: its text from the line cache, its place
// from placeRow. The text lives in the row's own buffer until the row is composed again.
struct DrawRow {
    int slot = 0;                // the row's index in the page
    std::uint32_t revision = 0;  // changes whenever the text changes, and never comes back
    const char* text = nullptr;
    std::int32_t advance = 0;    // the text's width in window pixels
    RowPlace place;
};

// What placing the rows of a page needs beyond the settings, in window pixels.
struct PageLayout {
    int rowCount = 0;    // rows of the page, BLANK rows included
    int ascent = 0;      // the font's, above the baseline
    int descent = 0;     // below it
    int lineHeight = 0;  // from one line to the next as the font sets it
    int viewWidth = config::kScreenWidth;
    int viewHeight = config::kScreenHeight;
};

// The line step in window pixels under PIXELS: HUD_STEP_Y, or the font's line height.
int pixelStep(const config::DisplaySettings& settings, const PageLayout& page);

// Row `row` (0-based, counting BLANK rows) of a page, for a row whose text advances `advance`
// pixels. The first row at the anchored corner, HUD_POS_X and HUD_POS_Y from its edges, each
// further row HUD_STEP_Y lower. At a top corner the first row's top is HUD_POS_Y below the edge
// (its baseline an ascent lower); at a right corner every row ends HUD_POS_X from the edge. At a
// bottom corner that the file names, the last row's descent is HUD_POS_Y above the edge, so the
// block stays in the view; without HUD_ANCHOR the first row's baseline is HUD_POS_Y up from the
// bottom. In PIXELS units the point is the viewport's bottom-left corner, where GL always has a
// raster position, and the rest is whole pixels.
RowPlace placeRow(const config::DisplaySettings& settings, const PageLayout& page, int row, int advance);

// Whether the place's point lies on the screen, its edges included. A row whose point lies
// outside draws nothing: GL has no valid raster position there. A row whose point lies on it
// draws, at the very edges too, where GL's projection may round the point a hair outside and the
// drawing reaches its window position another way.
bool onScreen(const RowPlace& place);

// A point of the screen in window pixels of `view`, not rounded, and a window pixel edge back in
// the screen.
double windowX(const Viewport& view, double screenX);
double windowY(const Viewport& view, double screenY);
double screenX(const Viewport& view, int windowX);
double screenY(const Viewport& view, int windowY);

// The window pixel a row's pen starts at, where its first bitmap's origin lies: the whole pixel
// below its point, moved by its whole pixels.
struct Pixel {
    int x = 0, y = 0;
};
Pixel penPixel(const Viewport& view, const RowPlace& place);

// Where row `row` of a page lands in a view of page.viewWidth x page.viewHeight: its place,
// whether its point is on the screen (otherwise nothing of it is drawn), and its pen in window
// pixels from the view's bottom-left corner.
struct RowLocation {
    RowPlace place;
    bool onScreen = false;
    Pixel pen;
};
RowLocation locateRow(const config::DisplaySettings& settings, const PageLayout& page, int row, int advance);

// A rectangle of window pixels: left to right - 1, bottom to top - 1.
struct PixelRect {
    int left = 0, bottom = 0, right = 0, top = 0;
};

// The box behind the rows of a frame that draw (`drawn[i]` for rows[i]): from the smallest pen to
// the largest pen plus advance, from the first drawn row's ascent to the last one's descent,
// `padding` pixels more all round. False when no row draws.
bool boxAround(const DrawRow* rows, const bool* drawn, int count, const Viewport& view, int ascent, int descent,
               int padding, PixelRect* box);

}  // namespace overlay
