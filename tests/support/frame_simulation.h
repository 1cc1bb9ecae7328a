// A realistic frame sequence for the overlay without OpenGL: a simulated host whose clock
// advances 16 ms per frame (60 frames per second) and whose selection changes every 10th frame.
// Shared by the allocation test and the benchmarks.
#pragma once

#include <time.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "../unit/fake_host.h"
#include "overlay/overlay_plugin.h"
#include "settings_directory.h"

namespace simulation {

// Simulated clocks: a millisecond tick and calendar seconds derived from it.
struct SimClock {
    static inline std::uint32_t tick = 0;
    static inline std::int64_t startSeconds = 1'796'688'000;  // 2026-12-07 00:00:00 UTC
    static inline std::int64_t extraSeconds = 0;

    static std::uint32_t tickMilliseconds() { return tick; }
    static std::int64_t calendarNow() { return startSeconds + tick / 1000 + extraSeconds; }
    static bool toLocalTime(std::int64_t seconds, platform::CalendarTime* out) {
        const time_t t = static_cast<time_t>(seconds);
        struct tm broken {};
        if (gmtime_r(&t, &broken) == nullptr) return false;
        *out = {broken.tm_year, broken.tm_mon, broken.tm_mday, broken.tm_hour, broken.tm_min, broken.tm_sec};
        return true;
    }
    static void reloadTimeZone() {}
    static const overlay::Clock* clock() {
        static const overlay::Clock sim = {&tickMilliseconds, &calendarNow, &toLocalTime, &reloadTimeZone};
        return &sim;
    }
};

// Rows with two or three tokens each, as a status page would have them.
inline std::string tokenRow(int row) {
    switch (row % 4) {
        case 0: return "View *CAMERA_NAME*  at *CUR_TIME*";
        case 1: return "Faces *SEL_FACES*  Edges *SEL_EDGES*  Verts *SEL_VERTICES*";
        case 2: return "Date *CUR_DATE*  session *ELAPSED*";
        default: return "Row " + std::to_string(row) + ": *CUR_TIME* / *ELAPSED*";
    }
}

// The rows of tokenRow with the frame rate and the selection in its own mode among them: every
// token on the page.
inline std::string everyTokenRow(int row) {
    switch (row % 4) {
        case 0: return "View *CAMERA_NAME*  at *CUR_TIME*  *FPS* fps";
        case 1: return "Faces *SEL_FACES*  Edges *SEL_EDGES*  Verts *SEL_VERTICES*";
        case 2: return "Date *CUR_DATE*  session *ELAPSED*";
        default: return "*SEL_MODE*: *SEL_COUNT* selected";
    }
}

inline std::string plainRow(int row) { return "Plain status line number " + std::to_string(row) + " of the page"; }

// A settings file of `pages` pages of 28 rows made by `rowText`, and a CONFIG section that turns
// AUTO_RELOAD on, so that drawn frames look at the file once a second.
// `extraConfig` adds CONFIG lines.
template <typename RowText>
std::string settingsFile(int pages, RowText rowText, const std::string& extraConfig = "") {
    std::string file = "[CONFIG]\nHUD_POS_X=10\nHUD_POS_Y=470\nHUD_STEP_Y=16\nFONT_SIZE=14\nFONT_FACE=Arial\n"
                       "COLOR_RED=255\nCOLOR_GREEN=255\nCOLOR_BLUE=255\nDISPLAY_ONSTART=1\nAUTO_RELOAD=1\n" + extraConfig;
    for (int page = 1; page <= pages; ++page) {
        file += "[SECTION" + std::to_string(page) + "]\n";
        for (int row = 0; row < 28; ++row) file += "ROWDATA" + std::to_string(row + 1) + "=" + rowText(row) + "\n";
    }
    return file;
}

// Takes the rows of a frame, as the drawing would, and keeps a checksum of their first bytes.
struct NullSink {
    void compose(overlay::OverlayPlugin& plugin) {
        const int count = plugin.composeRows(overlay::Viewport(), rows);
        for (int index = 0; index < count; ++index) checksum = checksum * 31 + static_cast<unsigned char>(rows[index].text[0]);
    }
    overlay::DrawRow rows[config::kMaxRows];
    std::uint32_t checksum = 0;
};

// The host side of the sequence: advances the clock and the selection like a host at 60 Hz.
struct SimulatedHost {
    FakeHost host;
    std::uint64_t frameNumber = 0;

    SimulatedHost() {
        SimClock::tick = 0;
        SimClock::extraSeconds = 0;
        FakeHost::mode = host::kFaceMode;
        host.view.camera = host.scene.perspectiveCamera;
    }

    void nextFrame() {
        ++frameNumber;
        SimClock::tick += 16;
        if (frameNumber % 10 == 0) host.faces.selectedCount = static_cast<std::int32_t>(frameNumber / 10);
    }

    // A frame where every token value differs from the previous frame's: a new camera, date, time
    // and elapsed second, and a host whose selection mode moves on at each of the three questions,
    // so all three counts are shown and change.
    void nextWorstFrame() {
        ++frameNumber;
        SimClock::tick += 1001;
        SimClock::extraSeconds += 86'400;
        host.view.camera = (frameNumber % 2) != 0 ? host.scene.topCamera : host.scene.frontCamera;
        FakeHost::rotateModes = true;
        FakeHost::modeCalls = 0;
        host.faces.selectedCount = static_cast<std::int32_t>(frameNumber);
        host.edges.selectedCount = static_cast<std::int32_t>(frameNumber + 1);
        host.vertices.selectedCount = static_cast<std::int32_t>(frameNumber + 2);
    }
};

}  // namespace simulation
