#include "overlay/gl/glyph_lists.h"

#include "overlay/gl/gl_api.h"
#include "overlay/gl/raster_rules.h"

namespace overlay::gl {

namespace {

// The lists a row calls: its characters' places in the set; those not in it (control characters)
// are left out, as they draw nothing and do not advance. Rows hold at most this many characters.
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

// One pass of a row: its text with `firstList`'s glyphs, moved (dx, dy) pixels, in `colour`.
void drawPass(std::uint32_t firstList, const DrawRow& row, GLsizei lists, int dx, int dy, const float colour[3]) {
    glColor3f(colour[0], colour[1], colour[2]);
    glRasterPos2f(row.place.x, row.place.y);
    if (row.place.dx + dx != 0 || row.place.dy + dy != 0) moveRaster(row.place.dx + dx, row.place.dy + dy);
    if (lists == 0 || firstList == 0) return;
    glListBase(firstList);
    glCallLists(lists, GL_UNSIGNED_INT, rowLists);
}

}  // namespace

std::uint32_t buildListBlock(void* drawingContext, const platform::FontRequest& font, CharacterSet& characters,
                             platform::GlyphShape shape, platform::GlyphMetrics* metrics) {
    if (characters.count() <= 0) return 0;
    const GLuint base = glGenLists(characters.count());
    if (base == 0) return 0;
    // The advances the lists move by, and the characters no face has, for the rows' layout.
    const bool plain = shape == platform::GlyphShape::Plain;
    platform::buildGlyphLists(drawingContext, font, characters.codes(), characters.count(), base, shape, metrics,
                              plain ? characters.advances() : nullptr, plain ? characters.missing() : nullptr);
    return base;
}

void deleteListBlock(std::uint32_t first, std::int32_t count) {
    if (first != 0 && count > 0) glDeleteLists(first, count);
}

void drawRowsFromLists(const GlyphBlocks& glyphs, const CharacterSet& characters, const Frame& frame) {
    for (int index = 0; index < frame.rowCount; ++index) {
        const DrawRow& row = frame.rows[index];
        const GLsizei lists = row.text != nullptr ? listsOf(row.text, characters) : 0;
        if (frame.shadow == config::TextShadow::Drop) {
            drawPass(glyphs.glyphs, row, lists, 1, -1, frame.shadowColour);
        } else if (frame.shadow == config::TextShadow::Outline && glyphs.outline != 0) {
            drawPass(glyphs.outline, row, lists, 0, 0, frame.shadowColour);
        }
        drawPass(glyphs.glyphs, row, lists, 0, 0, frame.colour);
    }
}

}  // namespace overlay::gl
