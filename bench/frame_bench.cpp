// Per-frame cost of the overlay's own work (token refresh, substitution, line layout) without the
// OpenGL calls, against a literal baseline, and the cost of a settings reload.
#include <benchmark/benchmark.h>

#include <memory>

#include "alloc_counter.h"
#include "fake_graphics.h"
#include "frame_simulation.h"
#include "literal_overlay.h"
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
        plugin.composeLines(sink);
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
void BM_DrawnFrameWithAutoReload(benchmark::State& state) {
    SettingsDirectory dir;
    dir.write(simulation::settingsFile(1, simulation::tokenRow));
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
BENCHMARK(BM_FrameWithoutTokens);
BENCHMARK(BM_FrameWithTokensLiteralBaseline);
BENCHMARK(BM_WorstFrame);
BENCHMARK(BM_WorstFrameLiteralBaseline);
BENCHMARK(BM_ReloadFullSettingsFile);

}  // namespace

BENCHMARK_MAIN();
