#include "overlay/gl/row_quads.h"

#include <cstdlib>
#include <cstring>

namespace overlay::gl {

namespace {

void colourBytes(const float colour[3], std::uint8_t out[4]) {
    for (int c = 0; c < 3; ++c) {
        const float value = colour[c] < 0.0f ? 0.0f : colour[c] > 1.0f ? 1.0f : colour[c];
        out[c] = static_cast<std::uint8_t>(value * 255.0f + 0.5f);
    }
    out[3] = 255;
}

}  // namespace

bool RowQuads::reserve() {
    release();
    const std::size_t vertices = static_cast<std::size_t>(config::kMaxRows) * kSlotQuads * kQuadVertices;
    store = static_cast<QuadVertex*>(std::malloc(vertices * sizeof(QuadVertex)));
    return store != nullptr;
}

void RowQuads::release() {
    std::free(store);
    store = nullptr;
    for (Slot& slot : slots) slot = Slot();
}

QuadVertex* RowQuads::quadsOf(int slot) const {
    return store + static_cast<std::size_t>(slot) * kSlotQuads * kQuadVertices;
}

// Where the row's raster position falls, asked of GL itself (with the overlay space and the
// host's viewport in force) whenever the row's point or the viewport changed.
void RowQuads::place(Slot& slot, const DrawRow& row, const Viewport& view) {
    if (slot.placed && slot.x == row.place.x && slot.y == row.place.y && slot.view.x == view.x &&
        slot.view.y == view.y && slot.view.width == view.width && slot.view.height == view.height) {
        return;
    }
    slot.placed = true;
    slot.x = row.place.x;
    slot.y = row.place.y;
    slot.view = view;
    slot.raster = rasterPointOf(row.place.x, row.place.y, view);
}

// The row's quads with its pen at window pixel `pen`: its drop shadow (the text a pixel right and
// down) or outline, then its text, in the frame's colours.
void RowQuads::build(Slot& slot, const DrawRow& row, Pixel pen, const GlyphTexture& texture, const Frame& frame) {
    std::uint8_t colours[2][4];
    colourBytes(frame.shadowColour, colours[0]);
    colourBytes(frame.colour, colours[1]);
    if (slot.built && slot.revision == row.revision && slot.generation == texture.generation() &&
        slot.pen.x == pen.x && slot.pen.y == pen.y && slot.shadow == frame.shadow && slot.stroke == frame.stroke &&
        std::memcmp(slot.colours, colours, sizeof colours) == 0) {
        return;
    }
    const GlyphAtlas& atlas = texture.glyphs();
    const char* text = row.text != nullptr ? row.text : "";
    QuadVertex* quads = quadsOf(row.slot);
    std::int32_t advance = 0;
    int count = 0;
    if (frame.shadow == config::TextShadow::Drop) {
        count = atlas.lineQuads(GlyphSet::Plain, text, pen.x + frame.stroke, pen.y - frame.stroke, colours[0], quads,
                                kMaxRowQuads, &advance);
    } else if (frame.shadow == config::TextShadow::Outline) {
        count = atlas.lineQuads(GlyphSet::Outline, text, pen.x, pen.y, colours[0], quads, kMaxRowQuads, &advance);
    }
    slot.shadowQuads = count;
    count += atlas.lineQuads(GlyphSet::Plain, text, pen.x, pen.y, colours[1],
                             quads + static_cast<std::size_t>(count) * kQuadVertices, kMaxRowQuads, &advance);
    slot.built = true;
    slot.revision = row.revision;
    slot.generation = texture.generation();
    slot.pen = pen;
    slot.shadow = frame.shadow;
    slot.stroke = frame.stroke;
    std::memcpy(slot.colours, colours, sizeof colours);
    slot.quads = count;
}

void RowQuads::draw(const GlyphTexture& texture, const GlFeatures& features, const Frame& frame, const Viewport& view) {
    if (store == nullptr || frame.rowCount <= 0) return;
    // Each row's pen where its bitmaps would start, and its quads; one range of the store a row,
    // in the rows' order, for one draw.
    GLint firsts[config::kMaxRows];
    GLsizei counts[config::kMaxRows];
    GLsizei ranges = 0;
    for (int index = 0; index < frame.rowCount && index < config::kMaxRows; ++index) {
        const DrawRow& row = frame.rows[index];
        if (row.slot < 0 || row.slot >= config::kMaxRows) continue;
        Slot& slot = slots[row.slot];
        place(slot, row, view);
        if (!slot.raster.valid) continue;  // as GL draws no bitmap at an invalid raster position
        build(slot, row, bitmapPixel(slot.raster, row.place.dx, row.place.dy), texture, frame);
        if (slot.quads == 0) continue;
        firsts[ranges] = static_cast<GLint>(quadsOf(row.slot) - store);
        counts[ranges] = slot.quads * kQuadVertices;
        ++ranges;
    }

    // Window pixels, one unit each, over a viewport from the window's corner larger than any
    // window: quads are cut by the window's edges, as bitmaps are, not by the host's viewport.
    const GLfloat side = static_cast<GLfloat>(features.viewportSide);
    glViewport(0, 0, features.viewportSide, features.viewportSide);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, side, 0.0, side, -1.0, 1.0);
    // The unit's current texture coordinate is left undefined by arrays: it is put back.
    GLfloat texCoord[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glScalef(1.0f / static_cast<GLfloat>(texture.width()), 1.0f / static_cast<GLfloat>(texture.height()), 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Texels without ink draw nothing; 1-bit glyphs replace the picture's pixels as bitmaps do,
    // antialiased ones are blended over it with their coverage.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    if (texture.smooth()) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    const GLint hostVertexArray = enterClientArrays(features);

    // Quads are drawn in order, so each row's shadow or outline comes before its text, and its
    // text before the next row's shadow. An outline wider than a pixel is the row's outline quads
    // drawn at every offset up to outlineReach, then its text.
    const int reach = frame.shadow == config::TextShadow::Outline ? outlineReach(frame) : 0;
    if (reach > 0) {
        int range = 0;
        for (int index = 0; index < frame.rowCount && index < config::kMaxRows && range < ranges; ++index) {
            const DrawRow& row = frame.rows[index];
            if (row.slot < 0 || row.slot >= config::kMaxRows) continue;
            const Slot& slot = slots[row.slot];
            if (!slot.raster.valid || slot.quads == 0) continue;
            const GLsizei outline = slot.shadowQuads * kQuadVertices;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    glLoadIdentity();
                    glTranslatef(static_cast<GLfloat>(dx), static_cast<GLfloat>(dy), 0.0f);
                    if (outline > 0) glDrawArrays(GL_QUADS, firsts[range], outline);
                }
            }
            glLoadIdentity();
            glDrawArrays(GL_QUADS, firsts[range] + outline, counts[range] - outline);
            ++range;
        }
    } else if (features.multiDrawArrays != nullptr) {
        if (ranges > 0) features.multiDrawArrays(GL_QUADS, firsts, counts, ranges);
    } else {
        for (GLsizei range = 0; range < ranges; ++range) glDrawArrays(GL_QUADS, firsts[range], counts[range]);
    }

