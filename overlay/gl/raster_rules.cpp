#include "overlay/gl/raster_rules.h"

#include <cmath>

namespace overlay::gl {

namespace {

// A raster move by whole pixels: a bitmap of no size, with a pointer, since Mesa drops a
// zero-size bitmap given null.
const GLubyte kNoPixels[4] = {};

// glBitmap puts a bitmap's lower left pixel at the floor of the raster position less its origin.
// Mesa adds this much first, so that a position a rounding error below a whole pixel counts as
// on it; the quads follow the same rule to land on the same pixels.
constexpr float kBitmapEpsilon = 0.0001f;

}  // namespace

void loadOverlaySpace() {
    glLoadIdentity();
    glOrtho(0.0, config::kScreenWidth, 0.0, config::kScreenHeight, -1.0, 1.0);
}

void moveRaster(int dx, int dy) {
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(dx), static_cast<GLfloat>(dy), kNoPixels);
}

void placeRaster(float x, float y, const Viewport& view) {
    glRasterPos2f(x, y);
    RowPlace point;
    point.x = x;
    point.y = y;
    if (!onScreen(point)) return;
    GLint valid = GL_FALSE;
    glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (valid == GL_TRUE) return;
    glRasterPos2f(0.0f, 0.0f);
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(windowX(view, x) - view.x),
             static_cast<GLfloat>(windowY(view, y) - view.y), kNoPixels);
}

RasterPoint rasterPointOf(float x, float y, const Viewport& view) {
    placeRaster(x, y, view);
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    return {valid != GL_FALSE, position[0], position[1]};
}

Pixel bitmapPixel(const RasterPoint& point, int dx, int dy) {
    return {static_cast<int>(std::floor(point.x + static_cast<float>(dx) + kBitmapEpsilon)),
            static_cast<int>(std::floor(point.y + static_cast<float>(dy) + kBitmapEpsilon))};
}

// GL adds each move in single precision, so moves are joined only while every sum on the way is
// exact: the position ends on the same bits.
void moveAlongText(float x, const char* text, const GlyphAtlas& atlas) {
    std::int32_t joined = 0;
    float at = x;
    const CharacterSet* characters = atlas.characterSet();
    for (std::size_t i = 0; text[i] != '\0' && characters != nullptr;) {
        const std::int32_t advance = atlas.glyph(GlyphSet::Plain, characters->indexOf(nextCharacter(text, &i))).advance;
        if (advance == 0) continue;
        const double exact = static_cast<double>(at) + advance;
        // Through memory: x87 arithmetic would otherwise keep the extra precision.
        const volatile float rounded = static_cast<float>(exact);
        if (static_cast<double>(rounded) != exact) {
            // This move rounds: the joined ones first, then this one by itself.
            if (joined != 0) moveRaster(joined, 0);
            moveRaster(advance, 0);
            joined = 0;
        } else {
            joined += advance;
        }
        at = rounded;
    }
    if (joined != 0) moveRaster(joined, 0);
}

}  // namespace overlay::gl
