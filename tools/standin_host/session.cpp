#include "session.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "gl_headers.h"
#include "step_table.h"
#include "tool_io.h"

namespace fs = std::filesystem;

namespace standin {

namespace {

// Paths are UTF-8 strings here: any character survives, whatever the system's code page.
fs::path native(const std::string& path) { return tools::pathFromUtf8(path); }
std::string utf8(const fs::path& path) { return tools::utf8FromPath(path); }

const char kSettingsRelativePath[] = "Plugins/Startup Plugins/Ostrivane.ini";
constexpr int kInterfaceVersion = 4;

}  // namespace

Session::Session(const Options& runOptions) : options(runOptions) {
    invocationDir = utf8(fs::current_path());
    std::error_code ec;
    if (!options.workDir.empty()) {
        workDir = options.workDir;
        fs::create_directories(native(workDir), ec);
        if (ec) fail("cannot create work directory " + workDir + ": " + ec.message());
    } else {
        const fs::path temp = fs::temp_directory_path(ec);
        if (ec) fail("no temporary directory: " + ec.message());
        for (int attempt = 0; attempt < 100 && workDir.empty(); ++attempt) {
            const auto stamp = Clock::now().time_since_epoch().count();
            const fs::path candidate = temp / ("standin_host-" + std::to_string(stamp) + "-" + std::to_string(attempt));
            if (fs::create_directory(candidate, ec)) workDir = utf8(candidate);
        }
        if (workDir.empty()) fail("cannot create a temporary work directory in " + utf8(temp));
        temporaryWorkDir = true;
    }
    if (!options.settingsPath.empty()) stageSettings(options.settingsPath);
    // The plug-in reads its settings relative to the current directory, as in the host.
    fs::current_path(native(workDir), ec);
    if (ec) fail("cannot enter work directory " + workDir + ": " + ec.message());

    loadedPlugin = native(options.pluginPath);
    if (!options.libraryDir.empty()) {
        const fs::path folder = native(workDir) / native(options.libraryDir);
        fs::create_directories(folder, ec);
        if (ec) fail("cannot create " + utf8(folder) + ": " + ec.message());
        loadedPlugin = folder / loadedPlugin.filename();
        fs::copy_file(native(options.pluginPath), loadedPlugin, fs::copy_options::overwrite_existing, ec);
        if (ec) fail("cannot copy the plug-in into " + utf8(folder) + ": " + ec.message());
    }
    std::string error;
    library = loadPluginLibrary(loadedPlugin, &error);
    if (!library) fail("cannot load plug-in " + utf8(loadedPlugin) + ": " + error);
    versionEntry = library->symbol("getPluginVersion");
    initializeEntry = library->symbol("initializePlugin");
    if (versionEntry == nullptr || initializeEntry == nullptr) {
        fail(options.pluginPath + " is not a plug-in: it does not export " +
             (versionEntry == nullptr && initializeEntry == nullptr ? "getPluginVersion and initializePlugin"
              : versionEntry == nullptr                             ? "getPluginVersion"
                                                                    : "initializePlugin"));
    }
}

Session::~Session() {
    if (oracleBase != 0 && gl) glDeleteLists(oracleBase, 256);
    std::error_code ec;
    fs::current_path(native(invocationDir), ec);
    if (temporaryWorkDir) fs::remove_all(native(workDir), ec);
}

void Session::run(const Step& step) {
    if (options.verbose) tools::printText(stderr, "standin_host: %s: %s\n", step.origin.c_str(), step.text.c_str());
    const StepDefinition* definition = findStep(step.words[0]);
    if (definition == nullptr) fail("step not handled");
    definition->run(*this, step);
}

void Session::fail(const std::string& message) const { throw StepFailure(message); }

// ---- Work directory and settings ----------------------------------------------------------------

std::string Session::inputPath(const Step& step, const std::string& path) const {
    const fs::path p = native(path);
    if (p.is_absolute()) return utf8(p);
    return utf8((native(step.inputDir.empty() ? invocationDir : step.inputDir) / p).lexically_normal());
}

std::string Session::outputPath(const std::string& path) const {
    const fs::path p = native(path);
    return p.is_absolute() ? utf8(p) : utf8((native(options.outputDir) / p).lexically_normal());
}

void Session::stageSettings(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(native(path), ec)) fail("settings file " + path + " not found");
    const fs::path target = native(workDir) / kSettingsRelativePath;
    fs::create_directories(target.parent_path(), ec);
    if (ec) fail("cannot create " + utf8(target.parent_path()) + ": " + ec.message());
    fs::copy_file(native(path), target, fs::copy_options::overwrite_existing, ec);
    if (ec) fail("cannot stage settings file " + path + " as " + utf8(target) + ": " + ec.message());
}

