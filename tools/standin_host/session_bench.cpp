// Timing of whole plug-in frames, GL work included, for the GL benchmark (bench/gl_bench.sh).
// Nothing here checks a time: the steps print what they measured.
#include <algorithm>
#include <cstdio>
#include <string>

#include "gl_headers.h"
#include "session.h"

namespace standin {

namespace {

constexpr char kTextureLimitVariable[] = "OSTRIVANE_TEST_MAX_TEXTURE_SIZE";

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

}  // namespace

void Session::setTextureLimit(long side) {
    const std::string value = std::to_string(side);
    setEnvironment(kTextureLimitVariable, side < 0 ? nullptr : value.c_str());
}

std::vector<double>& Session::benchSamples(const std::string& label) {
    for (auto& entry : benchTimes) {
        if (entry.first == label) return entry.second;
    }
    benchTimes.emplace_back(label, std::vector<double>());
    return benchTimes.back().second;
}

// One frame as the host draws it: its picture first, finished, so that only the plug-in's call
// and the GL work it queued are timed; then the buffers swapped.
double Session::timedFrame() {
    drawBackground(background, width, height);
    setSceneState(width, height);
    glFinish();
    const Clock::time_point start = Clock::now();
    if (!call(24, {0}).flag) fail("drawFunction(0) answered false");
    glFinish();
    const Clock::time_point end = Clock::now();
    gl->endFrame();
    gl->pump();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void Session::benchFrames(const std::string& label, long frames) {
    ensureBound();
    ensureGl();
    std::vector<double>& samples = benchSamples(label);
    for (long frame = 0; frame < frames; ++frame) samples.push_back(timedFrame());
    haveFrame = false;  // the frames were not read back
}

void Session::benchSetUp(const std::string& label, long count) {
    ensureBound();
    ensureGl();
    std::vector<double>& samples = benchSamples(label);
    for (long round = 0; round < count; ++round) {
        runFunction(kReloadCommand);
        samples.push_back(timedFrame());
    }
    setupPending = true;
    haveFrame = false;
}

void Session::benchReport() {
    for (const auto& entry : benchTimes) {
        double sum = 0.0;
        for (double sample : entry.second) sum += sample;
        const double mean = entry.second.empty() ? 0.0 : sum / static_cast<double>(entry.second.size());
        std::printf("standin_host: bench %-32s %6zu samples  median %8.3f ms  mean %8.3f ms\n", entry.first.c_str(),
                    entry.second.size(), median(entry.second), mean);
    }
}

}  // namespace standin
