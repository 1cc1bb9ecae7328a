// A small drawing plug-in for testing the stand-in host's frame, oracle and state checks before
// (and independently of) the real overlay. It draws four fixed lines the way the overlay does:
// glyph lists built from the platform's font service at the first frame, a 640x480 orthographic
// space, one raster position per line, and the host's state restored afterwards.
//
// Lines (Arial 18, colour 255 220 64):
//   (30, 440) "Ostrivane stub Wg|0123"
//   (30, 415) "<date> <time>"            as YYYY-MM-DD HH:MM:SS, local time
//   (30, 390) "<camera> F<n> E<n> V<n>"   the active view's camera name and selection counts
//   (30, 365) "elapsed <HH:MM:SS>"        since the glyphs were built
// Commands: 1 shows/hides (starts visible); 2 toggles a faulty mode that leaves lighting off,
// the depth test as it was and the matrix mode at GL_MODELVIEW; 3 toggles leaking the glyph
// lists on reload; 4 rebuilds the glyph lists at the next frame.
#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>

#include "exports.h"
#include "host/plugin_base.h"
#include "platform/platform.h"

namespace {

constexpr int kFirstChar = 32;
constexpr int kGlyphs = 96;

class StubOverlay : public host::PluginBase {
public:
    explicit StubOverlay(const host::PluginHostRecord* record)
        : hostScene(record->scene), hostServices(record->services) {}

    bool runFunction(std::int32_t index) override {
        if (index == 1) shown = !shown;
        if (index == 2) faultKind = !faultKind;
        if (index == 3) leaky = !leaky;
        if (index == 4) ready = false;
        return true;
    }
    void releaseResources(host::HostArg value) override {
        if (value == 0 && base != 0) glDeleteLists(base, kGlyphs);
    }
    std::int32_t functionCount() override { return 5; }

    bool drawFunction(std::int32_t index) override {
        if (index != 0) return true;
        if (!ready) setUp();
        if (!shown) return true;
        const GLboolean lighting = glIsEnabled(GL_LIGHTING);
        glDisable(GL_LIGHTING);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glColor3f(255 * 0.003921569f, 220 * 0.003921569f, 64 * 0.003921569f);

        char line[128];
        drawLine(440.0f, "Ostrivane stub Wg|0123");
        const std::time_t now = std::time(nullptr);
        if (const std::tm* t = std::localtime(&now)) {
            std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d", t->tm_year + 1900, t->tm_mon + 1,
                          t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec);
            drawLine(415.0f, line);
        }
        const std::int32_t faces = selected(host::kFaceMode, 0x14);
        const std::int32_t edges = selected(host::kEdgeMode, 0x10);
        const std::int32_t vertices = selected(host::kVertexMode, 0x0C);
        std::snprintf(line, sizeof line, "%s F%d E%d V%d", cameraName(), static_cast<int>(faces),
                      static_cast<int>(edges), static_cast<int>(vertices));
        drawLine(390.0f, line);
        const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start).count();
        const long long s = ms / 1000;
        std::snprintf(line, sizeof line, "elapsed %02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
        drawLine(365.0f, line);

        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        if (faultKind) {
            glMatrixMode(GL_MODELVIEW);
            return true;
        }
        // The host expects the depth test on and the projection matrix mode after a frame.
        glEnable(GL_DEPTH_TEST);
        if (lighting) glEnable(GL_LIGHTING);
        return true;
    }

private:
    void setUp() {
        void* dc = platform::currentDrawingContext();
        if (dc == nullptr) return;
        if (base != 0 && !leaky) glDeleteLists(base, kGlyphs);
        base = glGenLists(kGlyphs);
        std::uint32_t characters[kGlyphs];
        for (int i = 0; i < kGlyphs; ++i) characters[i] = static_cast<std::uint32_t>(kFirstChar + i);
        platform::buildGlyphLists(dc, platform::FontRequest{"Arial", nullptr, 18}, characters, kGlyphs, base,
                                  platform::GlyphShape::Plain);
        start = std::chrono::steady_clock::now();
        ready = true;
    }

    void drawLine(float y, const char* text) const {
        glRasterPos2f(30.0f, y);
        glPushAttrib(GL_LIST_BIT);
        glListBase(base - kFirstChar);
        glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
        glPopAttrib();
    }

    const char* cameraName() const {
        if (hostScene == nullptr || hostScene->activeViewHolder == nullptr ||
            hostScene->activeViewHolder->activeView == nullptr) {
            return "";
        }
        const host::CameraHandle camera = hostScene->activeViewHolder->activeView->camera;
        if (camera == nullptr) return "";
        if (camera == hostScene->perspectiveCamera) return "Main Perspective";
        if (camera == hostScene->topCamera) return "Top";
        if (camera == hostScene->leftCamera) return "Left";
        if (camera == hostScene->rightCamera) return "Right";
        if (camera == hostScene->frontCamera) return "Front";
        if (camera == hostScene->backCamera) return "Back";
        if (camera == hostScene->bottomCamera) return "Bottom";
        return "Free Ortho";
    }

    // The count of the selection record at `offset` of the scene when the host is in `mode`.
    std::int32_t selected(std::int32_t mode, int offset) const {
        if (hostScene == nullptr || hostServices == nullptr || hostServices->selectionMode() != mode) return 0;
        const host::HostSelectionRecord* record = offset == 0x14   ? hostScene->faceSelection
                                                  : offset == 0x10 ? hostScene->edgeSelection
                                                                   : hostScene->vertexSelection;
        return record != nullptr ? record->selectedCount : 0;
    }

    const host::HostSceneState* hostScene;
    host::HostServiceTable* hostServices;
    GLuint base = 0;
    bool ready = false;
    bool shown = true;
    bool faultKind = false;
    bool leaky = false;
    std::chrono::steady_clock::time_point start{};
};

}  // namespace

TEST_PLUGIN_EXPORT std::int32_t OSTRIVANE_HOST_CALL getPluginVersion() { return host::kPluginInterfaceVersion; }

TEST_PLUGIN_EXPORT void OSTRIVANE_HOST_CALL initializePlugin(host::PluginHostRecord* record) {
    host::bindInstance(record, new (std::nothrow) StubOverlay(record));
}
