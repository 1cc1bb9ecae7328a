// The drawing operation against a real (offscreen Mesa) OpenGL context.
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fake_host.h"
#include "overlay/gl/opengl_graphics.h"
#include "overlay/overlay_plugin.h"
#include "platform/platform.h"
#include "platform/windows_1252.h"
#include "settings_file_fixture.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Everything a frame might touch that the host could notice afterwards.
struct GlState {
    GLboolean lighting;
    GLboolean depthTest;
    GLint matrixMode;
    std::array<GLfloat, 16> projection;
    std::array<GLfloat, 16> modelview;
    GLint projectionDepth;
    GLint modelviewDepth;
    GLint listBase;
    std::array<GLfloat, 4> colour;
    std::array<GLfloat, 4> rasterPosition;
    GLint unpackAlignment;

    static GlState capture() {
        GlState s{};
        s.lighting = glIsEnabled(GL_LIGHTING);
        s.depthTest = glIsEnabled(GL_DEPTH_TEST);
        glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
        glGetFloatv(GL_PROJECTION_MATRIX, s.projection.data());
        glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview.data());
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelviewDepth);
        glGetIntegerv(GL_LIST_BASE, &s.listBase);
        glGetFloatv(GL_CURRENT_COLOR, s.colour.data());
        glGetFloatv(GL_CURRENT_RASTER_POSITION, s.rasterPosition.data());
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &s.unpackAlignment);
        return s;
    }
};

// Each case runs with the glyph texture, and with the glyph lists the frame falls back to when no
// texture can be made (forced by the tests' texture size limit, read at set-up).
enum class GlyphPath { Texture, Lists };

class OverlayDrawTest : public SettingsFileTest, public ::testing::WithParamInterface<GlyphPath> {
protected:
    void SetUp() override {
        SettingsFileTest::SetUp();
        if (GetParam() == GlyphPath::Lists) {
            setenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE", "1", 1);
        } else {
            unsetenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE");
        }
        FakeClock::reset();
        pixels.assign(static_cast<std::size_t>(kWidth) * kHeight * 4, 0);
        context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
        ASSERT_NE(context, nullptr);
        plugin.setClock(FakeClock::clock());
        plugin.attachHost(&fake.record);
    }

    void TearDown() override {
        unsetenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE");
        if (context != nullptr) OSMesaDestroyContext(context);
        SettingsFileTest::TearDown();
    }

    void makeCurrent() {
        ASSERT_TRUE(OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, kWidth, kHeight));
        glViewport(0, 0, kWidth, kHeight);
    }

    // A host-like state that differs from everything the frame sets.
    static void setDistinctiveState() {
        glEnable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1, 1, -1, 1, 1, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1, 2, 3);
        glListBase(7);
        glColor3f(0.1f, 0.2f, 0.3f);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    }

    void clear() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    static int liveLists() {
        int live = 0;
        for (GLuint name = 1; name < 20000; ++name) live += glIsList(name) ? 1 : 0;
        return live;
    }
    static int liveTextures() {
        int live = 0;
        for (GLuint name = 1; name < 20000; ++name) live += glIsTexture(name) ? 1 : 0;
        return live;
    }
    // The live lists and textures the font's glyphs should be, with `blocks` list blocks when
    // they are lists.
    void expectGlyphResources(int blocks) {
        const bool texture = GetParam() == GlyphPath::Texture;
        EXPECT_EQ(liveTextures(), texture ? 1 : 0);
        EXPECT_EQ(liveLists(), texture ? 0 : blocks * plugin.glyphResources().listCount);
        if (!texture) EXPECT_GT(plugin.glyphResources().listCount, 0);
        EXPECT_EQ(plugin.glyphResources().texture != 0, texture);
    }

    // Draws `lines` at their positions with glyph lists built here, as a reference picture.
    std::vector<unsigned char> oracle(const char* face, int size, float r, float g, float b,
                                      const std::vector<std::pair<std::array<float, 2>, std::string>>& lines) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 0, 480, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        clear();
        const GLuint base = glGenLists(256);
        // The Windows-1252 characters, a list each at the byte's place.
        std::uint32_t characters[224];
        for (int i = 0; i < 224; ++i) {
            const std::uint16_t code = platform::windows1252ToUnicode(static_cast<unsigned char>(32 + i));
            characters[i] = code != 0 ? code : static_cast<std::uint32_t>(32 + i);
        }
        EXPECT_TRUE(platform::buildGlyphLists(platform::currentDrawingContext(), platform::FontRequest{face, nullptr, size},
                                              characters, 224, base + 32, platform::GlyphShape::Plain));
        glColor3f(r, g, b);
        glListBase(base);
        for (const auto& line : lines) {
            glRasterPos2f(line.first[0], line.first[1]);
            glCallLists(static_cast<GLsizei>(line.second.size()), GL_UNSIGNED_BYTE, line.second.data());
        }
        glFinish();
        glDeleteLists(base, 256);
        return pixels;
    }

    std::vector<unsigned char> pluginFrame() {
        clear();
        plugin.drawFunction(0);
        glFinish();
        return pixels;
    }

    static int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
        int differing = 0;
        for (std::size_t i = 0; i < a.size(); i += 4) differing += std::memcmp(&a[i], &b[i], 3) != 0 ? 1 : 0;
        return differing;
    }

    static int litPixels(const std::vector<unsigned char>& image) {
        int lit = 0;
        for (std::size_t i = 0; i < image.size(); i += 4) lit += (image[i] | image[i + 1] | image[i + 2]) != 0 ? 1 : 0;
        return lit;
    }

    OSMesaContext context = nullptr;
    std::vector<unsigned char> pixels;
    FakeHost fake;
    overlay::OverlayPlugin plugin{overlay::openGlGraphics()};
};

