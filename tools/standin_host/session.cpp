#include "session.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "gl_headers.h"

namespace fs = std::filesystem;

namespace standin {

namespace {

const char kSettingsRelativePath[] = "Plugins/Startup Plugins/Ostrivane.ini";
constexpr int kInterfaceVersion = 4;
constexpr std::int32_t kReloadCommand = 4;

struct CatalogueEntry {
    const char* name;
    std::int32_t type;
};
const CatalogueEntry kCatalogue[5] = {
    {"Ostrivane Drawing Fn", 2}, {"Ostrivane Switch", 0},     {"Ostrivane Next Page", 0},
    {"Ostrivane Prev Page", 0},  {"Ostrivane Reload INI", 0},
};

// The recording plug-in's report of the last call it recorded: operation, three arguments,
// argument count, recording instance, sequence number of the call, instances created.
using LastRecordedCall = std::int32_t(STANDIN_CDECL*)(Word* out);
enum RecordedField { kOperation, kArgA, kArgB, kArgC, kArgCount, kInstance, kSequence, kInstances, kFields };

// The recording plug-in's answers, derived from the arguments.
bool recordedFlag(const OperationInfo& info, const Word* args) {
    if (info.indexArgument) return (static_cast<std::int32_t>(args[0]) & 1) != 0;
    Word sum = 0;
    for (int i = 0; i < info.argCount; ++i) sum += args[i];
    return (sum & 1) != 0;
}
std::int32_t recordedType(std::int32_t index) { return -3 * index - 7; }
constexpr std::int32_t kRecordedCount = 0x12345678;
std::string recordedName(std::int32_t index) { return "recorded " + std::to_string(index); }

// Distinctive arguments for `operation`: variant 1 flips the low bit of the first argument's sum
// (so bool answers differ) and sets its top bit; index arguments turn negative.
void trampolineArguments(int operation, int variant, const OperationInfo& info, Word* args) {
    const std::uint32_t base = 0x1000u * static_cast<std::uint32_t>(operation);
    args[0] = variant == 0 ? base + 0x11 : (0x80000000u | (base + 0x12));
    args[1] = base + 0x22;
    args[2] = base + 0x33;
    if (info.indexArgument) {
        const std::int32_t index = variant == 0 ? static_cast<std::int32_t>(base + 0x11)
                                                : -static_cast<std::int32_t>(base + 0x12);
        args[0] = static_cast<Word>(static_cast<std::uint32_t>(index));
    }
}

std::string hex(Word value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string fieldName(int operation) {
    bool inTable = false;
    const unsigned offset = HostRecords::operationOffset(operation, &inTable);
    char text[64];
    std::snprintf(text, sizeof text, "%s field 0x%02X", inTable ? "extension table" : "record", offset);
    return text;
}

std::string join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
    return text;
}

std::string formatTriple(const char* pattern, int a, int b, int c) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

}  // namespace

Session::Session(const Options& options) : options_(options) {
    invocationDir_ = fs::current_path().string();
    std::error_code ec;
    if (!options_.workDir.empty()) {
        workDir_ = options_.workDir;
        fs::create_directories(workDir_, ec);
        if (ec) fail("cannot create work directory " + workDir_ + ": " + ec.message());
    } else {
        const fs::path temp = fs::temp_directory_path(ec);
        if (ec) fail("no temporary directory: " + ec.message());
        for (int attempt = 0; attempt < 100 && workDir_.empty(); ++attempt) {
            const auto stamp = Clock::now().time_since_epoch().count();
            const fs::path candidate = temp / ("standin_host-" + std::to_string(stamp) + "-" + std::to_string(attempt));
            if (fs::create_directory(candidate, ec)) workDir_ = candidate.string();
        }
        if (workDir_.empty()) fail("cannot create a temporary work directory in " + temp.string());
        temporaryWorkDir_ = true;
    }
    if (!options_.settingsPath.empty()) stageSettings(options_.settingsPath);
    // The plug-in reads its settings relative to the current directory, as in the host.
    fs::current_path(workDir_, ec);
    if (ec) fail("cannot enter work directory " + workDir_ + ": " + ec.message());

    std::string error;
    library_ = loadPluginLibrary(options_.pluginPath, &error);
    if (!library_) fail("cannot load plug-in " + options_.pluginPath + ": " + error);
    versionEntry_ = library_->symbol("getPluginVersion");
    initializeEntry_ = library_->symbol("initializePlugin");
    if (versionEntry_ == nullptr || initializeEntry_ == nullptr) {
        fail(options_.pluginPath + " is not a plug-in: it does not export " +
             (versionEntry_ == nullptr && initializeEntry_ == nullptr ? "getPluginVersion and initializePlugin"
              : versionEntry_ == nullptr                             ? "getPluginVersion"
                                                                     : "initializePlugin"));
    }
}

Session::~Session() {
    if (oracleBase_ != 0 && gl_) glDeleteLists(oracleBase_, 256);
    std::error_code ec;
    fs::current_path(invocationDir_, ec);
    if (temporaryWorkDir_) fs::remove_all(workDir_, ec);
}

void Session::fail(const std::string& message) const { throw StepFailure(message); }

std::string Session::inputPath(const Step& step, const std::string& path) const {
    const fs::path p(path);
    if (p.is_absolute()) return p.string();
    return (fs::path(step.inputDir.empty() ? invocationDir_ : step.inputDir) / p).lexically_normal().string();
}

std::string Session::outputPath(const std::string& path) const {
    const fs::path p(path);
    return p.is_absolute() ? p.string() : (fs::path(options_.outputDir) / p).lexically_normal().string();
}

void Session::stageSettings(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) fail("settings file " + path + " not found");
    const fs::path target = fs::path(workDir_) / kSettingsRelativePath;
    fs::create_directories(target.parent_path(), ec);
    if (ec) fail("cannot create " + target.parent_path().string() + ": " + ec.message());
    fs::copy_file(path, target, fs::copy_options::overwrite_existing, ec);
    if (ec) fail("cannot stage settings file " + path + " as " + target.string() + ": " + ec.message());
}

