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
        glyphs.texture = texture.build(drawingContext, font, characters, style, features, metrics);
        if (glyphs.texture != 0 && !quads.reserve()) {
            texture.release();
            glyphs.texture = 0;
        }
        if (glyphs.texture != 0) return glyphs;
        lists.build(drawingContext, font, characters, style.outline, metrics, &glyphs);
        return glyphs;
    }

    // Only what is still the plug-in's own is deleted: a name a host has taken over is its now.
    void deleteGlyphs(const GlyphBlocks& glyphs) override {
        const bool context = platform::currentDrawingContext() != nullptr;
        if (glyphs.texture != 0 && glyphs.texture == texture.name()) {
            quads.release();
            // Without a current context there is nothing to delete them from.
            if (context) texture.release();
            texture.forget();
        }
        if (context) lists.release(glyphs);
    }

    int displayDpi(void* drawingContext) override { return platform::displayDpi(drawingContext); }

    Viewport viewport() override {
        GLint box[4] = {0, 0, config::kScreenWidth, config::kScreenHeight};
        glGetIntegerv(GL_VIEWPORT, box);
        return {box[0], box[1], box[2] > 0 ? box[2] : 1, box[3] > 0 ? box[3] : 1};
    }

    void drawFrame(GlyphBlocks& glyphs, const Frame& frame) override {
        const Viewport view = viewport();
        hostState.enter(features);
        keepGlyphs(glyphs);
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
                lists.draw(glyphs, frame, view);
            }
        }

        hostState.leave();
    }

private:
    // The glyphs are checked, every visible frame, to be still the plug-in's: a host that takes
    // names it never asked GL for (a fixed range of its own, or "all its textures" freed by a
    // range) may have made them its own or deleted them. What is no longer the plug-in's is made
    // again under new names, which `glyphs` gets; the old names are never touched again.
    void keepGlyphs(GlyphBlocks& glyphs) {
        if (glyphs.texture != 0 && glyphs.texture == texture.name()) {
            if (texture.intact()) {
                texture.keepParameters(features);
            } else {
                glyphs.texture = texture.remake(features);
            }
        } else if (lists.holds(glyphs) && !lists.intact(glyphs)) {
            lists.remake(&glyphs);
        }
    }

    // One rectangle behind the rows that draw, blended over the picture, in the overlay space with
    // its edges between pixel centres.
    static void drawBox(const Frame& frame, const Viewport& view) {
        bool drawn[config::kMaxRows] = {};
        const int count = frame.rowCount < config::kMaxRows ? frame.rowCount : config::kMaxRows;
        for (int index = 0; index < count; ++index) drawn[index] = onScreen(frame.rows[index].place);
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
    gl::HostState hostState;
    gl::GlyphTexture texture;
    gl::GlyphLists lists;
    gl::RowQuads quads;
};

OpenGlGraphics openGl;

}  // namespace

Graphics& openGlGraphics() { return openGl; }

}  // namespace overlay
