#include "overlay/gl/glyph_lists.h"

#include <cstring>

#include "overlay/gl/gl_api.h"
#include "overlay/gl/raster_rules.h"

namespace overlay::gl {

namespace {

// One pass of a row: its text with `firstList`'s glyphs, moved (dx, dy) pixels, in `colour`.
void drawPass(std::uint32_t firstList, const DrawRow& row, const Viewport& view, int dx, int dy,
              const float colour[3]) {
    glColor3f(colour[0], colour[1], colour[2]);
    placeRaster(row.place.x, row.place.y, view);
    if (row.place.dx + dx != 0 || row.place.dy + dy != 0) moveRaster(row.place.dx + dx, row.place.dy + dy);
    if (row.text == nullptr || firstList == 0) return;
    glListBase(firstList);
    glCallLists(static_cast<GLsizei>(std::strlen(row.text)), GL_UNSIGNED_BYTE, row.text);
}

// A block of lists for `face` at `pixelHeight` in `shape`, the control bytes' lists empty;
// `metrics` (may be null) gets the font's measures. 0 when no lists could be made.
std::uint32_t buildBlock(void* drawingContext, const char* face, int pixelHeight, platform::GlyphShape shape,
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

// Every byte, in order, to call the block's lists in one go.
struct EveryByte {
    GLubyte codes[kGlyphBlockSize];
};
constexpr EveryByte everyByte() {
    EveryByte bytes = {};
    for (int code = 0; code < kGlyphBlockSize; ++code) bytes.codes[code] = static_cast<GLubyte>(code);
    return bytes;
}
constexpr EveryByte kEveryByte = everyByte();

// Every list of the block is a list, and the lists, called one after another, move the raster
// position by `advanceSum` in all, right and no higher or lower (the control bytes' by nothing).
// They are called in feedback mode, where nothing reaches the picture and a bitmap costs next to
// nothing, from the corner of the viewport, where every GL has a raster position; the raster
// position, the colour, the list base and the host's feedback buffer are given back. In a frame
// drawn for selection or feedback there is nothing to ask: the lists count as intact.
bool blockIntact(std::uint32_t first, std::int32_t advanceSum) {
    for (GLuint name = first; name < first + kGlyphBlockSize; ++name) {
        if (glIsList(name) == GL_FALSE) return false;
    }
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    if (mode != GL_RENDER) return true;
    GLvoid* hostBuffer = nullptr;
    GLint hostSize = 0, hostType = GL_2D;
    glGetPointerv(GL_FEEDBACK_BUFFER_POINTER, &hostBuffer);
    glGetIntegerv(GL_FEEDBACK_BUFFER_SIZE, &hostSize);
    glGetIntegerv(GL_FEEDBACK_BUFFER_TYPE, &hostType);
    // Room for the first token only: the rest overflows, which is no error.
    static GLfloat feedback[4];
    glFeedbackBuffer(4, GL_2D, feedback);
    glRenderMode(GL_FEEDBACK);
    glPushAttrib(GL_CURRENT_BIT | GL_LIST_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
    GLfloat start[4] = {}, end[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, start);
    glListBase(first);
    glCallLists(kGlyphBlockSize, GL_UNSIGNED_BYTE, kEveryByte.codes);
    GLint valid = GL_FALSE;
    glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, end);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    glRenderMode(GL_RENDER);
    glFeedbackBuffer(hostSize, static_cast<GLenum>(hostType), static_cast<GLfloat*>(hostBuffer));
    // Whole-pixel moves from a whole pixel add up exactly in single precision.
    return valid == GL_TRUE && end[0] - start[0] == static_cast<GLfloat>(advanceSum) && end[1] == start[1];
}

}  // namespace

void GlyphLists::build(void* drawingContext, const char* fontFace, int height, bool withOutline,
                       platform::GlyphMetrics* metrics, GlyphBlocks* glyphs) {
    plain = outline = 0;
    std::strncpy(face, fontFace, sizeof face - 1);
    face[sizeof face - 1] = '\0';
    pixelHeight = height;
    outlined = withOutline;
    platform::GlyphMetrics measured = {};
    plain = buildBlock(drawingContext, face, pixelHeight, platform::GlyphShape::Plain, &measured);
    if (outlined && plain != 0) {
        outline = buildBlock(drawingContext, face, pixelHeight, platform::GlyphShape::Dilated, nullptr);
    }
    advanceSum = 0;
    for (int code = platform::kFirstDrawnCharacter; code < kGlyphBlockSize; ++code) advanceSum += measured.advance[code];
    if (metrics != nullptr) *metrics = measured;
    glyphs->glyphs = plain;
    glyphs->outline = outline;
}

bool GlyphLists::holds(const GlyphBlocks& glyphs) const {
    return glyphs.glyphs != 0 && glyphs.glyphs == plain && glyphs.outline == outline;
}

bool GlyphLists::intact(const GlyphBlocks& glyphs) const {
    return blockIntact(glyphs.glyphs, advanceSum) && (glyphs.outline == 0 || blockIntact(glyphs.outline, advanceSum));
}

bool GlyphLists::remake(GlyphBlocks* glyphs) {
    plain = buildBlock(platform::currentDrawingContext(), face, pixelHeight, platform::GlyphShape::Plain, nullptr);
    outline = 0;
    if (outlined && plain != 0) {
        outline = buildBlock(platform::currentDrawingContext(), face, pixelHeight, platform::GlyphShape::Dilated, nullptr);
    }
    glyphs->glyphs = plain;
    glyphs->outline = outline;
    return plain != 0;
}

void GlyphLists::release(const GlyphBlocks& glyphs) {
    if (glyphs.glyphs != 0 && holds(glyphs) && intact(glyphs)) {
        glDeleteLists(glyphs.glyphs, kGlyphBlockSize);
        if (glyphs.outline != 0) glDeleteLists(glyphs.outline, kGlyphBlockSize);
    }
    if (holds(glyphs)) plain = outline = 0;
}

void drawRowsFromLists(const GlyphBlocks& glyphs, const Frame& frame, const Viewport& view) {
    for (int index = 0; index < frame.rowCount; ++index) {
        const DrawRow& row = frame.rows[index];
        if (frame.shadow == config::TextShadow::Drop) {
            drawPass(glyphs.glyphs, row, view, frame.stroke, -frame.stroke, frame.shadowColour);
        } else if (frame.shadow == config::TextShadow::Outline && glyphs.outline != 0) {
            // Glyphs grown by a pixel, moved over every offset up to stroke - 1: grown by stroke.
            const int reach = outlineReach(frame);
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) drawPass(glyphs.outline, row, view, dx, dy, frame.shadowColour);
            }
        }
        drawPass(glyphs.glyphs, row, view, 0, 0, frame.colour);
    }
}

}  // namespace overlay::gl