void Session::removeSettings() {
    std::error_code ec;
    fs::remove(fs::path(workDir_) / kSettingsRelativePath, ec);
}

void Session::ensureGl() {
    if (gl_) return;
    std::string error;
    gl_ = createGlContext(width_, height_, &error);
    if (!gl_) fail(error);
}

void Session::ensureBound() {
    if (!bound_) bind(false);
}

void Session::bind(bool again) {
    const std::int32_t version = callVersionEntry(versionEntry_);
    if (version != kInterfaceVersion) {
        fail("getPluginVersion answered " + std::to_string(version) + ", expected " +
             std::to_string(kInterfaceVersion));
    }
    records_.clearOperations();
    std::string error;
    if (!callInitializeEntry(initializeEntry_, records_.record(), &error)) fail(error);
    std::vector<std::string> missing;
    for (int op = 0; op < kOperationCount; ++op) {
        if (records_.operationEntry(op) == 0) {
            missing.push_back(std::to_string(op) + " (" + fieldName(op) + ")");
        }
    }
    if (!missing.empty()) {
        fail(std::string(again ? "the second " : "") + "initializePlugin left operations unwritten: " +
             join(missing, ", "));
    }
    bound_ = true;
    // A new instance sets up its graphics on its first frame.
    setupPending_ = true;
    setupKnown_ = false;
}

CallResult Session::call(int operation, std::initializer_list<Word> args) {
    ensureBound();
    const Word entry = records_.operationEntry(operation);
    if (entry == 0) fail("operation " + std::to_string(operation) + " is not in its field");
    Word passed[3] = {0, 0, 0};
    std::size_t i = 0;
    for (Word arg : args) passed[i++] = arg;
    CallResult result;
    std::string error;
    if (!callOperation(entry, operation, passed, &result, &error)) fail(error);
    return result;
}

