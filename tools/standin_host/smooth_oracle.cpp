#include "smooth_oracle.h"

#include <cmath>
#include <cstdint>

#include "gl_headers.h"

namespace standin {

namespace {

// The framebuffer as RGBA, bottom row first, and where the scissor lets it be written.
struct Canvas {
    int width = 0, height = 0;
    int clipLeft = 0, clipBottom = 0, clipRight = 0, clipTop = 0;  // right and top exclusive
    std::vector<std::uint8_t> rgba;

    void blend(int x, int y, const float colour[3], double alpha) {
        if (alpha <= 0.0 || x < clipLeft || x >= clipRight || y < clipBottom || y >= clipTop) return;
        std::uint8_t* pixel = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
        for (int channel = 0; channel < 3; ++channel) {
            const double source = std::round(colour[channel] * 255.0);
            const double mixed = source * alpha + pixel[channel] * (1.0 - alpha);
            pixel[channel] = static_cast<std::uint8_t>(std::lround(mixed));
        }
    }
};

// Coverage of `glyph` at column x, row y (top row 0), grown by `grow` pixels: the largest in the
// square of that reach around it.
int coverageAt(const CoverageGlyph& glyph, int x, int y, int grow) {
    int largest = 0;
    for (int sy = y - grow; sy <= y + grow; ++sy) {
        for (int sx = x - grow; sx <= x + grow; ++sx) {
            if (sx < 0 || sy < 0 || sx >= glyph.width || sy >= glyph.height) continue;
            const int value = glyph.coverage[static_cast<std::size_t>(sy) * glyph.width + sx];
            largest = value > largest ? value : largest;
        }
    }
    return largest;
}

void blendText(Canvas& canvas, const OracleLine& line, int penX, int penY, int grow, const float colour[3],
               const OracleStyle& style) {
    for (unsigned char c : line.bytes) {
        if (c < 32) continue;  // control bytes draw nothing and do not advance
        const CoverageGlyph& glyph = style.smooth->glyphs[c];
        for (int y = -grow; y < glyph.height + grow; ++y) {
            for (int x = -grow; x < glyph.width + grow; ++x) {
                const int coverage = coverageAt(glyph, x, y, grow);
                canvas.blend(penX + glyph.left + x, penY + glyph.top - 1 - y, colour,
                             static_cast<double>(coverage) / style.smooth->levels);
            }
        }
        penX += style.advances[c];
    }
}

}  // namespace

void drawSmoothLines(const std::vector<OracleLine>& lines, const float colour[3], const OracleStyle& style, int width,
                     int height) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.clipRight = width;
    canvas.clipTop = height;
    // The scissor drawOracleLines set: the host's, and the viewport's for lines in pixels.
    GLint box[4] = {};
    if (glIsEnabled(GL_SCISSOR_TEST)) {
        glGetIntegerv(GL_SCISSOR_BOX, box);
        canvas.clipLeft = box[0] > 0 ? box[0] : 0;
        canvas.clipBottom = box[1] > 0 ? box[1] : 0;
        canvas.clipRight = box[0] + box[2] < width ? box[0] + box[2] : width;
        canvas.clipTop = box[1] + box[3] < height ? box[1] + box[3] : height;
    }
    canvas.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    glFinish();
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, canvas.rgba.data());

    for (const OracleLine& line : lines) {
        if (!line.placement.shown) continue;
        const int penX = line.placement.start;
        const int penY = line.placement.baseline;
        if (style.shadow == OracleShadow::Drop) blendText(canvas, line, penX + 1, penY - 1, 0, style.shadowColour, style);
        if (style.shadow == OracleShadow::Outline) blendText(canvas, line, penX, penY, 1, style.shadowColour, style);
        blendText(canvas, line, penX, penY, 0, colour, style);
    }

    // The picture back, one pixel a window pixel.
    glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_ENABLE_BIT);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glRasterPos2i(0, 0);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, canvas.rgba.data());
    glPopMatrix();
    glPopAttrib();
    glPopClientAttrib();
}

}  // namespace standin
