// Frames allocate nothing: not the overlay's own work, and not a whole drawn frame.
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "alloc_counter.h"
#include "frame_simulation.h"
#include "overlay/gl/opengl_graphics.h"
#include "overlay/overlay_plugin.h"

namespace {

using simulation::SimClock;

TEST(FrameAllocation, TokenFramesAndPageChangesAllocateNothing) {
    SettingsDirectory dir;
    dir.write(simulation::settingsFile(5, simulation::tokenRow));
    simulation::SimulatedHost sim;
    auto plugin = std::make_unique<overlay::OverlayPlugin>(overlay::openGlGraphics());
    plugin->setClock(SimClock::clock());
    plugin->attachHost(&sim.host.record);
    plugin->restartElapsed();
    const std::uint64_t beforeLoad = alloc_counter::allocations();
    plugin->loadSettings();
    ASSERT_GT(alloc_counter::allocations(), beforeLoad) << "the counter must see the settings reader's allocations";
    simulation::NullSink sink;

    const std::uint64_t before = alloc_counter::allocations();
    for (int frame = 0; frame < 5000; ++frame) {
        if (frame % 7 == 0) sim.nextWorstFrame(); else sim.nextFrame();
        if (frame % 500 == 0) plugin->runFunction(overlay::kCommandNextPage);
        plugin->refreshTokenValues();
        sink.compose(*plugin);
    }
    EXPECT_EQ(alloc_counter::allocations() - before, 0u);
    EXPECT_NE(sink.checksum, 0u);
}

// Drawn frames with the glyph texture (plain, and antialiased with an outline and a box) and with
// the glyph lists it falls back to; and layouts that ask the most of the drawing: pixels in views
// from 1x1 up that change size every frame, a huge font with a step of 1, a step of 4096 and
// positions beyond any view, every token and clock formats at their longest.
struct DrawnCase {
    const char* name;
    const char* config;
    const char* textureLimit;  // null: the context's own
    std::string (*rows)(int) = simulation::tokenRow;
    bool viewportChanges = false;
};

class DrawnFrames : public ::testing::TestWithParam<DrawnCase> {};

TEST_P(DrawnFrames, AllocateNothingAfterSetUp) {
    const DrawnCase& drawn = GetParam();
    if (drawn.textureLimit != nullptr) {
        setenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE", drawn.textureLimit, 1);
    } else {
        unsetenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE");
    }
    SettingsDirectory dir;
    dir.write(simulation::settingsFile(2, drawn.rows, drawn.config));
    std::vector<unsigned char> pixels(640 * 480 * 4);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, 640, 480));
    simulation::SimulatedHost sim;
    auto plugin = std::make_unique<overlay::OverlayPlugin>(overlay::openGlGraphics());
    plugin->setClock(SimClock::clock());
    plugin->attachHost(&sim.host.record);

    // Set-up and the first frames may allocate (fonts, glyphs, the GL driver's first draw).
    for (int frame = 0; frame < 5; ++frame) {
        sim.nextWorstFrame();
        plugin->drawFunction(0);
    }
    ASSERT_TRUE(plugin->isVisible());
    EXPECT_EQ(plugin->glyphResources().texture != 0, drawn.textureLimit == nullptr);
    while (glGetError() != GL_NO_ERROR) {
    }
    const std::uint64_t before = alloc_counter::allocations();
    for (int frame = 0; frame < 300; ++frame) {
        if (frame % 3 == 0) sim.nextWorstFrame(); else sim.nextFrame();
        if (drawn.viewportChanges) glViewport(frame % 7, frame % 5, 1 + (frame * 37) % 640, 1 + (frame * 53) % 480);
        plugin->drawFunction(0);
    }
    EXPECT_EQ(alloc_counter::allocations() - before, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    OSMesaDestroyContext(context);
    unsetenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE");
}

// Names of the textures and display lists alive in the current context.
long liveNames(GLboolean (*isName)(GLuint), GLuint highest) {
    long live = 0;
    for (GLuint name = 1; name <= highest; ++name) live += isName(name) ? 1 : 0;
    return live;
}