TEST_P(OverlayDrawTest, WithoutAContextNothingIsSetUpUntilOneIsCurrent) {
    OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n");
    EXPECT_TRUE(plugin.drawFunction(0));
    EXPECT_FALSE(plugin.isSetUp());
    makeCurrent();
    EXPECT_TRUE(plugin.drawFunction(0));
    EXPECT_TRUE(plugin.isSetUp());
    EXPECT_TRUE(plugin.isVisible());
}

TEST_P(OverlayDrawTest, OtherIndicesAndHiddenFramesChangeNothing) {
    makeCurrent();
    writeSettings("[SECTION1]\nROWDATA1=hidden text\n");
    setDistinctiveState();
    const GlState before = GlState::capture();
    EXPECT_TRUE(plugin.drawFunction(1));
    EXPECT_FALSE(plugin.isSetUp());

    EXPECT_TRUE(plugin.drawFunction(0));  // set-up, then hidden
    ASSERT_TRUE(plugin.isSetUp());
    ASSERT_FALSE(plugin.isVisible());
    const GlState after = GlState::capture();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_EQ(litPixels(pixels), 0);
}

TEST_P(OverlayDrawTest, VisibleFrameRestoresTheHostStateButLeavesDepthOnAndProjectionSelected) {
    makeCurrent();
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=state\n");
    setDistinctiveState();
    GlState expected = GlState::capture();
    plugin.drawFunction(0);
    const GlState after = GlState::capture();
    EXPECT_EQ(after.lighting, GL_TRUE);
    EXPECT_EQ(after.depthTest, GL_TRUE);
    EXPECT_EQ(after.matrixMode, GL_PROJECTION);
    EXPECT_EQ(after.projection, expected.projection);
    EXPECT_EQ(after.modelview, expected.modelview);
    EXPECT_EQ(after.projectionDepth, expected.projectionDepth);
    EXPECT_EQ(after.modelviewDepth, expected.modelviewDepth);
    EXPECT_EQ(after.listBase, expected.listBase);
    EXPECT_EQ(after.unpackAlignment, expected.unpackAlignment);

    // Lighting that was off stays off.
    glDisable(GL_LIGHTING);
    plugin.drawFunction(0);
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_FALSE);
}

TEST_P(OverlayDrawTest, AFrameWithOutlineBoxAndCornerGivesTheHostItsStateBack) {
    makeCurrent();
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nTEXT_SHADOW=2\nBOX_ALPHA=100\nHUD_ANCHOR=TOP_RIGHT\n"
                  "COLOR_RED=255\nCOLOR_GREEN=0\nCOLOR_BLUE=51\n[SECTION1]\nROWDATA1=state\n");
    setDistinctiveState();
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_ONE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    const GlState expected = GlState::capture();
    plugin.drawFunction(0);
    const GlState after = GlState::capture();
    EXPECT_EQ(after.depthTest, GL_TRUE);
    EXPECT_EQ(after.matrixMode, GL_PROJECTION);
    EXPECT_EQ(after.projection, expected.projection);
    EXPECT_EQ(after.modelview, expected.modelview);
    EXPECT_EQ(after.listBase, expected.listBase);
    EXPECT_EQ(after.unpackAlignment, expected.unpackAlignment);
    EXPECT_EQ(after.colour, (std::array<GLfloat, 4>{1.0f, 0.0f, 51 * 0.003921569f, 1.0f}));  // the text colour
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint blend[2] = {}, polygon[2] = {};
    glGetIntegerv(GL_BLEND_SRC, &blend[0]);
    glGetIntegerv(GL_BLEND_DST, &blend[1]);
    glGetIntegerv(GL_POLYGON_MODE, polygon);
    EXPECT_EQ(blend[0], GL_ONE);
    EXPECT_EQ(blend[1], GL_ONE);
    EXPECT_EQ(polygon[0], GL_LINE);
    expectGlyphResources(2);  // as lists: the glyphs and their outline
}

