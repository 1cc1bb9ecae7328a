#include "overlay/gl/glyph_lists.h"

#include <cstdlib>
#include <cstring>

#include "overlay/gl/gl_api.h"
#include "overlay/gl/raster_rules.h"

namespace overlay::gl {

namespace {

// The lists a row calls: its characters' places in the set; those not in it (control characters)
// are left out, as they draw nothing and do not advance.
constexpr int kMaxRowCharacters = 4096;
GLuint rowLists[kMaxRowCharacters];

GLsizei listsOf(const char* text, const CharacterSet& characters) {
    GLsizei n = 0;
    for (std::size_t at = 0; text[at] != '\0' && n < kMaxRowCharacters;) {
        const int index = characters.indexOf(nextCharacter(text, &at));
        if (index >= 0) rowLists[n++] = static_cast<GLuint>(index);
    }
    return n;
}

// One pass of a row: its `lists` (rowLists) from `firstList`'s glyphs, moved (dx, dy) pixels, in
// `colour`.
void drawPass(std::uint32_t firstList, const DrawRow& row, GLsizei lists, const Viewport& view, int dx, int dy,
              const float colour[3]) {
    glColor3f(colour[0], colour[1], colour[2]);
    placeRaster(row.place.x, row.place.y, view);
    if (row.place.dx + dx != 0 || row.place.dy + dy != 0) moveRaster(row.place.dx + dx, row.place.dy + dy);
    if (lists == 0 || firstList == 0) return;
    glListBase(firstList);
    glCallLists(lists, GL_UNSIGNED_INT, rowLists);
}

// A block of lists for the characters of `characters` in `font` and `shape`; the plain block notes
// the characters' advances and those no face has. 0 when no lists could be made.
std::uint32_t buildBlock(void* drawingContext, const platform::FontRequest& font, CharacterSet& characters,
                         platform::GlyphShape shape, platform::GlyphMetrics* metrics) {
    if (characters.count() <= 0) return 0;
    const GLuint base = glGenLists(characters.count());
    if (base == 0) return 0;
    const bool plain = shape == platform::GlyphShape::Plain;
    platform::buildGlyphLists(drawingContext, font, characters.codes(), characters.count(), base, shape, metrics,
                              plain ? characters.advances() : nullptr, plain ? characters.missing() : nullptr);
    return base;
}

// Every list of the block is a list, and the lists, called one after another, move the raster
// position by `advanceSum` in all, right and no higher or lower. They are called in feedback mode,
// where nothing reaches the picture and a bitmap costs next to nothing, from the corner of the
// viewport, where every GL has a raster position; the raster position, the colour, the list base
// and the host's feedback buffer are given back. In a frame drawn for selection or feedback there
// is nothing to ask: the lists count as intact.
bool blockIntact(std::uint32_t first, std::int32_t count, const std::uint32_t* everyList, std::int32_t advanceSum) {
    for (GLuint name = first; name < first + static_cast<GLuint>(count); ++name) {
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
    glCallLists(count, GL_UNSIGNED_INT, everyList);
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

void copyText(char* dst, const char* src, std::size_t size) {
    std::strncpy(dst, src != nullptr ? src : "", size - 1);
    dst[size - 1] = '\0';
}

}  // namespace

GlyphLists::~GlyphLists() { std::free(everyList); }

void GlyphLists::build(void* drawingContext, const platform::FontRequest& font, CharacterSet& set, bool withOutline,
                       platform::GlyphMetrics* metrics, GlyphBlocks* glyphs) {
    plain = outline = 0;
    copyText(face, font.face, sizeof face);
    copyText(fallbacks, font.fallbacks, sizeof fallbacks);
    pixelHeight = font.pixelHeight;
    outlined = withOutline;
    characters = &set;
    std::free(everyList);
    count = set.count();
    everyList = static_cast<std::uint32_t*>(std::malloc((count > 0 ? count : 1) * sizeof(std::uint32_t)));
    if (everyList == nullptr) count = 0;
    for (std::int32_t i = 0; i < count; ++i) everyList[i] = static_cast<std::uint32_t>(i);
    remake(glyphs, metrics);
}

bool GlyphLists::holds(const GlyphBlocks& glyphs) const {
    return glyphs.glyphs != 0 && glyphs.glyphs == plain && glyphs.outline == outline;
}

bool GlyphLists::intact(const GlyphBlocks& glyphs) const {
    return blockIntact(glyphs.glyphs, count, everyList, advanceSum) &&
           (glyphs.outline == 0 || blockIntact(glyphs.outline, count, everyList, advanceSum));
}

bool GlyphLists::remake(GlyphBlocks* glyphs, platform::GlyphMetrics* metrics) {
    plain = outline = 0;
    if (characters != nullptr && count > 0) {
        const platform::FontRequest font = {face, fallbacks, pixelHeight};
        characters->forgetGlyphs();
        void* context = platform::currentDrawingContext();
        plain = buildBlock(context, font, *characters, platform::GlyphShape::Plain, metrics);
        if (outlined && plain != 0) outline = buildBlock(context, font, *characters, platform::GlyphShape::Dilated, nullptr);
        advanceSum = 0;
        for (std::int32_t i = 0; i < count; ++i) advanceSum += characters->advance(i);
    }
    glyphs->glyphs = plain;
    glyphs->outline = outline;
    glyphs->listCount = plain != 0 ? count : 0;
    return plain != 0;
}

void GlyphLists::release(const GlyphBlocks& glyphs) {
    if (glyphs.glyphs != 0 && holds(glyphs) && intact(glyphs)) {
        glDeleteLists(glyphs.glyphs, count);
        if (glyphs.outline != 0) glDeleteLists(glyphs.outline, count);
    }
    if (holds(glyphs)) plain = outline = 0;
}

void GlyphLists::draw(const GlyphBlocks& glyphs, const Frame& frame, const Viewport& view) const {
    if (characters == nullptr) return;
    for (int index = 0; index < frame.rowCount; ++index) {
        const DrawRow& row = frame.rows[index];
        const GLsizei lists = row.text != nullptr ? listsOf(row.text, *characters) : 0;
        if (frame.shadow == config::TextShadow::Drop) {
            drawPass(glyphs.glyphs, row, lists, view, frame.stroke, -frame.stroke, frame.shadowColour);
        } else if (frame.shadow == config::TextShadow::Outline && glyphs.outline != 0) {
            // Glyphs grown by a pixel, moved over every offset up to stroke - 1: grown by stroke.
            const int reach = outlineReach(frame);
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) drawPass(glyphs.outline, row, lists, view, dx, dy, frame.shadowColour);
            }
        }
        drawPass(glyphs.glyphs, row, lists, view, 0, 0, frame.colour);
    }
}

}  // namespace overlay::gl