// FONT_SCALE=VIEW with FONT_SIZE=64 in a view whose size changes every frame for 1000 frames,
// from 1x1 to 4096x4096, with the texture and with the lists: glyphs made again at most every
// quarter second and none left behind, no GL error; then, steady at 4096x4096 (256 pixels, the
// largest) and at 1x1, frames allocate nothing.
TEST(FrameAllocation, AViewResizedEveryFrameMakesGlyphsBoundedlyAndSteadyFramesNothing) {
    for (const char* limit : {"", "1"}) {
        setenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE", limit, 1);
        SettingsDirectory dir;
        dir.write("[CONFIG]\nDISPLAY_ONSTART=1\nFONT_SCALE=VIEW\nFONT_SIZE=64\nTEXT_SHADOW=2\nBOX_ALPHA=80\n"
                  "[SECTION1]\nROWDATA1=*CUR_TIME* caf\xE9\nROWDATA2=Wg\n");
        std::vector<unsigned char> pixels(640 * 480 * 4);
        OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
        ASSERT_NE(context, nullptr);
        ASSERT_TRUE(OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, 640, 480));
        simulation::SimulatedHost sim;
        auto plugin = std::make_unique<overlay::OverlayPlugin>(overlay::openGlGraphics());
        plugin->setClock(SimClock::clock());
        plugin->attachHost(&sim.host.record);
        plugin->drawFunction(0);
        const std::uint32_t firstBuilds = plugin->glyphBuilds();
        for (int frame = 0; frame < 1000; ++frame) {
            sim.nextFrame();
            glViewport(0, 0, 1 + (frame * 631) % 4096, 1 + (frame * 997) % 4096);
            plugin->drawFunction(0);
        }
        EXPECT_LE(plugin->glyphBuilds() - firstBuilds, 1000u * 16 / overlay::kRebuildIntervalMs + 1) << limit;
        EXPECT_EQ(liveNames(glIsTexture, 4096), limit[0] == '\0' ? 1 : 0) << limit;
        EXPECT_EQ(liveNames(glIsList, 65536), limit[0] == '\0' ? 0 : 2 * plugin->glyphResources().listCount) << limit;

        for (const int side : {4096, 1}) {
            glViewport(0, 0, side, side);
            SimClock::tick += overlay::kRebuildIntervalMs;
            plugin->drawFunction(0);
            EXPECT_EQ(plugin->fontScalingInForce().pixelSize, side == 1 ? 6 : 256) << limit;
            const std::uint64_t before = alloc_counter::allocations();
            for (int frame = 0; frame < 100; ++frame) {
                sim.nextFrame();
                plugin->drawFunction(0);
            }
            EXPECT_EQ(alloc_counter::allocations() - before, 0u) << limit << " at " << side;
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << limit;
        plugin->releaseResources(0);
        EXPECT_EQ(liveNames(glIsTexture, 4096) + liveNames(glIsList, 65536), 0) << limit;
        OSMesaDestroyContext(context);
    }
    unsetenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE");
}

INSTANTIATE_TEST_SUITE_P(FrameAllocation, DrawnFrames,
                         ::testing::Values(DrawnCase{"Texture", "", nullptr},
                                           DrawnCase{"SmoothOutlinedTextureWithBox",
                                                     "FONT_SMOOTH=1\nTEXT_SHADOW=2\nBOX_ALPHA=99\n", nullptr},
                                           DrawnCase{"Lists", "TEXT_SHADOW=1\n", "1"},
                                           DrawnCase{"PixelsInChangingViews",
                                                     "HUD_UNITS=PIXELS\nHUD_ANCHOR=BOTTOM_RIGHT\nFONT_SIZE=64\nHUD_STEP_Y=1\n"
                                                     "BOX_ALPHA=80\nTEXT_SHADOW=2\n",
                                                     nullptr, simulation::everyTokenRow, true},
                                           DrawnCase{"PixelsFarAway",
                                                     "HUD_UNITS=PIXELS\nHUD_ANCHOR=TOP_RIGHT\nHUD_POS_X=4096\nHUD_POS_Y=4096\n"
                                                     "HUD_STEP_Y=4096\nBOX_ALPHA=80\n",
                                                     "1", simulation::everyTokenRow, true},
                                           DrawnCase{"EveryTokenLongestClocks",
                                                     "DATE_FORMAT=%A %Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%\xE9\xFF\n"
                                                     "TIME_FORMAT=%I:%M:%S %p %%%H%H%H%H%H%H%H%H%H%H%H%H%\n",
                                                     nullptr, simulation::everyTokenRow}),
                         [](const ::testing::TestParamInfo<DrawnCase>& drawn) { return drawn.param.name; });

}  // namespace
