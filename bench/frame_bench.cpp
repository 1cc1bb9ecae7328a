// Per-frame cost of the overlay's own work (token refresh, substitution, line layout) without the
// OpenGL calls, against a literal baseline, and the cost of a settings reload.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <memory>
#include <vector>

#include "alloc_counter.h"
#include "fake_graphics.h"
#include "frame_simulation.h"
#include "literal_overlay.h"
#include "overlay/gl/opengl_graphics.h"
#include "overlay/overlay_plugin.h"

namespace {

using simulation::SimClock;

// The project's code over the 60 Hz sequence.
template <bool kWorst>
void runProjectFrames(benchmark::State& state, const std::string& settings) {
    SettingsDirectory dir;
    dir.write(settings);
    simulation::SimulatedHost sim;
    FakeGraphics graphics;
    auto owned = std::make_unique<overlay::OverlayPlugin>(graphics);
    overlay::OverlayPlugin& plugin = *owned;
    plugin.setClock(SimClock::clock());
    plugin.attachHost(&sim.host.record);
    plugin.restartElapsed();
    plugin.loadSettings();
    simulation::NullSink sink;
    const std::uint64_t allocationsBefore = alloc_counter::allocations();
    for (auto _ : state) {
        if (kWorst) sim.nextWorstFrame(); else sim.nextFrame();
        plugin.refreshTokenValues();
        sink.compose(plugin);
    }
    benchmark::DoNotOptimize(sink.checksum);
    state.counters["allocs/frame"] = benchmark::Counter(
        static_cast<double>(alloc_counter::allocations() - allocationsBefore) / static_cast<double>(state.iterations()));
}

// The literal baseline over the same sequence.
template <bool kWorst>
void runLiteralFrames(benchmark::State& state) {
    simulation::SimulatedHost sim;
    auto overlay = std::make_unique<bench::LiteralOverlay>(&sim.host.scene, &sim.host.services, SimClock::clock());
    for (int row = 0; row < 28; ++row) overlay->setRow(row, simulation::tokenRow(row).c_str());
    overlay->restartElapsed();
    std::uint32_t checksum = 0;
    for (auto _ : state) {
        if (kWorst) sim.nextWorstFrame(); else sim.nextFrame();
        checksum += overlay->frame();
    }
    benchmark::DoNotOptimize(checksum);
}

// A whole drawn frame through drawFunction, GL left out: set-up once, then the frames, each
// with AUTO_RELOAD's look at the clock and, once a second, at the file.
void runDrawnFrames(benchmark::State& state, const std::string& extraConfig,
                    std::string (*rowText)(int) = simulation::tokenRow) {
    SettingsDirectory dir;
    dir.write(simulation::settingsFile(1, rowText, extraConfig));
    simulation::SimulatedHost sim;
    FakeGraphics graphics;
    int context = 0;
    graphics.context = &context;
    graphics.keepLines = false;
    auto plugin = std::make_unique<overlay::OverlayPlugin>(graphics);
    plugin->setClock(SimClock::clock());
    plugin->attachHost(&sim.host.record);
    plugin->drawFunction(0);
    const std::uint64_t allocationsBefore = alloc_counter::allocations();
    for (auto _ : state) {
        sim.nextFrame();
        plugin->drawFunction(0);
    }
    state.counters["allocs/frame"] = benchmark::Counter(
        static_cast<double>(alloc_counter::allocations() - allocationsBefore) / static_cast<double>(state.iterations()));
    state.counters["frames drawn"] = static_cast<double>(graphics.frames);
}

void BM_DrawnFrameWithAutoReload(benchmark::State& state) { runDrawnFrames(state, ""); }
// A page that holds the frame rate and the selection in its own mode too.
void BM_DrawnFrameWithEveryToken(benchmark::State& state) { runDrawnFrames(state, "", simulation::everyTokenRow); }
// The same page with an outline, a box and the top right corner: every row measured and placed.
void BM_DrawnFrameOutlineBoxTopRight(benchmark::State& state) {
    runDrawnFrames(state, "TEXT_SHADOW=2\nBOX_ALPHA=128\nHUD_ANCHOR=TOP_RIGHT\n");
}

// The same page in window pixels, held at the bottom right corner: every row measured and placed
// from the page's height.
void BM_DrawnFramePixelsBottomRight(benchmark::State& state) {
    runDrawnFrames(state, "HUD_UNITS=PIXELS\nHUD_ANCHOR=BOTTOM_RIGHT\n");
}

// The set-up that Reload INI repeats: settings read, glyph lists built in an offscreen Mesa
// context, with and without the outline block.
// An offscreen Mesa context of 640 x 480 made current, and the plug-in drawing into it for a
// simulated host; `ready` is false (and the benchmark skipped) when there is no context.
struct OffscreenPlugin {
    explicit OffscreenPlugin(benchmark::State& state) : pixels(640 * 480 * 4) {
        context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
        ready = context != nullptr && OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, 640, 480);
        if (!ready) {
            state.SkipWithError("no OSMesa context");
            return;
        }
        plugin->setClock(SimClock::clock());
        plugin->attachHost(&sim.host.record);
    }
    ~OffscreenPlugin() {
        if (context != nullptr) OSMesaDestroyContext(context);
    }