TEST_P(OverlayDrawTest, LinesMatchTheSameTextDrawnWithReferenceGlyphs) {
    makeCurrent();
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nHUD_POS_X=40\nHUD_POS_Y=300\nHUD_STEP_Y=25\nFONT_SIZE=22\n"
                  "COLOR_RED=255\nCOLOR_GREEN=128\nCOLOR_BLUE=0\n"
                  "[SECTION1]\nROWDATA1=First line\nROWDATA2=BLANK\nROWDATA3=Sel \xE9 *SEL_FACES*\x01!\n");
    FakeHost::mode = host::kFaceMode;
    fake.faces.selectedCount = 42;
    const std::vector<unsigned char> drawn = pluginFrame();
    const std::vector<unsigned char> expected =
        oracle("Arial", 22, 1.0f, 128 * 0.003921569f, 0.0f, {{{40, 300}, "First line"}, {{40, 250}, "Sel \xE9 42!"}});
    EXPECT_GT(litPixels(expected), 100);
    EXPECT_EQ(differingPixels(drawn, expected), 0);
}

TEST_P(OverlayDrawTest, ReloadRebuildsGlyphsWithoutLeakingAndRestartsElapsed) {
    makeCurrent();
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=*ELAPSED*\n");
    plugin.drawFunction(0);
    expectGlyphResources(1);
    for (int i = 0; i < 25; ++i) {
        plugin.runFunction(overlay::kCommandReload);
        plugin.drawFunction(0);
    }
    expectGlyphResources(1);

    FakeClock::tick = 5000;
    plugin.drawFunction(0);
    EXPECT_STREQ(plugin.tokenValue(overlay::kTokenElapsed), "00:00:05");
    plugin.runFunction(overlay::kCommandReload);
    plugin.drawFunction(0);
    EXPECT_STREQ(plugin.tokenValue(overlay::kTokenElapsed), "00:00:00");
}

TEST_P(OverlayDrawTest, ReleasedGlyphsAreRebuiltAloneOnTheNextVisibleFrame) {
    makeCurrent();
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=before\n");
    plugin.drawFunction(0);
    const overlay::GlyphBlocks first = plugin.glyphResources();
    ASSERT_TRUE(first.any());
    FakeClock::tick = 7000;

    plugin.releaseResources(1);  // anything but 0 is ignored
    EXPECT_EQ(plugin.glyphResources().texture, first.texture);
    EXPECT_EQ(plugin.glyphResources().glyphs, first.glyphs);
    plugin.releaseResources(0);
    EXPECT_FALSE(plugin.glyphResources().any());
    EXPECT_FALSE(glIsList(first.glyphs));
    EXPECT_FALSE(glIsTexture(first.texture));
    EXPECT_EQ(liveLists() + liveTextures(), 0);
    plugin.releaseResources(0);  // twice is harmless

    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=after\n");
    const std::vector<unsigned char> drawn = pluginFrame();
    expectGlyphResources(1);
    EXPECT_STREQ(plugin.pageTable().rowText(0, 0), "before");  // settings were not reread
    EXPECT_STREQ(plugin.tokenValue(overlay::kTokenElapsed), "00:00:07");  // clock not restarted
    EXPECT_GT(litPixels(drawn), 0);
}

INSTANTIATE_TEST_SUITE_P(GlyphPaths, OverlayDrawTest, ::testing::Values(GlyphPath::Texture, GlyphPath::Lists),
                         [](const ::testing::TestParamInfo<GlyphPath>& path) {
                             return path.param == GlyphPath::Texture ? "Texture" : "Lists";
                         });

}  // namespace
