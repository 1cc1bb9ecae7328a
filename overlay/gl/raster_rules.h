// How GL places bitmaps, which the glyph lists draw with and the texture's quads copy: a raster
// position asked of GL for a point of the overlay space, bitmaps starting at the whole pixel below
// it, and whole-pixel moves of the raster position. The quads land on the pixels the bitmaps
// would, and a frame drawn with them leaves the raster position where the lists leave it.
#pragma once

#include <cstdint>

#include "overlay/gl/gl_api.h"
#include "overlay/glyph_atlas.h"
#include "overlay/row_layout.h"

namespace overlay::gl {

// Sets the overlay space: the 640 x 480 screen over the viewport, in the current matrix.
void loadOverlaySpace();

// Moves the raster position by whole pixels.
void moveRaster(int dx, int dy);

// Sets the raster position of the point (x, y) of the overlay space, with the overlay space and
// the viewport `view` in force. A point on the screen, its edges included, always gets one: GL's
// own where it has one, and where its projection rounds an edge point a hair outside the clip
// volume, the point's window position reached from the viewport's bottom-left corner (which
// every GL holds: it maps to -1 exactly) by a move. A point off the screen gets GL's answer,
// which is no position.
void placeRaster(float x, float y, const Viewport& view);

// The raster position placeRaster gives (x, y): whether it is valid, and its window position to
// the last bit.
struct RasterPoint {
    bool valid = false;
    float x = 0.0f, y = 0.0f;
};
RasterPoint rasterPointOf(float x, float y, const Viewport& view);

// The window pixel where a bitmap at `point` moved by (dx, dy) starts.
Pixel bitmapPixel(const RasterPoint& point, int dx, int dy);

// Moves the raster position from `x` (where GL holds it) along `text`, one glyph's advance of
// `atlas` after another, to where the glyph lists leave it.
void moveAlongText(float x, const char* text, const GlyphAtlas& atlas);

}  // namespace overlay::gl
