// One run of the stand-in host: the loaded plug-in, the records it was bound to, the GL context
// it draws into, and the state the steps work on.
#pragma once

#include <chrono>
#include <ctime>
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

// A step that failed; the message says why.
class StepFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string pluginPath;    // absolute
    std::string settingsPath;  // absolute, or empty
    std::string workDir;       // absolute, or empty for a temporary one
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

    void run(const Step& step);

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
    };

    struct FrameCapture {
        GlState before;
        GlState after;
    };

    struct OracleTemplate {
        float x, y;
        std::string text;
    };

    [[noreturn]] void fail(const std::string& message) const;
    // A path of a step made absolute: inputs from the step's folder (the script's, or the
    // directory the host was started in), outputs in the output directory.
    std::string inputPath(const Step& step, const std::string& path) const;
    std::string outputPath(const std::string& path) const;
    void stageSettings(const std::string& path);
    void removeSettings();

    void ensureGl();
    void ensureBound();
    void bind(bool again);
    CallResult call(int operation, std::initializer_list<Word> args);
    void drawFrame(std::int32_t index, int distinctiveLighting, FrameCapture* capture);
    Image renderBackgroundOnly();

    void expectFunctions();
    void expectDefaults(bool allOperations);
    void checkTrampolines();
    void checkGlStateStep(bool visible);
    void setOracle(int size, int red, int green, int blue, const std::string& face);
    void compare(int tolerance);
    void soak(long frames, long reloadEvery);

    Options options_;
    std::string invocationDir_;
    std::string workDir_;
    bool temporaryWorkDir_ = false;

    std::unique_ptr<PluginLibrary> library_;
    void* versionEntry_ = nullptr;
    void* initializeEntry_ = nullptr;
    HostRecords records_;
    bool bound_ = false;

    std::unique_ptr<GlContext> gl_;
    int width_ = 640;
    int height_ = 480;
    Background background_;

    bool haveFrame_ = false;
    Image lastFrame_;
    FrameFacts facts_;
    std::uint32_t modeCallsInFrame_ = 0;
    bool setupPending_ = true;
    Clock::time_point setupBefore_{}, setupAfter_{};
    bool setupKnown_ = false;

    bool oracleReady_ = false;
    std::string oracleFace_;
    int oracleSize_ = 0;
    float oracleColour_[3] = {0, 0, 0};
    unsigned oracleBase_ = 0;
    std::vector<OracleTemplate> oracleLines_;
    int compareCount_ = 0;

    long listBaseline_ = -1;
};

}  // namespace standin