void Session::drawFrame(std::int32_t index, int distinctiveLighting, FrameCapture* capture) {
    ensureBound();
    ensureGl();
    const Word indexWord = static_cast<Word>(static_cast<std::uint32_t>(index));
    // A frame whose clock second changed during the call is drawn again, so that the date and
    // time the plug-in showed are known exactly.
    for (int attempt = 0;; ++attempt) {
        drawBackground(background_, width_, height_);
        setSceneState(width_, height_);
        if (distinctiveLighting >= 0) setDistinctiveState(distinctiveLighting != 0);
        if (capture != nullptr) capture->before = captureGlState();
        const std::uint32_t callsBefore = selectionModeCalls();
        const Clock::time_point t0 = Clock::now();
        const std::time_t c0 = std::time(nullptr);
        const CallResult result = call(24, {indexWord});
        const std::time_t c1 = std::time(nullptr);
        const Clock::time_point t1 = Clock::now();
        if (capture != nullptr) capture->after = captureGlState();
        modeCallsInFrame_ = selectionModeCalls() - callsBefore;
        if (!result.flag) fail("drawFunction(" + std::to_string(index) + ") answered false; the host expects true");
        if (index == 0 && setupPending_) {
            setupPending_ = false;
            setupKnown_ = true;
            setupBefore_ = t0;
            setupAfter_ = t1;
        }
        if (c0 != c1 && attempt < 4) continue;

        if (const std::tm* local = std::localtime(&c0)) facts_.local = *local;
        facts_.elapsedKnown = setupKnown_;
        if (setupKnown_) {
            using std::chrono::duration_cast;
            using std::chrono::milliseconds;
            // The plug-in takes both ticks somewhere inside the calls; its tick counter may lag
            // a timer interrupt behind.
            const long long margin = 20;
            facts_.elapsedLowMs = duration_cast<milliseconds>(t0 - setupAfter_).count() - margin;
            facts_.elapsedHighMs = duration_cast<milliseconds>(t1 - setupBefore_).count() + margin;
            if (facts_.elapsedLowMs < 0) facts_.elapsedLowMs = 0;
        }
        facts_.camera = records_.cameraName();
        const bool selectionKnown = records_.sceneAttached() && records_.servicesAttached();
        const std::int32_t mode = selectionMode();
        facts_.faces = selectionKnown && mode == 0 ? records_.selectionCount(Selection::Faces) : 0;
        facts_.edges = selectionKnown && mode == 1 ? records_.selectionCount(Selection::Edges) : 0;
        facts_.vertices = selectionKnown && mode == 2 ? records_.selectionCount(Selection::Vertices) : 0;
        break;
    }
    lastFrame_ = gl_->read();
    haveFrame_ = true;
    gl_->pump();
}

Image Session::renderBackgroundOnly() {
    drawBackground(background_, width_, height_);
    return gl_->read();
}

