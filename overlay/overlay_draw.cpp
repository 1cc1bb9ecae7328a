// The overlay's OpenGL: glyph blocks, and the state each frame saves, sets up and restores.
#include "overlay/overlay_draw.h"

#include <cstring>

#include "overlay/gl_api.h"

namespace overlay {

namespace {

// A raster move by whole pixels: a bitmap of no size, with a pointer, since Mesa drops a
// zero-size bitmap given null.
const GLubyte kNoPixels[4] = {};

class OpenGlGraphics final : public Graphics {
public:
    void* currentContext() override { return platform::currentDrawingContext(); }

    GlyphBlocks buildGlyphs(void* drawingContext, const char* face, int pixelHeight, bool outline,
                            platform::GlyphMetrics* metrics) override {
        GlyphBlocks blocks;
        blocks.glyphs = buildBlock(drawingContext, face, pixelHeight, platform::GlyphShape::Plain, metrics);
        if (outline && blocks.glyphs != 0) {
            blocks.outline = buildBlock(drawingContext, face, pixelHeight, platform::GlyphShape::Dilated, nullptr);
        }
        return blocks;
    }

    void deleteGlyphs(const GlyphBlocks& blocks) override {
        // Without a current context there is nothing to delete them from.
        if (platform::currentDrawingContext() == nullptr) return;
        if (blocks.glyphs != 0) glDeleteLists(blocks.glyphs, kGlyphBlockSize);
        if (blocks.outline != 0) glDeleteLists(blocks.outline, kGlyphBlockSize);
    }

    Viewport beginFrame(const float textColour[3]) override {
        lightingWasOn = glIsEnabled(GL_LIGHTING);
        glDisable(GL_LIGHTING);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, config::kScreenWidth, 0.0, config::kScreenHeight, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        std::memcpy(text, textColour, sizeof text);
        glColor3f(text[0], text[1], text[2]);
        textColourCurrent = true;
        GLint box[4] = {0, 0, 640, 480};
        glGetIntegerv(GL_VIEWPORT, box);
        view = {box[0], box[1], box[2] > 0 ? box[2] : 1, box[3] > 0 ? box[3] : 1};
        return view;
    }

    void drawBox(const float colour[3], float alpha, int left, int bottom, int right, int top) override {
        // Whatever the host left on that would change a filled rectangle goes back with the pop.
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT);
        glDisable(GL_TEXTURE_1D);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_POLYGON_STIPPLE);
        glDisable(GL_FOG);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(colour[0], colour[1], colour[2], alpha);
        textColourCurrent = false;
        // Window pixels into the overlay space; the edges fall between pixel centres.
        const auto overlayX = [&](int x) {
            return static_cast<GLfloat>((x - view.x) * static_cast<double>(config::kScreenWidth) / view.width);
        };
        const auto overlayY = [&](int y) {
            return static_cast<GLfloat>((y - view.y) * static_cast<double>(config::kScreenHeight) / view.height);
        };
        glRectf(overlayX(left), overlayY(bottom), overlayX(right), overlayY(top));
        glPopAttrib();
    }

    void drawLine(std::uint32_t firstList, const LinePlace& place, const char* line, const float* colour) override {
        if (colour != nullptr) {
            glColor3f(colour[0], colour[1], colour[2]);
            textColourCurrent = false;
        } else if (!textColourCurrent) {
            glColor3f(text[0], text[1], text[2]);
            textColourCurrent = true;
        }
        glRasterPos2f(place.x, place.y);
        if (place.dx != 0 || place.dy != 0) {
            glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(place.dx), static_cast<GLfloat>(place.dy), kNoPixels);
        }
        if (line == nullptr || firstList == 0) return;
        glPushAttrib(GL_LIST_BIT);
        glListBase(firstList);
        glCallLists(static_cast<GLsizei>(std::strlen(line)), GL_UNSIGNED_BYTE, line);
        glPopAttrib();
    }

    void endFrame() override {
        // The last line drawn is in the text colour (a box is drawn only before lines), so that
        // colour is current, as it is after a frame without a box or a shadow.
        // The host draws on after us expecting the depth test on and the projection matrix
        // selected, whatever it had before the frame.
        glEnable(GL_DEPTH_TEST);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        if (lightingWasOn) glEnable(GL_LIGHTING);
    }

private:
    static std::uint32_t buildBlock(void* drawingContext, const char* face, int pixelHeight,
                                    platform::GlyphShape shape, platform::GlyphMetrics* metrics) {
        const GLuint base = glGenLists(kGlyphBlockSize);
        if (base == 0) return 0;
        // Control bytes name empty lists of the block: they draw nothing and move nothing.
        for (int code = 0; code < kFirstGlyphChar; ++code) {
            glNewList(base + static_cast<GLuint>(code), GL_COMPILE);
            glEndList();
        }
        platform::buildGlyphLists(drawingContext, face, pixelHeight, base + static_cast<GLuint>(kFirstGlyphChar),
                                  kFirstGlyphChar, kGlyphCount, shape, metrics);
        return base;
    }

    // What a frame keeps between its calls.
    GLboolean lightingWasOn = GL_FALSE;
    float text[3] = {0.0f, 0.0f, 0.0f};
    bool textColourCurrent = true;
    Viewport view;
};

OpenGlGraphics openGl;

}  // namespace

Graphics& openGlGraphics() { return openGl; }

}  // namespace overlay
