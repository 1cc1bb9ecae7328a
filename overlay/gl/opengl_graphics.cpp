// The overlay's OpenGL, by rooms: what the context offers (gl_features), the host's state around a
// frame (host_state), the glyphs as a texture (glyph_texture) or as display lists (glyph_lists),
// the rows' quads and their batch (row_quads), and how GL places bitmaps (raster_rules). This file
// ties them together: the glyphs made and deleted, and a frame from start to end.
#include "overlay/gl/opengl_graphics.h"

#include "overlay/gl/gl_api.h"
#include "overlay/gl/gl_features.h"
#include "overlay/gl/glyph_lists.h"
#include "overlay/gl/glyph_texture.h"
#include "overlay/gl/host_state.h"
#include "overlay/gl/raster_rules.h"
#include "overlay/gl/row_quads.h"

namespace overlay {

namespace {

using gl::GlFeatures;

class OpenGlGraphics final : public Graphics {
public:
    void* currentContext() override { return platform::currentDrawingContext(); }

    GlyphBlocks buildGlyphs(void* drawingContext, const platform::FontRequest& font, CharacterSet& characters,
                            const GlyphStyle& style, platform::GlyphMetrics* metrics) override {
        features.find();
        GlyphBlocks glyphs;
        quads.release();
        listCharacters = &characters;
        glyphs.texture = texture.build(drawingContext, font, characters, style, features, metrics);
        if (glyphs.texture != 0 && !quads.reserve()) {
            const GLuint name = glyphs.texture;
            glDeleteTextures(1, &name);
            texture.forget();
            glyphs.texture = 0;
        }
        if (glyphs.texture != 0) return glyphs;
        characters.forgetGlyphs();
        glyphs.glyphs = gl::buildListBlock(drawingContext, font, characters, platform::GlyphShape::Plain, metrics);
        if (glyphs.glyphs != 0) glyphs.listCount = characters.count();
        if (style.outline && glyphs.glyphs != 0) {
            glyphs.outline = gl::buildListBlock(drawingContext, font, characters, platform::GlyphShape::Dilated, nullptr);
        }
        return glyphs;
    }

    void deleteGlyphs(const GlyphBlocks& glyphs) override {
        if (glyphs.texture != 0 && glyphs.texture == texture.name()) {
            texture.forget();
            quads.release();
        }
        // Without a current context there is nothing to delete them from.
        if (platform::currentDrawingContext() == nullptr) return;
        if (glyphs.texture != 0) {
            const GLuint name = glyphs.texture;
            glDeleteTextures(1, &name);
        }
        gl::deleteListBlock(glyphs.glyphs, glyphs.listCount);
        gl::deleteListBlock(glyphs.outline, glyphs.listCount);
    }

    Viewport viewport() override {
        GLint box[4] = {0, 0, config::kScreenWidth, config::kScreenHeight};
        glGetIntegerv(GL_VIEWPORT, box);
        return {box[0], box[1], box[2] > 0 ? box[2] : 1, box[3] > 0 ? box[3] : 1};
    }

    void drawFrame(const GlyphBlocks& glyphs, const Frame& frame) override {
        const Viewport view = viewport();
        hostState.enter(features);
        glMatrixMode(GL_PROJECTION);
        gl::loadOverlaySpace();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(frame.colour[0], frame.colour[1], frame.colour[2]);
        if (frame.clipToViewport) hostState.clipTo(view);

        if (frame.boxAlpha > 0.0f) drawBox(frame, view);
        if (frame.rowCount > 0) {
            if (glyphs.texture != 0 && glyphs.texture == texture.name()) {
                quads.draw(texture, features, frame, view);
            } else {
                if (listCharacters != nullptr) gl::drawRowsFromLists(glyphs, *listCharacters, frame);
            }
        }

        hostState.leave();
    }

private:
    // One rectangle behind the rows that draw, blended over the picture, in the overlay space with
    // its edges between pixel centres.
    static void drawBox(const Frame& frame, const Viewport& view) {
        bool drawn[config::kMaxRows] = {};
        const int count = frame.rowCount < config::kMaxRows ? frame.rowCount : config::kMaxRows;
        for (int index = 0; index < count; ++index) drawn[index] = gl::drawsAt(frame.rows[index].place);
        PixelRect box;
        if (!boxAround(frame.rows, drawn, count, view, frame.ascent, frame.descent, frame.boxPadding, &box)) return;
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(frame.boxColour[0], frame.boxColour[1], frame.boxColour[2], frame.boxAlpha);
        glRectf(static_cast<GLfloat>(screenX(view, box.left)), static_cast<GLfloat>(screenY(view, box.bottom)),
                static_cast<GLfloat>(screenX(view, box.right)), static_cast<GLfloat>(screenY(view, box.top)));
        glDisable(GL_BLEND);
    }

    GlFeatures features;
    const CharacterSet* listCharacters = nullptr;  // the characters the glyphs were made for
    gl::HostState hostState;
    gl::GlyphTexture texture;
    gl::RowQuads quads;
};

OpenGlGraphics openGl;

}  // namespace

Graphics& openGlGraphics() { return openGl; }

}  // namespace overlay