void Session::removeSettings() {
    std::error_code ec;
    fs::remove(native(workDir) / kSettingsRelativePath, ec);
}

void Session::stageSettingsByRename(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(native(path), ec)) fail("settings file " + path + " not found");
    const fs::path target = native(workDir) / kSettingsRelativePath;
    const fs::path temporary = target.parent_path() / "Ostrivane.ini.saving";
    fs::create_directories(target.parent_path(), ec);
    fs::copy_file(native(path), temporary, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(temporary, target, ec);
    if (ec) fail("cannot save " + path + " over " + utf8(target) + " by a rename: " + ec.message());
}

void Session::stageLibrarySettings(const std::string& path) {
    if (options.libraryDir.empty()) fail("library-settings needs --library-dir: the plug-in is loaded where it is");
    const fs::path target = loadedPlugin.parent_path() / "Ostrivane.ini";
    std::error_code ec;
    if (path.empty()) {
        fs::remove(target, ec);
        return;
    }
    if (!fs::is_regular_file(native(path), ec)) fail("settings file " + path + " not found");
    fs::copy_file(native(path), target, fs::copy_options::overwrite_existing, ec);
    if (ec) fail("cannot stage settings file " + path + " as " + utf8(target) + ": " + ec.message());
}

void Session::changeDirectory(const std::string& dir) {
    const fs::path folder = (native(workDir) / native(dir)).lexically_normal();
    std::error_code ec;
    fs::create_directories(folder, ec);
    fs::current_path(folder, ec);
    if (ec) fail("cannot make " + utf8(folder) + " the current directory: " + ec.message());
}

// ---- GL context and viewport --------------------------------------------------------------------

void Session::ensureGl() {
    if (gl) return;
    std::string error;
    gl = createGlContext(width, height, &error);
    if (!gl) fail(error);
}

void Session::setViewport(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
    if (gl) {
        std::string error;
        if (!gl->resize(width, height, &error)) fail(error);
    }
}

// ---- Binding and calls --------------------------------------------------------------------------

std::int32_t Session::pluginVersion() { return callVersionEntry(versionEntry); }

void Session::ensureBound() {
    if (!bound) bind(false);
}

void Session::bind(bool again) {
    const std::int32_t version = pluginVersion();
    if (version != kInterfaceVersion) {
        fail("getPluginVersion answered " + std::to_string(version) + ", expected " + std::to_string(kInterfaceVersion));
    }
    records.clearOperations();
    std::string error;
    if (!callInitializeEntry(initializeEntry, records.record(), &error)) fail(error);
    std::string missing;
    for (int op = 0; op < kOperationCount; ++op) {
        if (records.operationEntry(op) == 0) {
            missing += (missing.empty() ? "" : ", ") + std::to_string(op) + " (" + HostRecords::fieldName(op) + ")";
        }
    }
    if (!missing.empty()) {
        fail(std::string(again ? "the second " : "") + "initializePlugin left operations unwritten: " + missing);
    }
    bound = true;
    // A new instance sets up its graphics on its first frame.
    setupPending = true;
    setupKnown = false;
}

CallResult Session::call(int operation, std::initializer_list<Word> args) {
    ensureBound();
    const Word entry = records.operationEntry(operation);
    if (entry == 0) fail("operation " + std::to_string(operation) + " is not in its field");
    Word passed[3] = {0, 0, 0};
    std::size_t i = 0;
    for (Word arg : args) passed[i++] = arg;
    CallResult result;
    std::string error;
    if (!callOperation(entry, operation, passed, &result, &error)) fail(error);
    return result;
}

void Session::runFunction(std::int32_t index) {
    if (!call(0, {static_cast<Word>(static_cast<std::uint32_t>(index))}).flag) {
        fail("runFunction(" + std::to_string(index) + ") answered false; expected true");
    }
    // Reload INI: the next frame sets the overlay up again and restarts its elapsed time.
    if (index == kReloadCommand) setupPending = true;
}