void Session::run(const Step& step) {
    const std::string& name = step.words[0];
    const auto arg = [&](std::size_t i) { return integerArgument(step.words[i]); };
    const auto int32Arg = [&](std::size_t i) { return static_cast<std::int32_t>(arg(i)); };
    const auto wordArg = [&](std::size_t i) {
        return static_cast<Word>(static_cast<std::uint32_t>(static_cast<std::int64_t>(arg(i))));
    };
    if (options_.verbose) std::fprintf(stderr, "standin_host: %s: %s\n", step.origin.c_str(), step.text.c_str());

    if (name == "viewport") {
        width_ = int32Arg(1);
        height_ = int32Arg(2);
        if (gl_) {
            std::string error;
            if (!gl_->resize(width_, height_, &error)) fail(error);
        }
    } else if (name == "background") {
        background_.viewport = step.words[1] == "viewport";
        if (!background_.viewport) {
            background_.red = static_cast<float>(arg(2)) / 255.0f;
            background_.green = static_cast<float>(arg(3)) / 255.0f;
            background_.blue = static_cast<float>(arg(4)) / 255.0f;
        }
    } else if (name == "bind") {
        if (bound_) fail("already bound (use rebind for a second initializePlugin)");
        bind(false);
    } else if (name == "rebind") {
        if (!bound_) fail("not bound yet (use bind first)");
        bind(true);
    } else if (name == "expect-version") {
        const std::int32_t version = callVersionEntry(versionEntry_);
        if (version != int32Arg(1)) {
            fail("getPluginVersion answered " + std::to_string(version) + ", expected " + step.words[1]);
        }
    } else if (name == "frame") {
        const long count = step.words.size() > 1 ? static_cast<long>(arg(1)) : 1;
        for (long i = 0; i < count; ++i) drawFrame(0, -1, nullptr);
    } else if (name == "draw-index") {
        drawFrame(int32Arg(1), -1, nullptr);
    } else if (name == "run") {
        if (!call(0, {wordArg(1)}).flag) fail("runFunction(" + step.words[1] + ") answered false; expected true");
        // Reload INI: the next frame sets the overlay up again and restarts its elapsed time.
        if (int32Arg(1) == kReloadCommand) setupPending_ = true;
    } else if (name == "release") {
        call(1, {wordArg(1)});
    } else if (name == "wait") {
        std::this_thread::sleep_for(std::chrono::milliseconds(arg(1)));
    } else if (name == "camera") {
        Camera camera = Camera::Perspective;
        parseCamera(step.words[1], &camera);
        records_.setCamera(camera);
    } else if (name == "selmode") {
        const std::string& mode = step.words[1];
        std::int32_t value = -1;  // "none"
        if (mode == "face") value = 0;
        else if (mode == "edge") value = 1;
        else if (mode == "vertex") value = 2;
        else if (mode != "none") value = int32Arg(1);
        setSelectionMode(value);
    } else if (name == "faces") {
        records_.setSelectionCount(Selection::Faces, int32Arg(1));
    } else if (name == "edges") {
        records_.setSelectionCount(Selection::Edges, int32Arg(1));
    } else if (name == "vertices") {
        records_.setSelectionCount(Selection::Vertices, int32Arg(1));
    } else if (name == "no-scene" || name == "no-services") {
        if (bound_) fail(name + " must come before the plug-in is bound");
        if (name == "no-scene") records_.detachScene();
        else records_.detachServices();
    } else if (name == "settings") {
        const std::string file = step.restAfter(1);
        if (file == "none") removeSettings();
        else stageSettings(inputPath(step, file));
    } else if (name == "save") {
        if (!haveFrame_) fail("no frame to save yet");
        std::string error;
        const std::string path = outputPath(step.restAfter(1));
        if (!writePng(path, lastFrame_, &error)) fail(error);
    } else if (name == "expect-functions") {
        expectFunctions();
    } else if (name == "expect-count") {
        const std::int32_t count = call(2, {}).number;
        if (count != int32Arg(1)) fail("functionCount answered " + std::to_string(count) + ", expected " + step.words[1]);
    } else if (name == "expect-name") {
        std::string expected, error;
        decodeText(step.restAfter(2), &expected, &error);
        const char* text = call(3, {wordArg(1)}).text;
        if (text == nullptr) fail("functionName(" + step.words[1] + ") answered a null pointer");
        if (expected != text) {
            fail("functionName(" + step.words[1] + ") answered \"" + text + "\", expected \"" + expected + "\"");
        }
    } else if (name == "expect-type") {
        const std::int32_t type = call(4, {wordArg(1)}).number;
        if (type != int32Arg(2)) {
            fail("functionType(" + step.words[1] + ") answered " + std::to_string(type) + ", expected " + step.words[2]);
        }
    } else if (name == "expect-defaults") {
        expectDefaults(true);
    } else if (name == "expect-default-hooks") {
        expectDefaults(false);
    } else if (name == "expect-mode-calls") {
        if (!haveFrame_) fail("no frame yet");
        if (modeCallsInFrame_ != static_cast<std::uint32_t>(arg(1))) {
            fail("selectionMode was called " + std::to_string(modeCallsInFrame_) + " times in the last frame, expected " +
                 step.words[1]);
        }
    } else if (name == "oracle") {
        setOracle(int32Arg(1), int32Arg(2), int32Arg(3), int32Arg(4), step.restAfter(5));
    } else if (name == "oracle-text") {
        oracleLines_.push_back({static_cast<float>(floatArgument(step.words[1])),
                                static_cast<float>(floatArgument(step.words[2])), step.restAfter(3)});
    } else if (name == "compare") {
        compare(step.words.size() > 1 ? int32Arg(1) : 0);
    } else if (name == "check-gl-state") {
        checkGlStateStep(step.words[1] == "visible");
    } else if (name == "count-lists") {
        ensureGl();
        listBaseline_ = countLiveLists();
        std::printf("standin_host: %ld live display lists\n", listBaseline_);
    } else if (name == "expect-lists-stable") {
        ensureGl();
        if (listBaseline_ < 0) fail("no count to compare with: use count-lists first");
        const long live = countLiveLists();
        if (live != listBaseline_) {
            fail(std::to_string(live) + " live display lists, " + std::to_string(listBaseline_) +
                 " at count-lists: " + (live > listBaseline_ ? "lists leak" : "lists went missing"));
        }
    } else if (name == "expect-live-lists") {
        ensureGl();
        const long live = countLiveLists();
        if (live != arg(1)) fail(std::to_string(live) + " live display lists, expected " + step.words[1]);
    } else if (name == "check-trampolines") {
        checkTrampolines();
    } else if (name == "expect-instances") {
        auto last = reinterpret_cast<LastRecordedCall>(library_->symbol("lastRecordedCall"));
        if (last == nullptr) fail("expect-instances needs the recording plug-in (no lastRecordedCall export)");
        Word report[kFields] = {};
        last(report);
        if (report[kInstances] != static_cast<Word>(arg(1))) {
            fail(std::to_string(report[kInstances]) + " instances were created, expected " + step.words[1]);
        }
    } else if (name == "soak") {
        soak(static_cast<long>(arg(1)), static_cast<long>(arg(2)));
    } else {
        fail("step not handled");
    }
}

