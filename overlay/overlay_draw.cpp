// The overlay's OpenGL: glyph blocks, and the state each frame saves, sets up and restores.
#include "overlay/overlay_draw.h"

#include <cstring>

#include "overlay/gl_api.h"
#include "platform/platform.h"

namespace overlay {

namespace {

// The overlay's virtual screen, stretched over whatever viewport the host has set.
constexpr double kOverlayWidth = 640.0;
constexpr double kOverlayHeight = 480.0;

class OpenGlGraphics final : public Graphics {
public:
    void* currentContext() override { return platform::currentDrawingContext(); }

    std::uint32_t buildGlyphs(void* drawingContext, const char* face, int pixelHeight) override {
        const GLuint base = glGenLists(kGlyphBlockSize);
        if (base == 0) return 0;
        // Control bytes name empty lists of the block: they draw nothing and move nothing.
        for (int code = 0; code < kFirstGlyphChar; ++code) {
            glNewList(base + static_cast<GLuint>(code), GL_COMPILE);
            glEndList();
        }
        platform::buildGlyphLists(drawingContext, face, pixelHeight, base + static_cast<GLuint>(kFirstGlyphChar),
                                  kFirstGlyphChar, kGlyphCount);
        return base;
    }

    void deleteGlyphs(std::uint32_t firstList) override {
        // Without a current context there is nothing to delete them from.
        if (platform::currentDrawingContext() != nullptr) glDeleteLists(firstList, kGlyphBlockSize);
    }

    void beginFrame(const float colour[3]) override {
        lightingWasOn = glIsEnabled(GL_LIGHTING);
        glDisable(GL_LIGHTING);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, kOverlayWidth, 0.0, kOverlayHeight, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glColor3f(colour[0], colour[1], colour[2]);
    }

    void drawLine(std::uint32_t firstList, float x, float y, const char* text) override {
        glRasterPos2f(x, y);
        if (text == nullptr || firstList == 0) return;
        glPushAttrib(GL_LIST_BIT);
        glListBase(firstList);
        glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
        glPopAttrib();
    }

    void endFrame() override {
        // The host draws on after us expecting the depth test on and the projection matrix
        // selected, whatever it had before the frame.
        glEnable(GL_DEPTH_TEST);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        if (lightingWasOn) glEnable(GL_LIGHTING);
    }

private:
    GLboolean lightingWasOn = GL_FALSE;
};

OpenGlGraphics openGl;

}  // namespace

Graphics& openGlGraphics() { return openGl; }

}  // namespace overlay
