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

// The raster position GL gives the point (x, y) of the overlay space, with the matrices and
// viewport in force: whether it is valid (at the very edges of the space that is the context's
// own to say), and its window position to the last bit.
struct RasterPoint {
    bool valid = false;
    float x = 0.0f, y = 0.0f;
};
RasterPoint rasterPointOf(float x, float y);

// Whether a row at `place` draws at all: its point is on the screen and GL has a raster position
// for it.
bool drawsAt(const RowPlace& place);

// The window pixel where a bitmap at `point` moved by (dx, dy) starts.
Pixel bitmapPixel(const RasterPoint& point, int dx, int dy);

// Moves the raster position from `x` (where GL holds it) along `text`, one glyph's advance of
// `atlas` after another, to where the glyph lists leave it.
void moveAlongText(float x, const char* text, const GlyphAtlas& atlas);

}  // namespace overlay::gl