void Session::expectFunctions() {
    std::vector<std::string> problems;
    const std::int32_t count = call(2, {}).number;
    if (count != 5) problems.push_back("functionCount answered " + std::to_string(count) + ", expected 5");
    for (std::int32_t i = 0; i < 5; ++i) {
        const char* text = call(3, {static_cast<Word>(i)}).text;
        if (text == nullptr) {
            problems.push_back("functionName(" + std::to_string(i) + ") answered a null pointer");
        } else if (std::strcmp(text, kCatalogue[i].name) != 0) {
            problems.push_back("functionName(" + std::to_string(i) + ") answered \"" + text + "\", expected \"" +
                               kCatalogue[i].name + "\"");
        }
        const std::int32_t type = call(4, {static_cast<Word>(i)}).number;
        if (type != kCatalogue[i].type) {
            problems.push_back("functionType(" + std::to_string(i) + ") answered " + std::to_string(type) +
                               ", expected " + std::to_string(kCatalogue[i].type));
        }
    }
    if (!problems.empty()) fail(join(problems, "; "));
}

void Session::expectDefaults(bool allOperations) {
    std::vector<std::string> problems;
    const Word argSets[2][3] = {{0, 0, 0}, {0x80000001u, 0x12345u, 0xFFFFFFFFu}};
    if (allOperations) {
        const std::int32_t count = call(2, {}).number;
        if (count != 1) problems.push_back("functionCount answered " + std::to_string(count) + ", expected 1");
        for (std::int32_t index : {0, 1, 4, 5, -1}) {
            const Word w = static_cast<Word>(static_cast<std::uint32_t>(index));
            const char* text = call(3, {w}).text;
            if (text == nullptr || std::strcmp(text, "Dummy Plugin") != 0) {
                problems.push_back("functionName(" + std::to_string(index) + ") answered " +
                                   (text ? "\"" + std::string(text) + "\"" : std::string("null")) +
                                   ", expected \"Dummy Plugin\"");
            }
            const std::int32_t type = call(4, {w}).number;
            if (type != 0) {
                problems.push_back("functionType(" + std::to_string(index) + ") answered " + std::to_string(type) +
                                   ", expected 0");
            }
            if (!call(0, {w}).flag) problems.push_back("runFunction(" + std::to_string(index) + ") answered false");
            if (!call(24, {w}).flag) problems.push_back("drawFunction(" + std::to_string(index) + ") answered false");
        }
        call(1, {0});
        call(1, {1});
    }
    for (int op = 5; op <= 23; ++op) {
        const OperationInfo& info = operationInfo(op);
        for (const auto& args : argSets) {
            CallResult result;
            switch (info.argCount) {
            case 1: result = call(op, {args[0]}); break;
            case 2: result = call(op, {args[0], args[1]}); break;
            default: result = call(op, {args[0], args[1], args[2]}); break;
            }
            if (info.result != ResultKind::Bool) continue;
            const bool expected = op != 5;
            if (result.flag != expected) {
                problems.push_back(std::string(info.name) + " answered " + (result.flag ? "true" : "false") +
                                   ", expected " + (expected ? "true" : "false"));
                break;
            }
        }
    }
    if (!problems.empty()) fail(join(problems, "; "));
}

