// The drawing the host calls every frame, the lazy graphics set-up, and the glyph lists.
#include <cstring>

#include "overlay/gl_api.h"
#include "overlay/overlay_plugin.h"
#include "platform/platform.h"

namespace overlay {

namespace {

// The overlay's virtual screen, stretched over whatever viewport the host has set.
constexpr double kOverlayWidth = 640.0;
constexpr double kOverlayHeight = 480.0;

}  // namespace

void OverlayPlugin::initGraphics() {
    deviceContext = platform::currentDrawingContext();
    if (deviceContext == nullptr) return;  // no context yet: try again next frame
    clock_->reloadTimeZone();
    calendarConverted = false;  // the same second may read differently in the new zone
    restartElapsed();
    loadSettings();
    buildGlyphs();
}

void OverlayPlugin::buildGlyphs() {
    deleteGlyphs();
    const GLuint base = glGenLists(kGlyphBlockSize);
    if (base == 0) return;
    glyphListBase = base;
    // Control bytes name empty lists of the block: they draw nothing and move nothing.
    for (int code = 0; code < kFirstGlyphChar; ++code) {
        glNewList(base + static_cast<GLuint>(code), GL_COMPILE);
        glEndList();
    }
    platform::buildGlyphLists(deviceContext, settings.fontFace, settings.fontSize,
                              base + static_cast<GLuint>(kFirstGlyphChar), kFirstGlyphChar, kGlyphCount);
}

void OverlayPlugin::deleteGlyphs() {
    if (glyphListBase == 0) return;
    // Without a current context there is nothing to delete them from; the names are forgotten
    // either way, so they are never called or deleted again.
    if (platform::currentDrawingContext() != nullptr) glDeleteLists(glyphListBase, kGlyphBlockSize);
    glyphListBase = 0;
}

void OverlayPlugin::drawText(const char* text) {
    if (text == nullptr || glyphListBase == 0) return;
    glPushAttrib(GL_LIST_BIT);
    glListBase(glyphListBase);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void OverlayPlugin::drawLine(float x, float y, const char* text) {
    glRasterPos2f(x, y);
    drawText(text);
}

bool OverlayPlugin::drawFunction(std::int32_t index) {
    if (index != 0) return true;
    if (deviceContext == nullptr) {
        initGraphics();
        if (deviceContext == nullptr) return true;
    }
    if (!visible) return true;

    // Glyphs released by the host are rebuilt in the context current now, and nothing else.
    if (glyphListBase == 0) {
        void* current = platform::currentDrawingContext();
        if (current != nullptr) {
            deviceContext = current;
            buildGlyphs();
        }
    }

    const GLboolean lightingWasOn = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, kOverlayWidth, 0.0, kOverlayHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    refreshTokenValues();

    glDisable(GL_DEPTH_TEST);
    glColor3f(settings.red, settings.green, settings.blue);

    composeLines(*this);

    // The host draws on after us expecting the depth test on and the projection matrix selected,
    // whatever it had before the frame.
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    if (lightingWasOn) glEnable(GL_LIGHTING);
    return true;
}

}  // namespace overlay
