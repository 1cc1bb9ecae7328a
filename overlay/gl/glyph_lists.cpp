#include "overlay/gl/glyph_lists.h"

#include <cstring>

#include "overlay/gl/gl_api.h"
#include "overlay/gl/raster_rules.h"

namespace overlay::gl {

namespace {

// One pass of a row: its text with `firstList`'s glyphs, moved (dx, dy) pixels, in `colour`.
void drawPass(std::uint32_t firstList, const DrawRow& row, int dx, int dy, const float colour[3]) {
    glColor3f(colour[0], colour[1], colour[2]);
    glRasterPos2f(row.place.x, row.place.y);
    if (row.place.dx + dx != 0 || row.place.dy + dy != 0) moveRaster(row.place.dx + dx, row.place.dy + dy);
    if (row.text == nullptr || firstList == 0) return;
    glListBase(firstList);
    glCallLists(static_cast<GLsizei>(std::strlen(row.text)), GL_UNSIGNED_BYTE, row.text);
}

}  // namespace

std::uint32_t buildListBlock(void* drawingContext, const char* face, int pixelHeight, platform::GlyphShape shape,
                             platform::GlyphMetrics* metrics) {
    const GLuint base = glGenLists(kGlyphBlockSize);
    if (base == 0) return 0;
    // Control bytes name empty lists of the block: they draw nothing and move nothing.
    for (int code = 0; code < platform::kFirstDrawnCharacter; ++code) {
        glNewList(base + static_cast<GLuint>(code), GL_COMPILE);
        glEndList();
    }
    platform::buildGlyphLists(drawingContext, face, pixelHeight,
                              base + static_cast<GLuint>(platform::kFirstDrawnCharacter),
                              platform::kFirstDrawnCharacter, kGlyphCount, shape, metrics);
    return base;
}

void deleteListBlock(std::uint32_t first) {
    if (first != 0) glDeleteLists(first, kGlyphBlockSize);
}

void drawRowsFromLists(const GlyphBlocks& glyphs, const Frame& frame) {
    for (int index = 0; index < frame.rowCount; ++index) {
        const DrawRow& row = frame.rows[index];
        if (frame.shadow == config::TextShadow::Drop) {
            drawPass(glyphs.glyphs, row, frame.stroke, -frame.stroke, frame.shadowColour);
        } else if (frame.shadow == config::TextShadow::Outline && glyphs.outline != 0) {
            // Glyphs grown by a pixel, moved over every offset up to stroke - 1: grown by stroke.
            const int reach = outlineReach(frame);
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) drawPass(glyphs.outline, row, dx, dy, frame.shadowColour);
            }
        }
        drawPass(glyphs.glyphs, row, 0, 0, frame.colour);
    }
}

}  // namespace overlay::gl