void Session::checkTrampolines() {
    auto last = reinterpret_cast<LastRecordedCall>(library_->symbol("lastRecordedCall"));
    if (last == nullptr) fail("check-trampolines needs the recording plug-in (no lastRecordedCall export)");
    ensureBound();
    std::vector<std::string> problems;
    Word report[kFields] = {};
    last(report);
    Word sequence = report[kSequence];
    for (int op = 0; op < kOperationCount; ++op) {
        const OperationInfo& info = operationInfo(op);
        const std::string where = fieldName(op) + " (operation " + std::to_string(op) + ", " + info.name + ")";
        for (int variant = 0; variant < 2; ++variant) {
            Word args[3] = {};
            trampolineArguments(op, variant, info, args);
            CallResult result;
            switch (info.argCount) {
            case 0: result = call(op, {}); break;
            case 1: result = call(op, {args[0]}); break;
            case 2: result = call(op, {args[0], args[1]}); break;
            default: result = call(op, {args[0], args[1], args[2]}); break;
            }
            for (Word& field : report) field = 0;
            const std::int32_t reached = last(report);
            if (report[kSequence] != sequence + 1) {
                problems.push_back(where + ": the call was not recorded");
                break;
            }
            sequence = report[kSequence];
            if (reached != op) {
                problems.push_back(where + " reached operation " + std::to_string(reached));
                break;
            }
            if (report[kInstance] != report[kInstances]) {
                problems.push_back(where + " reached instance " + std::to_string(report[kInstance]) + " of " +
                                   std::to_string(report[kInstances]) + ", not the newest");
            }
            if (static_cast<int>(report[kArgCount]) != info.argCount) {
                problems.push_back(where + " recorded " + std::to_string(report[kArgCount]) + " arguments");
            }
            for (int i = 0; i < info.argCount; ++i) {
                // 32-bit arguments: an index is compared as the signed value the host passed.
                const Word got = info.indexArgument ? static_cast<Word>(static_cast<std::uint32_t>(report[kArgA + i]))
                                                    : report[kArgA + i];
                if (got != args[i]) {
                    problems.push_back(where + ": argument " + std::to_string(i + 1) + " arrived as " + hex(got) +
                                       ", passed " + hex(args[i]));
                }
            }
            const std::int32_t index = static_cast<std::int32_t>(static_cast<std::uint32_t>(args[0]));
            switch (info.result) {
            case ResultKind::Bool:
                if (result.flag != recordedFlag(info, args)) {
                    problems.push_back(where + " answered " + (result.flag ? "true" : "false") + ", the plug-in " +
                                       (recordedFlag(info, args) ? "true" : "false"));
                }
                break;
            case ResultKind::Int: {
                const std::int32_t expected = op == 2 ? kRecordedCount : recordedType(index);
                if (result.number != expected) {
                    problems.push_back(where + " answered " + std::to_string(result.number) + ", the plug-in " +
                                       std::to_string(expected));
                }
                break;
            }
            case ResultKind::Text:
                if (result.text == nullptr || recordedName(index) != result.text) {
                    problems.push_back(where + " answered " +
                                       (result.text ? "\"" + std::string(result.text) + "\"" : std::string("null")) +
                                       ", the plug-in \"" + recordedName(index) + "\"");
                }
                break;
            case ResultKind::None: break;
            }
        }
    }
    if (!problems.empty()) fail(join(problems, "; "));
}

