// One run of the stand-in host: the loaded plug-in, the records it was bound to, the GL context
// it draws into, and the state the steps work on. The steps (step_table.cpp) call the operations
// below; each fails the run by throwing StepFailure with a message that says why.
//   session.cpp          work directory, loading, binding, calls, frames, host state
//   session_checks.cpp   checks of the catalogue, the defaults, the trampolines and the GL state
//   session_oracle.cpp   the oracle text and the pixel comparison
//   session_soak.cpp     the soak run
#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gl_scene.h"
#include "host_records.h"
#include "image.h"
#include "operations.h"
#include "platform_host.h"
#include "steps.h"

namespace standin {

constexpr std::int32_t kReloadCommand = 4;  // runFunction's Reload INI

// A step that failed; the message says why.
class StepFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string pluginPath;    // absolute
    std::string settingsPath;  // absolute, or empty
    std::string workDir;       // absolute, or empty for a temporary one
    std::string libraryDir;    // relative to the work directory: load a copy of the plug-in from
                               // there; empty: load it where it is
    std::string outputDir;     // absolute: where compare failures and relative saves go
    bool verbose = false;
};

class Session {
public:
    // Prepares the work directory (with the settings staged), makes it current and loads the
    // plug-in; throws StepFailure when any of that fails.
    explicit Session(const Options& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs one validated step through its entry in the step table.
    void run(const Step& step);
    [[noreturn]] void fail(const std::string& message) const;

    // ---- Set-up and host state ----
    void setViewport(int width, int height);
    void setBackground(const Background& scene) { background = scene; }
    // Stages `path` as the plug-in's settings file; removeSettings takes it away.
    void stageSettings(const std::string& path);
    void removeSettings();
    // Saves `path` over the settings file the way careful editors do: written under another
    // name in the same folder, then renamed over it.
    void stageSettingsByRename(const std::string& path);
    // Stages `path` as Ostrivane.ini beside the loaded copy of the plug-in (--library-dir); an
    // empty path removes it.
    void stageLibrarySettings(const std::string& path);
    // Makes `dir` (relative to the work directory, created when missing) the current directory.
    void changeDirectory(const std::string& dir);
    HostRecords& hostRecords() { return records; }
    bool isBound() const { return bound; }
    // A path of a step made absolute: inputs from the step's folder (the script's, or the
    // directory the host was started in), outputs in the output directory.
    std::string inputPath(const Step& step, const std::string& path) const;
    std::string outputPath(const std::string& path) const;

    // ---- Binding and calls ----
    std::int32_t pluginVersion();
    // getPluginVersion (which must answer 4) and initializePlugin; `again` for a second bind.
    void bind(bool again);
    CallResult call(int operation, std::initializer_list<Word> args);
    // drawFunction(index) over a freshly drawn background, remembering what the host knew.
    void drawFrame(std::int32_t index);
    // runFunction(index), which must answer true.
    void runFunction(std::int32_t index);
    // drawFunction(0) `count` times within one second of the tick, nothing of the host's drawn
    // around them, and on into the next second: a frame drawn then shows `count` for *FPS*.
    void framesInOneSecond(int count);
    void save(const std::string& path);

    // ---- Checks (session_checks.cpp) ----
    void expectFunctions();
    // A plug-in that overrides nothing; `allOperations` false checks operations 5-23 only.
    void expectDefaults(bool allOperations);
    void expectModeCalls(std::uint32_t calls);
    void checkTrampolines();
    void expectInstances(Word instances);
    void checkGlStateAfterFrames(bool visible);
    // A frame drawn with a pixel-unpack buffer of the host's bound around the plug-in's call,
    // which must find the same buffer bound when it returns.
    void frameWithUnpackBuffer();
    void countLists();
    void expectListsStable();
    void expectLiveLists(long lists);

    // ---- Oracle (session_oracle.cpp) ----
    void setOracle(int size, int red, int green, int blue, const std::string& face);
    // `lines` line heights of the oracle's font are added to y (in pixels, or in the screen's
    // units of the viewport's height).
    void addOracleLine(float x, double y, int lines, const std::string& text);
    // Until the next oracle step: the shadow and the box its lines are drawn with, and the corner
    // the lines added after setOracleAnchor are measured from.
    void setOracleShadow(OracleShadow shadow, int red, int green, int blue);
    // The oracle's list for `byte` draws `codePoint` from `face` instead, at the oracle's size: a
    // character beyond Windows-1252, from the face the test names as the one that has it.
    void mapOracleGlyph(int byte, std::uint32_t codePoint, const std::string& face);
    void setOracleBox(bool box, int red, int green, int blue, int alpha, int padding);
    void setOracleAnchor(const std::string& anchor);
    // The oracle-text lines added after it are in window pixels from the viewport's corner, or in
    // the 640x480 screen.
    void setOracleUnits(bool pixels) { oraclePixels = pixels; }
    // From the next oracle step on: its SIZE is FONT_SIZE, grown as FONT_SCALE=VIEW or DPI would
    // grow it in the viewport of that step or at `dpi`, with the look that follows the font.
    enum class OracleScale { None, View, Dpi };
    void setOracleScale(OracleScale scale, int dpi) { oracleScale = scale, oracleDpi = dpi; }
    void compare(int tolerance);
    // The rows of pixels where the last frame and the PNG at `path` (relative: in the output
    // directory) differ from the background alone have none in common.
    void expectInkApart(const std::string& path);
    // The lines of the last compare that matched, again, with the style in force.
    void oracleAgain() { oracleLines = comparedLines; }
    // The same with a PNG file in place of the last frame.
    void compareImageFile(const std::string& path, int tolerance);
    // Pixels of the last frame that differ from the background drawn alone.
    long pixelsDrawn();

    // ---- What the host leaves for the plug-in's frames (session_host_state.cpp) ----
    // A viewport smaller than the window, and a scissor box; the oracle's text gets both too.
    void setHostViewport(bool sub, int x, int y, int w, int h);
    void setHostScissor(bool on, int x, int y, int w, int h);
    // The cluttered state of host_clutter.h, around every drawFunction call.
    void setCluttered(bool on) { cluttered = on; }
    // The lines of the current oracle are antialiased (smooth_oracle.h).
    void setOracleSmooth();
    // The raster position, raster colour and colour after the last frame are those the oracle's
    // glyph lists left after the last compare.
    void expectRasterAsOracle();
    // At least `minimum` pixels of the last frame differ from the background alone and from the
    // oracle's text colour: antialiased edges.
    void expectPartialPixels(long minimum);
    void expectLiveTextures(long textures);
    // A host that takes names it never asked GL for: every texture from 1 to 1023 it finds given
    // an image of its own ("respecify"), deleted, or bound and given a minifying filter that needs
    // mipmaps ("filter"); display lists first to first + count - 1, the oracle's aside, compiled
    // again with a bitmap of its own ("recompile") or deleted.
    void takeTextures(const std::string& how);
    void takeLists(const std::string& how, long first, long count);
    // No GL error is set (each one set is read, and named), and every texture and list the last
    // take steps made the host's is still its own: the plug-in deleted and overwrote none.
    void expectHostKept();
    // `count` random layouts from `seed` (session_random.cpp), each compared with the oracle.
    void randomLayouts(long count, std::uint32_t seed);
    // Every corner at its very edges, in both units, plain, outlined and antialiased, with boxes.
    void cornerLayouts();

    // ---- Soak (session_soak.cpp) ----
    void soak(long frames, long reloadEvery);

    // ---- Timing (session_bench.cpp) ----
    // The largest glyph texture side the plug-in may make from its next set-up on; -1: its
    // context's own limit.
    void setTextureLimit(long side);
    // `frames` visible frames, each timed from before drawFunction(0) until its GL work is done;
    // the times are kept under `label`.
    void benchFrames(const std::string& label, long frames);
    // `count` times Reload INI and the frame that sets the plug-in up again, timed the same way.
    void benchSetUp(const std::string& label, long count);
    // `rounds` times the GL calls with which the plug-in checks its glyph texture, and two blocks of
    // glyph lists, each timed; kept under `label` texture and `label` lists.
    void benchCheck(const std::string& label, long rounds);
    // The median and mean time of every label so far, in the order the labels came.
    void benchReport();

private:
    using Clock = std::chrono::steady_clock;

    // What the host knew at the last frame, for the oracle's placeholders.
    struct FrameFacts {
        std::tm local{};
        bool elapsedKnown = false;
        long long elapsedLowMs = 0;   // the plug-in's elapsed time lies in [low, high]
        long long elapsedHighMs = 0;
        std::string camera;
        std::int32_t faces = 0, edges = 0, vertices = 0;
        std::int32_t mode = -1;  // the selection mode the host answered
        // The frames the plug-in counted since its set-up: the tick before and after each call.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> frameTicks;
    };

    struct FrameCapture {
        GlState before;
        GlState after;
    };

    struct OracleTemplate {
        Corner corner;
        bool onDescent;
        bool pixels;
        float x, y;
        std::string text;
    };

    void ensureGl();
    void ensureBound();
    // `distinctiveLighting` >= 0 sets the GL state check's distinctive state before the call.
    void drawFrame(std::int32_t index, int distinctiveLighting, FrameCapture* capture);
    void applyHostFrame();
    void clearHostFrame();
    // What the oracle's lines need of the host's frame.
    void prepareOracleStyle(OracleStyle& style);
    Image renderBackgroundOnly();
    void placeOracleLines(std::vector<OracleLine>& lines, OracleStyle& style) const;
    void compareWithOracle(const Image& picture, int tolerance);
    // The recording plug-in's report of its last recorded call; fails for other plug-ins.
    using LastRecordedCall = std::int32_t(STANDIN_CDECL*)(Word* out);
    LastRecordedCall recordingReport(const char* step);

    Options options;
    std::string invocationDir;
    std::string workDir;
    bool temporaryWorkDir = false;

    std::filesystem::path loadedPlugin;
    std::unique_ptr<PluginLibrary> library;
    void* versionEntry = nullptr;
    void* initializeEntry = nullptr;
    HostRecords records;
    bool bound = false;

    std::unique_ptr<GlContext> gl;
    int width = 640;
    int height = 480;
    Background background;

    bool haveFrame = false;
    Image lastFrame;
    FrameFacts facts;
    std::uint32_t modeCallsInFrame = 0;
    bool setupPending = true;
    Clock::time_point setupBefore{}, setupAfter{};
    bool setupKnown = false;

    bool oracleReady = false;
    std::string oracleFace;
    int oracleSize = 0;
    float oracleColour[3] = {0, 0, 0};
    unsigned oracleBase = 0;
    bool oracleMapped = false;  // some lists of the oracle's block draw other characters
    std::vector<OracleTemplate> oracleLines;
    std::vector<OracleTemplate> comparedLines;
    FontMetrics oracleMetrics;
    OracleStyle oracleStyle;
    int oraclePadding = 0;
    Corner oracleCorner = Corner::BottomLeft;
    bool oracleOnDescent = false;  // a bottom corner named by oracle-anchor: lines stand on their descent
    bool oraclePixels = false;
    OracleScale oracleScale = OracleScale::None;
    int oracleDpi = 96;
    double oracleFactor = 1.0;  // what the oracle's font grew by; 1 without a scale
    int oracleListAdvances[256] = {};
    int compareCount = 0;

    long listBaseline = -1;
    long textureBaseline = -1;

    std::vector<unsigned> takenTextures, takenLists;  // given the host's image, compiled again
    HostFrame hostFrame;
    bool cluttered = false;
    RasterState frameRaster;   // after the last frame
    RasterState oracleRaster;  // after the oracle's last lines
    bool oracleRasterKnown = false;
    CoverageFont smoothFont;

    std::vector<std::pair<std::string, std::vector<double>>> benchTimes;  // milliseconds, by label
    std::vector<double>& benchSamples(const std::string& label);
    double timedFrame();
};

}  // namespace standin