    leaveClientArrays(features, hostVertexArray);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glTexCoord4fv(texCoord);
    glMatrixMode(GL_PROJECTION);
    loadOverlaySpace();
    glMatrixMode(GL_MODELVIEW);
    glViewport(view.x, view.y, view.width, view.height);

    // The colour and raster position the glyph lists leave: the last row's text pass.
    const DrawRow& last = frame.rows[frame.rowCount - 1];
    glColor3f(frame.colour[0], frame.colour[1], frame.colour[2]);
    placeRaster(last.place.x, last.place.y, view);
    if (last.place.dx != 0 || last.place.dy != 0) moveRaster(last.place.dx, last.place.dy);
    const Slot& lastSlot = slots[last.slot];
    if (lastSlot.raster.valid && last.text != nullptr) {
        const volatile float x = lastSlot.raster.x + static_cast<float>(last.place.dx);  // as GL added it
        moveAlongText(x, last.text, texture.glyphs());
    }
}

// Our arrays, and no other: the host's are saved with its client state, and the vertex array
// object and array buffer it may have bound are set aside. Answers the host's vertex array
// object, bound again by leaveClientArrays.
GLint RowQuads::enterClientArrays(const GlFeatures& features) const {
    GLint hostVertexArray = 0;
    if (features.bindVertexArray != nullptr) {
        glGetIntegerv(kVertexArrayBinding, &hostVertexArray);
        if (hostVertexArray != 0) features.bindVertexArray(0);
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    if (features.bindBuffer != nullptr) features.bindBuffer(kArrayBuffer, 0);
    if (features.disableVertexAttribArray != nullptr) features.disableVertexAttribArray(0);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    if (features.version >= 14) {
        glDisableClientState(kSecondaryColorArray);
        glDisableClientState(kFogCoordArray);
    }
    for (int unit = features.textureCoords - 1; unit >= 0; --unit) {
        features.selectClientUnit(unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_SHORT, sizeof(QuadVertex), &store[0].x);
    glTexCoordPointer(2, GL_SHORT, sizeof(QuadVertex), &store[0].s);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(QuadVertex), store[0].colour);
    return hostVertexArray;
}

void RowQuads::leaveClientArrays(const GlFeatures& features, GLint hostVertexArray) const {
    glPopClientAttrib();
    if (hostVertexArray != 0) features.bindVertexArray(static_cast<GLuint>(hostVertexArray));
}

}  // namespace overlay::gl