void Session::checkGlStateStep(bool visible) {
    for (int lighting = 1; lighting >= 0; --lighting) {
        FrameCapture capture;
        drawFrame(0, lighting, &capture);
        const std::vector<std::string> problems = checkGlState(capture.before, capture.after, visible);
        if (!problems.empty()) {
            fail(std::string("after a ") + (visible ? "visible" : "hidden") + " frame with lighting " +
                 (lighting ? "on" : "off") + ": " + join(problems, "; "));
        }
    }
}

void Session::setOracle(int size, int red, int green, int blue, const std::string& face) {
    ensureGl();
    // The plug-in's conversion of 0-255 settings into GL colours.
    const float factor = 0.003921569f;
    oracleColour_[0] = static_cast<float>(red) * factor;
    oracleColour_[1] = static_cast<float>(green) * factor;
    oracleColour_[2] = static_cast<float>(blue) * factor;
    oracleLines_.clear();
    if (oracleReady_ && face == oracleFace_ && size == oracleSize_) return;
    if (oracleBase_ == 0) oracleBase_ = glGenLists(256);
    if (oracleBase_ == 0) fail("glGenLists gave no lists for the oracle");
    if (!gl_->buildGlyphLists(face, size, oracleBase_ + 32, 32, 224)) {
        fail("cannot build oracle glyphs from font \"" + face + "\" at " + std::to_string(size) + " pixels");
    }
    oracleFace_ = face;
    oracleSize_ = size;
    oracleReady_ = true;
}

void Session::compare(int tolerance) {
    if (!haveFrame_) fail("no frame to compare: draw one first");
    if (!oracleLines_.empty() && !oracleReady_) fail("oracle-text needs an oracle step first");
    if (lastFrame_.width != width_ || lastFrame_.height != height_) {
        fail("the viewport changed after the last frame; draw a frame first");
    }
    ensureGl();

    PlaceholderValues values;
    values.date = formatTriple("%04d-%02d-%02d", facts_.local.tm_year + 1900, facts_.local.tm_mon + 1, facts_.local.tm_mday);
    values.time = formatTriple("%02d:%02d:%02d", facts_.local.tm_hour, facts_.local.tm_min, facts_.local.tm_sec);
    values.camera = facts_.camera;
    values.faces = std::to_string(facts_.faces);
    values.edges = std::to_string(facts_.edges);
    values.vertices = std::to_string(facts_.vertices);

    // The elapsed time is known to a range; every whole second in it is a candidate.
    bool usesElapsed = false;
    for (const OracleTemplate& line : oracleLines_) usesElapsed = usesElapsed || usesPlaceholder(line.text, "elapsed");
    std::vector<std::string> elapsedCandidates = {""};
    if (usesElapsed) {
        if (!facts_.elapsedKnown) fail("{elapsed} is unknown: no frame has set the plug-in up since it was bound");
        elapsedCandidates.clear();
        for (long long s = facts_.elapsedLowMs / 1000; s <= facts_.elapsedHighMs / 1000; ++s) {
            elapsedCandidates.push_back(formatTriple("%02d:%02d:%02d", static_cast<int>(s / 3600),
                                                static_cast<int>(s / 60 % 60), static_cast<int>(s % 60)));
        }
        if (elapsedCandidates.size() > 3) fail("{elapsed} is too uncertain (the set-up frame took too long)");
    }

    const Image bare = renderBackgroundOnly();
    Comparison firstMismatch;
    Image firstExpected;
    std::vector<std::string> firstTexts;
    for (std::size_t candidate = 0; candidate < elapsedCandidates.size(); ++candidate) {
        values.elapsed = elapsedCandidates[candidate];
        std::vector<OracleLine> lines;
        std::vector<std::string> texts;
        bool anyInk = false;
        for (const OracleTemplate& line : oracleLines_) {
            std::string expanded, bytes, error;
            if (!expandPlaceholders(line.text, values, &expanded, &error) || !decodeText(expanded, &bytes, &error)) {
                fail(error);
            }
            for (char c : bytes) anyInk = anyInk || c != ' ';
            lines.push_back({line.x, line.y, bytes});
            texts.push_back(bytes);
        }
        drawBackground(background_, width_, height_);
        if (!lines.empty()) drawOracleLines(lines, oracleBase_, oracleColour_);
        const Image expected = gl_->read();
        if (anyInk && compareImages(expected, bare, 0, 0).differing == 0) {
            fail("the oracle drew nothing for its text: has font \"" + oracleFace_ + "\" any glyphs, and are the "
                 "lines inside the viewport?");
        }
        const Comparison result = compareImages(lastFrame_, expected, tolerance, 8);
        if (result.differing == 0) {
            oracleLines_.clear();
            return;
        }
        if (candidate == 0) {
            firstMismatch = result;
            firstExpected = expected;
            firstTexts = texts;
        }
    }

    ++compareCount_;
    const std::string stem = (fs::path(options_.outputDir) / ("standin-compare-" + std::to_string(compareCount_))).string();
    std::string error;
    writePng(stem + "-frame.png", lastFrame_, &error);
    writePng(stem + "-oracle.png", firstExpected, &error);
    writePng(stem + "-diff.png", differenceImage(lastFrame_, firstExpected, tolerance), &error);
    std::ostringstream message;
    message << firstMismatch.differing << " of " << static_cast<long>(width_) * height_
            << " pixels differ from the oracle";
    if (!firstTexts.empty()) message << " (text: \"" << join(firstTexts, "\" / \"") << "\")";
    message << "; first at";
    for (const PixelDifference& d : firstMismatch.first) {
        char text[96];
        std::snprintf(text, sizeof text, " (%d,%d) frame %d,%d,%d oracle %d,%d,%d;", d.x, d.y, d.actual[0],
                      d.actual[1], d.actual[2], d.expected[0], d.expected[1], d.expected[2]);
        message << text;
    }
    message << " images saved as " << stem << "-{frame,oracle,diff}.png";
    if (!error.empty()) message << " (" << error << ")";
    oracleLines_.clear();
    fail(message.str());
}