    std::vector<unsigned char> pixels;
    OSMesaContext context = nullptr;
    bool ready = false;
    simulation::SimulatedHost sim;
    std::unique_ptr<overlay::OverlayPlugin> plugin = std::make_unique<overlay::OverlayPlugin>(overlay::openGlGraphics());
};

void runSetUps(benchmark::State& state, const std::string& extraConfig) {
    SettingsDirectory dir;
    dir.write(simulation::settingsFile(1, simulation::tokenRow, extraConfig));
    OffscreenPlugin offscreen(state);
    if (!offscreen.ready) return;
    overlay::OverlayPlugin* plugin = offscreen.plugin.get();
    for (auto _ : state) {
        plugin->runFunction(overlay::kCommandReload);
        plugin->drawFunction(0);
    }
}
void BM_SetUp(benchmark::State& state) { runSetUps(state, ""); }
void BM_SetUpWithOutline(benchmark::State& state) { runSetUps(state, "TEXT_SHADOW=2\n"); }

// FONT_SCALE=VIEW, OSMesa, a page of 28 rows with tokens: (i) a frame that makes the glyph texture
// again at state.range(0) pixels (views 480, 960 and 1920 high for FONT_SIZE=18), the height
// alternating with a pixel size larger, a quarter second apart; (j) the frames of a view resized
// every frame at 60 Hz, which make the glyphs again at most four times a second.
void runScaledFrames(benchmark::State& state, bool resizing) {
    std::string file = simulation::settingsFile(1, simulation::tokenRow, "FONT_SCALE=VIEW\n");
    file.replace(file.find("FONT_SIZE=14"), 12, "FONT_SIZE=18");
    SettingsDirectory dir;
    dir.write(file);
    OffscreenPlugin offscreen(state);
    if (!offscreen.ready) return;
    overlay::OverlayPlugin* plugin = offscreen.plugin.get();
    simulation::SimulatedHost& sim = offscreen.sim;
    plugin->drawFunction(0);
    const int size = static_cast<int>(state.range(0));
    const std::uint32_t buildsBefore = plugin->glyphBuilds();
    int frame = 0;
    for (auto _ : state) {
        if (resizing) {
            sim.nextFrame();
            glViewport(0, 0, 1024, 400 + (frame * 37) % 1200);
        } else {
            SimClock::tick += overlay::kRebuildIntervalMs;
            glViewport(0, 0, 1024, (frame % 2 == 0 ? size : size + 1) * 480 / 18);
        }
        plugin->drawFunction(0);
        glFinish();
        ++frame;
    }
    state.counters["builds/frame"] = benchmark::Counter(static_cast<double>(plugin->glyphBuilds() - buildsBefore) /
                                                        static_cast<double>(state.iterations()));
}
void BM_ScaledRebuild(benchmark::State& state) { runScaledFrames(state, false); }
void BM_ScaledFrameWhileResizing(benchmark::State& state) { runScaledFrames(state, true); }

void BM_FrameWithTokens(benchmark::State& state) {
    runProjectFrames<false>(state, simulation::settingsFile(1, simulation::tokenRow));
}
void BM_FrameWithoutTokens(benchmark::State& state) {
    runProjectFrames<false>(state, simulation::settingsFile(1, simulation::plainRow));
}
void BM_FrameWithTokensLiteralBaseline(benchmark::State& state) { runLiteralFrames<false>(state); }
void BM_WorstFrame(benchmark::State& state) {
    runProjectFrames<true>(state, simulation::settingsFile(1, simulation::tokenRow));
}
void BM_WorstFrameLiteralBaseline(benchmark::State& state) { runLiteralFrames<true>(state); }

void BM_ReloadFullSettingsFile(benchmark::State& state) {
    SettingsDirectory dir;
    dir.write(simulation::settingsFile(5, simulation::tokenRow));
    FakeGraphics graphics;
    auto plugin = std::make_unique<overlay::OverlayPlugin>(graphics);
    for (auto _ : state) plugin->loadSettings();
    benchmark::DoNotOptimize(plugin->pageTable().pageCount());
}

BENCHMARK(BM_FrameWithTokens);
BENCHMARK(BM_DrawnFrameWithAutoReload);
BENCHMARK(BM_DrawnFrameWithEveryToken);
BENCHMARK(BM_DrawnFrameOutlineBoxTopRight);
BENCHMARK(BM_DrawnFramePixelsBottomRight);
BENCHMARK(BM_FrameWithoutTokens);
BENCHMARK(BM_FrameWithTokensLiteralBaseline);
BENCHMARK(BM_WorstFrame);
BENCHMARK(BM_WorstFrameLiteralBaseline);
BENCHMARK(BM_ReloadFullSettingsFile);
BENCHMARK(BM_SetUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetUpWithOutline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaledRebuild)->Arg(18)->Arg(36)->Arg(72)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaledFrameWhileResizing)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