// ---- Frames -------------------------------------------------------------------------------------

void Session::drawFrame(std::int32_t index) { drawFrame(index, -1, nullptr); }

void Session::drawFrame(std::int32_t index, int distinctiveLighting, FrameCapture* capture) {
    ensureBound();
    ensureGl();
    const Word indexWord = static_cast<Word>(static_cast<std::uint32_t>(index));
    // A frame whose clock second changed during the call is drawn again, so that the date and
    // time the plug-in showed are known exactly.
    for (int attempt = 0;; ++attempt) {
        drawBackground(background, width, height);
        setSceneState(width, height);
        if (distinctiveLighting >= 0) setDistinctiveState(distinctiveLighting != 0);
        applyHostFrame();
        if (capture != nullptr) capture->before = captureGlState();
        const std::uint32_t callsBefore = selectionModeCalls();
        const Clock::time_point t0 = Clock::now();
        const std::time_t c0 = std::time(nullptr);
        const std::uint32_t tick0 = systemTick();
        const CallResult result = call(24, {indexWord});
        const std::uint32_t tick1 = systemTick();
        const std::time_t c1 = std::time(nullptr);
        const Clock::time_point t1 = Clock::now();
        if (capture != nullptr) capture->after = captureGlState();
        frameRaster = captureRaster();
        clearHostFrame();
        modeCallsInFrame = selectionModeCalls() - callsBefore;
        if (!result.flag) fail("drawFunction(" + std::to_string(index) + ") answered false; the host expects true");
        if (index == 0 && setupPending) facts.frameTicks.clear();
        if (index == 0) facts.frameTicks.emplace_back(tick0, tick1);
        if (index == 0 && setupPending) {
            setupPending = false;
            setupKnown = true;
            setupBefore = t0;
            setupAfter = t1;
        }
        if (c0 != c1 && attempt < 4) continue;

        if (const std::tm* local = std::localtime(&c0)) facts.local = *local;
        facts.elapsedKnown = setupKnown;
        if (setupKnown) {
            using std::chrono::duration_cast;
            using std::chrono::milliseconds;
            // The plug-in takes both ticks somewhere inside the calls; its tick counter may lag
            // a timer interrupt behind.
            const long long margin = 20;
            facts.elapsedLowMs = duration_cast<milliseconds>(t0 - setupAfter).count() - margin;
            facts.elapsedHighMs = duration_cast<milliseconds>(t1 - setupBefore).count() + margin;
            if (facts.elapsedLowMs < 0) facts.elapsedLowMs = 0;
        }
        facts.camera = records.cameraName();
        const bool selectionKnown = records.sceneAttached() && records.servicesAttached();
        const std::int32_t mode = selectionMode();
        facts.faces = selectionKnown && mode == 0 ? records.selectionCount(Selection::Faces) : 0;
        facts.edges = selectionKnown && mode == 1 ? records.selectionCount(Selection::Edges) : 0;
        facts.vertices = selectionKnown && mode == 2 ? records.selectionCount(Selection::Vertices) : 0;
        facts.mode = selectionKnown ? mode : -1;
        break;
    }
    lastFrame = gl->read();
    haveFrame = true;
    gl->pump();
}

void Session::framesInOneSecond(int count) {
    ensureBound();
    ensureGl();
    if (setupPending) fail("the plug-in is not set up: draw a frame first");
    const auto nextSecond = [] {
        const std::uint32_t second = systemTick() / 1000;
        while (systemTick() / 1000 == second) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return systemTick() / 1000;
    };
    // A second the frames do not fit in (a busy machine) is tried again with the next.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::uint32_t second = nextSecond();
        for (int frame = 0; frame < count; ++frame) {
            const std::uint32_t tick0 = systemTick();
            if (!call(24, {0}).flag) fail("drawFunction(0) answered false; the host expects true");
            facts.frameTicks.emplace_back(tick0, systemTick());
        }
        if (systemTick() / 1000 == second) {
            nextSecond();
            return;
        }
    }
    fail(std::to_string(count) + " frames did not fit in one second of the tick");
}

Image Session::renderBackgroundOnly() {
    drawBackground(background, width, height);
    return gl->read();
}

void Session::save(const std::string& path) {
    if (!haveFrame) fail("no frame to save yet");
    std::string error;
    if (!writePng(outputPath(path), lastFrame, &error)) fail(error);
}

}  // namespace standin