void Session::soak(long frames, long reloadEvery) {
    ensureBound();
    ensureGl();
    // Growth allowed between the end of the first quarter and the end: allocator and driver noise,
    // far below what a leak of one glyph block or one settings parse per reload would add up to.
    constexpr long kMemoryToleranceKb = 2048;
    const long warmUp = frames / 4 > 0 ? frames / 4 : 1;
    const Word drawingFunction = 0;
    long listsAtWarmUp = -1;
    long memoryAtWarmUp = -1;
    const Camera cameras[] = {Camera::Top, Camera::Front, Camera::Perspective, Camera::Free};
    for (long frame = 0; frame < frames; ++frame) {
        const auto count = static_cast<std::int32_t>(frame);
        records_.setSelectionCount(Selection::Faces, count);
        records_.setSelectionCount(Selection::Edges, count + 1);
        records_.setSelectionCount(Selection::Vertices, count + 2);
        records_.setCamera(cameras[frame % 4]);
        if (reloadEvery > 0 && frame > 0 && frame % reloadEvery == 0) {
            if (!call(0, {static_cast<Word>(kReloadCommand)}).flag) fail("runFunction(4) answered false");
        }
        if (!call(24, {drawingFunction}).flag) fail("drawFunction(0) answered false during the soak");
        gl_->endFrame();
        if (frame % 256 == 0) gl_->pump();
        if (frame + 1 == warmUp) {
            listsAtWarmUp = countLiveLists();
            memoryAtWarmUp = processMemoryKb();
        }
    }
    setupPending_ = true;
    const long lists = countLiveLists();
    const long memory = processMemoryKb();
    std::printf("standin_host: soak of %ld frames: live display lists %ld -> %ld, memory %ld KiB -> %ld KiB\n",
                frames, listsAtWarmUp, lists, memoryAtWarmUp, memory);
    if (lists != listsAtWarmUp) {
        fail("live display lists went from " + std::to_string(listsAtWarmUp) + " to " + std::to_string(lists));
    }
    if (memory >= 0 && memoryAtWarmUp >= 0 && memory - memoryAtWarmUp > kMemoryToleranceKb) {
        fail("memory grew from " + std::to_string(memoryAtWarmUp) + " KiB to " + std::to_string(memory) + " KiB");
    }
}

}  // namespace standin
