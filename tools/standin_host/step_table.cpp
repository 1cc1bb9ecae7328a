#include "step_table.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "session.h"

namespace standin {

namespace {

std::int32_t int32At(const Step& step, std::size_t word) { return static_cast<std::int32_t>(integerArgument(step.words[word])); }

Word wordAt(const Step& step, std::size_t word) {
    return static_cast<Word>(static_cast<std::uint32_t>(integerArgument(step.words[word])));
}

// ---- What the steps do --------------------------------------------------------------------------

void viewport(Session& session, const Step& step) { session.setViewport(int32At(step, 1), int32At(step, 2)); }

void background(Session& session, const Step& step) {
    Background scene;
    scene.viewport = step.words[1] == "viewport";
    if (!scene.viewport) {
        scene.red = static_cast<float>(integerArgument(step.words[2])) / 255.0f;
        scene.green = static_cast<float>(integerArgument(step.words[3])) / 255.0f;
        scene.blue = static_cast<float>(integerArgument(step.words[4])) / 255.0f;
    }
    session.setBackground(scene);
}

void settings(Session& session, const Step& step) {
    const std::string file = step.restAfter(1);
    if (file == "none") {
        session.removeSettings();
    } else {
        session.stageSettings(session.inputPath(step, file));
    }
}

void settingsByRename(Session& session, const Step& step) {
    session.stageSettingsByRename(session.inputPath(step, step.restAfter(1)));
}

void librarySettings(Session& session, const Step& step) {
    const std::string file = step.restAfter(1);
    session.stageLibrarySettings(file == "none" ? std::string() : session.inputPath(step, file));
}

void changeDirectory(Session& session, const Step& step) { session.changeDirectory(step.restAfter(1)); }

void noScene(Session& session, const Step&) {
    if (session.isBound()) session.fail("no-scene must come before the plug-in is bound");
    session.hostRecords().detachScene();
}

void noServices(Session& session, const Step&) {
    if (session.isBound()) session.fail("no-services must come before the plug-in is bound");
    session.hostRecords().detachServices();
}

void bind(Session& session, const Step&) {
    if (session.isBound()) session.fail("already bound (use rebind for a second initializePlugin)");
    session.bind(false);
}

void rebind(Session& session, const Step&) {
    if (!session.isBound()) session.fail("not bound yet (use bind first)");
    session.bind(true);
}

void expectVersion(Session& session, const Step& step) {
    const std::int32_t version = session.pluginVersion();
    if (version != int32At(step, 1)) {
        session.fail("getPluginVersion answered " + std::to_string(version) + ", expected " + step.words[1]);
    }
}

void frame(Session& session, const Step& step) {
    const long count = step.words.size() > 1 ? static_cast<long>(integerArgument(step.words[1])) : 1;
    for (long i = 0; i < count; ++i) session.drawFrame(0);
}

void drawIndex(Session& session, const Step& step) { session.drawFrame(int32At(step, 1)); }
void framesPerSecond(Session& session, const Step& step) { session.framesInOneSecond(int32At(step, 1)); }
void run(Session& session, const Step& step) { session.runFunction(int32At(step, 1)); }
void release(Session& session, const Step& step) { session.call(1, {wordAt(step, 1)}); }

void wait(Session&, const Step& step) {
    std::this_thread::sleep_for(std::chrono::milliseconds(integerArgument(step.words[1])));
}

void camera(Session& session, const Step& step) {
    Camera camera = Camera::Perspective;
    parseCamera(step.words[1], &camera);
    session.hostRecords().setCamera(camera);
}

void selmode(Session&, const Step& step) {
    const std::string& mode = step.words[1];
    std::int32_t value = -1;  // "none"
    if (mode == "face") value = 0;
    else if (mode == "edge") value = 1;
    else if (mode == "vertex") value = 2;
    else if (mode != "none") value = int32At(step, 1);
    setSelectionMode(value);
}

void faces(Session& session, const Step& step) { session.hostRecords().setSelectionCount(Selection::Faces, int32At(step, 1)); }
void edges(Session& session, const Step& step) { session.hostRecords().setSelectionCount(Selection::Edges, int32At(step, 1)); }
void vertices(Session& session, const Step& step) {
    session.hostRecords().setSelectionCount(Selection::Vertices, int32At(step, 1));
}

void save(Session& session, const Step& step) { session.save(step.restAfter(1)); }
void expectFunctions(Session& session, const Step&) { session.expectFunctions(); }

void expectCount(Session& session, const Step& step) {
    const std::int32_t count = session.call(2, {}).number;
    if (count != int32At(step, 1)) {
        session.fail("functionCount answered " + std::to_string(count) + ", expected " + step.words[1]);
    }
}

void expectName(Session& session, const Step& step) {
    std::string expected, error;
    decodeText(step.restAfter(2), &expected, &error);
    const char* text = session.call(3, {wordAt(step, 1)}).text;
    if (text == nullptr) session.fail("functionName(" + step.words[1] + ") answered a null pointer");
    if (expected != text) {
        session.fail("functionName(" + step.words[1] + ") answered \"" + text + "\", expected \"" + expected + "\"");
    }
}

void expectType(Session& session, const Step& step) {
    const std::int32_t type = session.call(4, {wordAt(step, 1)}).number;
    if (type != int32At(step, 2)) {
        session.fail("functionType(" + step.words[1] + ") answered " + std::to_string(type) + ", expected " +
                     step.words[2]);
    }
}

void expectDefaults(Session& session, const Step&) { session.expectDefaults(true); }
void expectDefaultHooks(Session& session, const Step&) { session.expectDefaults(false); }

void expectModeCalls(Session& session, const Step& step) {
    session.expectModeCalls(static_cast<std::uint32_t>(integerArgument(step.words[1])));
}

void expectInkApart(Session& session, const Step& step) { session.expectInkApart(step.restAfter(1)); }

void countDrawn(Session& session, const Step&) {
    std::printf("standin_host: the plug-in drew %ld pixels\n", session.pixelsDrawn());
}

void checkGlState(Session& session, const Step& step) { session.checkGlStateAfterFrames(step.words[1] == "visible"); }
void frameWithUnpackBuffer(Session& session, const Step&) { session.frameWithUnpackBuffer(); }
void countLists(Session& session, const Step&) { session.countLists(); }
void expectListsStable(Session& session, const Step&) { session.expectListsStable(); }
void expectLiveLists(Session& session, const Step& step) { session.expectLiveLists(static_cast<long>(integerArgument(step.words[1]))); }
void checkTrampolines(Session& session, const Step&) { session.checkTrampolines(); }
void expectInstances(Session& session, const Step& step) { session.expectInstances(wordAt(step, 1)); }

void soak(Session& session, const Step& step) {
    session.soak(static_cast<long>(integerArgument(step.words[1])), static_cast<long>(integerArgument(step.words[2])));
}

void hostState(Session& session, const Step& step) { session.setCluttered(step.words[1] == "cluttered"); }

void hostViewport(Session& session, const Step& step) {
    const bool sub = step.words[1] != "full";
    session.setHostViewport(sub, sub ? int32At(step, 1) : 0, sub ? int32At(step, 2) : 0, sub ? int32At(step, 3) : 0,
                            sub ? int32At(step, 4) : 0);
}

void hostScissor(Session& session, const Step& step) {
    const bool on = step.words[1] != "none";
    session.setHostScissor(on, on ? int32At(step, 1) : 0, on ? int32At(step, 2) : 0, on ? int32At(step, 3) : 0,
                           on ? int32At(step, 4) : 0);
}

void oracleSmooth(Session& session, const Step&) { session.setOracleSmooth(); }
void expectRasterAsOracle(Session& session, const Step&) { session.expectRasterAsOracle(); }
void expectPartialPixels(Session& session, const Step& step) {
    session.expectPartialPixels(static_cast<long>(integerArgument(step.words[1])));
}
void expectLiveTextures(Session& session, const Step& step) {
    session.expectLiveTextures(static_cast<long>(integerArgument(step.words[1])));
}

void takeTextures(Session& session, const Step& step) { session.takeTextures(step.words[1]); }
void takeLists(Session& session, const Step& step) {
    session.takeLists(step.words[1], static_cast<long>(integerArgument(step.words[2])),
                      static_cast<long>(integerArgument(step.words[3])));
}
void expectHostKept(Session& session, const Step&) { session.expectHostKept(); }
void oracleAgain(Session& session, const Step&) { session.oracleAgain(); }

void randomLayouts(Session& session, const Step& step) {
    session.randomLayouts(static_cast<long>(integerArgument(step.words[1])),
                          static_cast<std::uint32_t>(integerArgument(step.words[2])));
}

void cornerLayouts(Session& session, const Step&) { session.cornerLayouts(); }

void textureLimit(Session& session, const Step& step) {
    session.setTextureLimit(step.words[1] == "none" ? -1 : static_cast<long>(integerArgument(step.words[1])));
}

void displayDpi(Session&, const Step& step) {
    setEnvironment("OSTRIVANE_TEST_DPI", step.words[1] == "none" ? nullptr : step.words[1].c_str());
}

void benchFrames(Session& session, const Step& step) {
    session.benchFrames(step.restAfter(2), static_cast<long>(integerArgument(step.words[1])));
}

void benchSetUp(Session& session, const Step& step) {
    session.benchSetUp(step.restAfter(2), static_cast<long>(integerArgument(step.words[1])));
}

void benchCheck(Session& session, const Step& step) {
    session.benchCheck(step.restAfter(2), static_cast<long>(integerArgument(step.words[1])));
}

void benchReport(Session& session, const Step&) { session.benchReport(); }

void oracle(Session& session, const Step& step) {
    session.setOracle(int32At(step, 1), int32At(step, 2), int32At(step, 3), int32At(step, 4), step.restAfter(5));
}

void oracleText(Session& session, const Step& step) {
    const Position y = positionArgument(step.words[2]);
    session.addOracleLine(static_cast<float>(floatArgument(step.words[1])), y.value, y.lines, step.restAfter(3));
}

void oracleGlyph(Session& session, const Step& step) {
    session.mapOracleGlyph(int32At(step, 1), static_cast<std::uint32_t>(integerArgument(step.words[2])), step.restAfter(3));
}

void oracleShadow(Session& session, const Step& step) {
    const std::string& kind = step.words[1];
    const OracleShadow shadow = kind == "drop" ? OracleShadow::Drop : kind == "outline" ? OracleShadow::Outline
                                                                                     : OracleShadow::None;
    const bool coloured = step.words.size() == 5;
    session.setOracleShadow(shadow, coloured ? int32At(step, 2) : 0, coloured ? int32At(step, 3) : 0,
                            coloured ? int32At(step, 4) : 0);
}

void oracleBox(Session& session, const Step& step) {
    if (step.words[1] == "none") {
        session.setOracleBox(false, 0, 0, 0, 0, 0);
        return;
    }
    session.setOracleBox(true, int32At(step, 1), int32At(step, 2), int32At(step, 3), int32At(step, 4), int32At(step, 5));
}

void oracleAnchor(Session& session, const Step& step) { session.setOracleAnchor(step.words[1]); }
void oracleScale(Session& session, const Step& step) {
    const std::string& kind = step.words[1];
    const Session::OracleScale scale = kind == "view"  ? Session::OracleScale::View
                                       : kind == "dpi" ? Session::OracleScale::Dpi
                                                       : Session::OracleScale::None;
    session.setOracleScale(scale, step.words.size() > 2 ? int32At(step, 2) : 96);
}
void oracleUnits(Session& session, const Step& step) { session.setOracleUnits(step.words[1] == "pixels"); }

void compareImage(Session& session, const Step& step) {
    session.compareImageFile(session.inputPath(step, step.restAfter(2)), int32At(step, 1));
}

void compare(Session& session, const Step& step) { session.compare(step.words.size() > 1 ? int32At(step, 1) : 0); }

void repeat(Session& session, const Step& step) {
    const long rounds = static_cast<long>(integerArgument(step.words[1]));
    const std::vector<Step> steps = repeatedSteps(step);
    for (long round = 1; round <= rounds; ++round) {
        for (const Step& inner : steps) {
            try {
                session.run(inner);
            } catch (const StepFailure& failure) {
                session.fail("round " + std::to_string(round) + " of " + std::to_string(rounds) + ", \"" + inner.text +
                             "\": " + failure.what());
            }
        }
    }
}

// The views of `views`' first word, "WxH,WxH,...", each side 1 to 4096; false for anything else.
bool viewSizes(const std::string& list, std::vector<std::pair<int, int>>* sizes) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string size = list.substr(start, end - start);
        const std::size_t x = size.find('x');
        if (x == std::string::npos || !checkKind("size", size.substr(0, x)) || !checkKind("size", size.substr(x + 1))) {
            return false;
        }
        sizes->emplace_back(std::stoi(size.substr(0, x)), std::stoi(size.substr(x + 1)));
        start = end + 1;
    }
    return true;
}

void views(Session& session, const Step& step) {
    std::vector<std::pair<int, int>> sizes;
    viewSizes(step.words[1], &sizes);
    const std::vector<Step> steps = repeatedSteps(step);
    for (const auto& [width, height] : sizes) {
        session.setViewport(width, height);
        for (const Step& inner : steps) {
            try {
                session.run(inner);
            } catch (const StepFailure& failure) {
                session.fail("in a " + std::to_string(width) + "x" + std::to_string(height) + " view, \"" + inner.text +
                             "\": " + failure.what());
            }
        }
    }
}

// ---- Checks beyond the argument kinds -----------------------------------------------------------

bool backgroundColour(const Step& step, std::string* error) {
    const bool plain = step.words[1] == "plain";
    if (plain != (step.words.size() == 5)) {
        *error = plain ? "background plain needs three channels from 0 to 255" : "background viewport takes no colour";
        return false;
    }
    for (std::size_t word = 2; word < step.words.size(); ++word) {
        if (!checkKind("byte", step.words[word])) {
            *error = "background plain needs three channels from 0 to 255";
            return false;
        }
    }
    return true;
}

bool shadowColour(const Step& step, std::string* error) {
    if (step.words.size() != 2 && step.words.size() != 5) {
        *error = "a shadow takes a colour of three channels from 0 to 255, or none";
        return false;
    }
    return true;
}

bool boxArguments(const Step& step, std::string* error) {
    if (step.words[1] == "none" ? step.words.size() == 2 : step.words.size() == 6) return true;
    *error = "oracle-box takes R G B ALPHA PADDING, or none";
    return false;
}

// X Y W H, or the one word that stands for none.
bool boxOrWord(const Step& step, std::string* error) {
    if (step.words.size() == 2 && !checkKind("int", step.words[1])) return true;
    if (step.words.size() == 5) {
        bool numbers = true;
        for (std::size_t word = 1; word < 5; ++word) numbers = numbers && checkKind("int", step.words[word]);
        if (numbers && integerArgument(step.words[3]) > 0 && integerArgument(step.words[4]) > 0) return true;
    }
    *error = "takes X Y W H in window pixels (W and H above 0), or " + std::string(step.words[0] == "host-viewport" ? "full" : "none");
    return false;
}

bool nameText(const Step& step, std::string* error) {
    std::string bytes;
    return decodeText(step.restAfter(2), &bytes, error);
}

bool oracleLineText(const Step& step, std::string* error) {
    // Placeholders are replaced first, so an escaped brace (\x7B) stays a brace.
    std::string expanded, bytes;
    return expandPlaceholders(step.restAfter(3), PlaceholderValues{}, &expanded, error) &&
           decodeText(expanded, &bytes, error);
}

bool repeatedStepsValid(const Step& step, std::string* error) {
    const std::vector<Step> steps = repeatedSteps(step);
    if (steps.empty()) {
        *error = "no step to repeat";
        return false;
    }
    for (const Step& inner : steps) {
        if (!validateStep(inner, error)) {
            *error = "\"" + inner.text + "\": " + *error;
            return false;
        }
    }
    return true;
}

bool viewsValid(const Step& step, std::string* error) {
    std::vector<std::pair<int, int>> sizes;
    if (!viewSizes(step.words[1], &sizes)) {
        *error = "views takes sizes as WxH,WxH,..., each side 1 to 4096, not " + step.words[1];
        return false;
    }
    return repeatedStepsValid(step, error);
}

// ---- The table ----------------------------------------------------------------------------------

constexpr char kSetUp[] = "Set-up";
constexpr char kBinding[] = "Binding";
constexpr char kCalls[] = "Calls";
constexpr char kHostState[] = "Host state (read by the plug-in during frames)";
constexpr char kChecks[] = "Checks (each fails the run with a message)";
constexpr char kOracle[] = "Oracle";
constexpr char kTiming[] = "Timing (printed, never checked)";

const StepDefinition kSteps[] = {
    {kSetUp, "viewport", "size size", "viewport W H",
     "framebuffer size in pixels (default 640 480); the 640x480 overlay\n"
     "space is stretched over it",
     viewport, nullptr},
    {kSetUp, "background", "plain|viewport ?byte ?byte ?byte", "background plain R G B | background viewport",
     "clear to a colour, 0-255 per channel (default plain 0 0 0), or draw a\n"
     "grey gradient with a floor grid, like a modelling viewport",
     background, backgroundColour},
    {kSetUp, "settings", "text", "settings FILE | settings none",
     "stage FILE as \"Plugins/Startup Plugins/Ostrivane.ini\" in the work\n"
     "directory (again at any time, e.g. before \"run 4\"); \"settings none\"\n"
     "removes it. A relative FILE in a script is taken from the script's\n"
     "folder",
     settings, nullptr},
    {kSetUp, "settings-by-rename", "text", "settings-by-rename FILE",
     "save FILE over the settings file as careful editors do: under another\n"
     "name, then renamed over it",
     settingsByRename, nullptr},
    {kSetUp, "library-settings", "text", "library-settings FILE | library-settings none",
     "stage FILE as Ostrivane.ini beside the plug-in's copy (--library-dir);\n"
     "\"library-settings none\" removes it",
     librarySettings, nullptr},
    {kSetUp, "cd", "text", "cd DIR",
     "make DIR, relative to the work directory (created when missing), the\n"
     "current directory, as a host started elsewhere has; \"cd .\" goes back",
     changeDirectory, nullptr},
    {kSetUp, "host-state", "clean|cluttered", "host-state clean|cluttered",
     "cluttered: before every drawFunction call the host leaves texturing on\n"
     "several units with complete textures bound, fog, blending that hides\n"
     "everything, alpha, stencil and clip tests that pass nothing, a colour\n"
     "logic op, wireframe, culling, stipple, secondary colour, and client\n"
     "arrays on with its own pointers, an array buffer and a vertex array\n"
     "object bound; and takes it all away after the call (default clean)",
     hostState, nullptr},
    {kSetUp, "host-viewport", "full|int ?int ?int ?int", "host-viewport X Y W H | host-viewport full",
     "the viewport the host sets for its frames, smaller than the window;\n"
     "the oracle draws its text in it too (default full)",
     hostViewport, boxOrWord},
    {kSetUp, "host-scissor", "none|int ?int ?int ?int", "host-scissor X Y W H | host-scissor none",
     "a scissor box the host leaves on for its frames; the oracle's text\n"
     "and box are cut by it too (default none)",
     hostScissor, boxOrWord},
    {kSetUp, "take-textures", "respecify|delete|filter", "take-textures respecify|delete|filter",
     "as a host that uses texture names it never asked GL for: every texture\n"
     "name from 1 to 1023 it finds now given a 16x16 white RGBA image, deleted,\n"
     "or bound and given a minifying filter that needs mipmaps",
     takeTextures, nullptr},
    {kSetUp, "take-lists", "recompile|delete count count", "take-lists recompile|delete FIRST COUNT",
     "the same for display lists FIRST to FIRST+COUNT-1 (the oracle's spared):\n"
     "each compiled again with a 6x10 bitmap moving 7 pixels, or deleted",
     takeLists, nullptr},
    {kSetUp, "texture-limit", "none|count", "texture-limit N | texture-limit none",
     "from the plug-in's next set-up on, no glyph texture with a side above N\n"
     "pixels (1: the glyph lists always); none: the context's own limit. Sets\n"
     "OSTRIVANE_TEST_MAX_TEXTURE_SIZE in the host's environment",
     textureLimit, nullptr},
    {kSetUp, "display-dpi", "none|count", "display-dpi N | display-dpi none",
     "the display's DPI the plug-in is told from its next look on (at set-up,\n"
     "then once a second); none: the system's. Sets OSTRIVANE_TEST_DPI in the\n"
     "host's environment",
     displayDpi, nullptr},
    {kSetUp, "no-scene", "", "no-scene", "null scene-state pointer in the record (before bind)", noScene, nullptr},
    {kSetUp, "no-services", "", "no-services", "null service-table pointer in the record (before bind)", noServices,
     nullptr},

    {kBinding, "expect-version", "int", "expect-version N",
     "call getPluginVersion (allowed before bind) and expect N", expectVersion, nullptr},
    {kBinding, "bind", "", "bind",
     "getPluginVersion (must answer 4), then initializePlugin(record); runs\n"
     "by itself before the first step that needs a bound plug-in",
     bind, nullptr},
    {kBinding, "rebind", "", "rebind", "initializePlugin again with the same record", rebind, nullptr},

    {kCalls, "frame", "?count", "frame [N]", "draw the background, then drawFunction(0); N times (default 1)", frame,
     nullptr},
    {kCalls, "draw-index", "int", "draw-index I", "the same with drawFunction(I)", drawIndex, nullptr},
    {kCalls, "frames-per-second", "count", "frames-per-second N",
     "drawFunction(0) N times within one second of the tick, nothing of the\n"
     "host's drawn around them (hide the overlay first for many), and wait\n"
     "for the next second: the next frame's {fps} is N",
     framesPerSecond, nullptr},
    {kCalls, "run", "int", "run I",
     "runFunction(I): 1 switch, 2 next page, 3 previous page, 4 reload\n"
     "(after which the next frame counts as the set-up frame for {elapsed})",
     run, nullptr},
    {kCalls, "release", "word", "release V", "releaseResources(V)", release, nullptr},
    {kCalls, "wait", "count", "wait MS", "sleep MS milliseconds", wait, nullptr},
    {kCalls, "repeat", "count steps", "repeat N STEP [; STEP]...",
     "run the steps N times, in order; a word \";\" separates them", repeat, repeatedStepsValid},
    {kCalls, "views", "text steps", "views WxH[,WxH]... STEP [; STEP]...",
     "for each size in turn, set the viewport to it and run the steps", views, viewsValid},

    {kHostState, "camera", "perspective|top|left|right|front|back|bottom|free|none|no-view|no-holder",
     "camera NAME",
     "the active view shows perspective|top|left|right|front|back|bottom,\n"
     "free (a camera the scene does not name), none (null handle), no-view\n"
     "(null active view) or no-holder (null view holder)",
     camera, nullptr},
    {kHostState, "selmode", "face|edge|vertex|none|int", "selmode MODE",
     "selectionMode answers face (0), edge (1), vertex (2), none (-1) or N", selmode, nullptr},
    {kHostState, "faces", "int", "faces N", "selected faces", faces, nullptr},
    {kHostState, "edges", "int", "edges N", "selected edges", edges, nullptr},
    {kHostState, "vertices", "int", "vertices N", "selected vertices", vertices, nullptr},

    {kChecks, "expect-functions", "", "expect-functions",
     "functionCount 5 and the five Ostrivane names and types", expectFunctions, nullptr},
    {kChecks, "expect-count", "int", "expect-count N", "functionCount answers N", expectCount, nullptr},
    {kChecks, "expect-name", "int text", "expect-name I TEXT", "functionName(I) answers TEXT (\\xNN for a byte)",
     expectName, nameText},
    {kChecks, "expect-type", "int int", "expect-type I N", "functionType(I) answers N", expectType, nullptr},
    {kChecks, "expect-defaults", "", "expect-defaults",
     "a plug-in that overrides nothing: count 1, \"Dummy Plugin\", type 0,\n"
     "hook5 false, every other bool operation true",
     expectDefaults, nullptr},
    {kChecks, "expect-default-hooks", "", "expect-default-hooks", "the same for operations 5-23 only",
     expectDefaultHooks, nullptr},
    {kChecks, "expect-mode-calls", "count", "expect-mode-calls N",
     "selectionMode was called N times during the last frame", expectModeCalls, nullptr},
    {kChecks, "check-gl-state", "visible|hidden", "check-gl-state visible|hidden",
     "set a distinctive GL state, run frames (lighting on, then off) and\n"
     "check what the plug-in left: visible = depth test on, matrix mode\n"
     "GL_PROJECTION, everything else but colour and raster position\n"
     "unchanged; hidden = nothing changed",
     checkGlState, nullptr},
    {kChecks, "frame-with-unpack-buffer", "", "frame-with-unpack-buffer",
     "frame, with a buffer object of set bits bound to GL_PIXEL_UNPACK_BUFFER\n"
     "by the host around drawFunction (glyphs the plug-in builds then must\n"
     "not come from it); the same buffer must be bound after the call",
     frameWithUnpackBuffer, nullptr},
    {kChecks, "count-lists", "", "count-lists",
     "count live display lists (glIsList) and textures (glIsTexture) and\n"
     "keep the counts",
     countLists, nullptr},
    {kChecks, "expect-lists-stable", "", "expect-lists-stable", "both counts equal the ones kept by count-lists",
     expectListsStable, nullptr},
    {kChecks, "expect-live-lists", "count", "expect-live-lists N", "exactly N live display lists", expectLiveLists,
     nullptr},
    {kChecks, "expect-live-textures", "count", "expect-live-textures N", "exactly N live textures (glIsTexture)",
     expectLiveTextures, nullptr},
    {kChecks, "expect-host-kept", "", "expect-host-kept",
     "no GL error is set (each one is read), and every texture the last\n"
     "take-textures gave an image and every list the last take-lists compiled\n"
     "is still the host's: none deleted or overwritten",
     expectHostKept, nullptr},
    {kChecks, "check-trampolines", "", "check-trampolines",
     "recording plug-in only: every operation through its field, with its\n"
     "arguments and result unchanged",
     checkTrampolines, nullptr},
    {kChecks, "expect-instances", "count", "expect-instances N", "recording plug-in only: N instances were created",
     expectInstances, nullptr},
    {kChecks, "soak", "count count", "soak FRAMES RELOAD_EVERY",
     "FRAMES frames with the camera and the selection counts changing every\n"
     "frame and Reload INI every RELOAD_EVERY frames (0: never); fails when\n"
     "the live display lists or the process's memory grew after the first\n"
     "quarter of the run",
     soak, nullptr},

    {kOracle, "oracle", "size byte byte byte text", "oracle SIZE R G B FACE",
     "draw oracle text with FACE at SIZE pixels in colour R G B (0-255); no\n"
     "shadow, no box, anchored bottom left",
     oracle, nullptr},
    {kOracle, "oracle-text", "float position text", "oracle-text X Y TEXT",
     "one line at (X, Y) of the 640x480 space (see oracle-anchor and\n"
     "oracle-units); Y may add line heights of the oracle's font (\"10+2L\").\n"
     "TEXT may hold {date} {time} {time12} (hh:mm:ss AM/PM) {elapsed}\n"
     "{camera} {faces} {edges} {vertices} {fps} {selmode} {selcount} (values\n"
     "of the last frame), {{ and }} for braces, \\xNN for a byte and \\\\ for a\n"
     "backslash",
     oracleText, oracleLineText},
    {kOracle, "oracle-glyph", "byte word text", "oracle-glyph BYTE CODE FACE",
     "the oracle's \\xBYTE draws the character CODE (0x4E2D) from FACE\n"
     "instead, at the oracle's size: text beyond Windows-1252, each\n"
     "character from the face the test knows has it",
     oracleGlyph, nullptr},
    {kOracle, "oracle-shadow", "none|drop|outline ?byte ?byte ?byte", "oracle-shadow none|drop|outline [R G B]",
     "the lines that follow get a drop shadow (the text a pixel right and\n"
     "down) or an outline (the text at the eight pixels around it) in R G B\n"
     "(default 0 0 0) under them",
     oracleShadow, shadowColour},
    {kOracle, "oracle-box", "none|byte ?byte ?byte ?byte ?count", "oracle-box R G B ALPHA PADDING | oracle-box none",
     "a box behind the lines GL shows, in window pixels: around where their\n"
     "glyphs start and end, from the font's ascent over the highest baseline\n"
     "to its descent under the lowest, PADDING pixels more, blended with\n"
     "ALPHA/255",
     oracleBox, boxArguments},
    {kOracle, "oracle-anchor", "bottom-left|top-left|top-right|bottom-right", "oracle-anchor CORNER",
     "the oracle-text lines that follow are measured from this corner: at\n"
     "the top Y is down to the line's top (its baseline the font's ascent\n"
     "lower), at the bottom Y is up to its descent (its baseline the font's\n"
     "descent higher), at the right X is left to its end; without it, Y is\n"
     "up to the baseline and X right to the start",
     oracleAnchor, nullptr},
    {kOracle, "oracle-scale", "none|view|dpi ?size", "oracle-scale none|view|dpi [DPI]",
     "from the next oracle step on, its SIZE is a FONT_SIZE grown as\n"
     "FONT_SCALE=VIEW (by the viewport's height over 480) or DPI (by DPI over\n"
     "96, default 96) grows it, and the shadow, outline, box padding and pixel\n"
     "positions with it, as worked out by the oracle itself",
     oracleScale, nullptr},
    {kOracle, "oracle-units", "screen|pixels", "oracle-units screen|pixels",
     "X and Y of the oracle-text lines that follow are in the 640x480 screen\n"
     "(the default) or in window pixels from the viewport's corner",
     oracleUnits, nullptr},
    {kOracle, "oracle-smooth", "", "oracle-smooth",
     "the lines that follow are antialiased: the system's own coverage\n"
     "glyphs (FreeType's normal rendering, or GDI's GGO_GRAY8_BITMAP) blended\n"
     "over the picture by the oracle itself",
     oracleSmooth, nullptr},
    {kOracle, "oracle-again", "", "oracle-again",
     "the lines of the last compare that matched, again, with the oracle's\n"
     "font, shadow, box and corner in force",
     oracleAgain, nullptr},
    {kOracle, "compare", "?byte", "compare [TOLERANCE]",
     "draw the oracle lines over the same background and compare with the\n"
     "last frame, pixel by pixel (channels may differ by TOLERANCE, default\n"
     "0); on a mismatch the frame, the oracle and a difference image are\n"
     "saved to the output directory. The lines are then cleared",
     compare, nullptr},
    {kOracle, "compare-image", "byte text", "compare-image TOLERANCE FILE.png",
     "compare, with a PNG file drawn elsewhere in place of the last frame:\n"
     "over the background in force, at the viewport's size",
     compareImage, nullptr},
    {kOracle, "expect-raster-as-oracle", "", "expect-raster-as-oracle",
     "the raster position, raster colour and current colour the last frame\n"
     "left are the ones the oracle's glyph lists left at the last compare",
     expectRasterAsOracle, nullptr},
    {kOracle, "expect-partial-pixels", "count", "expect-partial-pixels N",
     "at least N pixels of the last frame are neither the background alone\n"
     "nor the oracle's text colour: the edges of antialiased text",
     expectPartialPixels, nullptr},
    {kOracle, "random-layouts", "count count", "random-layouts N SEED",
     "N settings files made up from SEED (corner, place, step, font size,\n"
     "colours, shadow or outline, box, rows of random text, some off the\n"
     "screen), some over a host viewport smaller than the window: each\n"
     "drawn, compared with the oracle and checked with\n"
     "expect-raster-as-oracle",
     randomLayouts, nullptr},
    {kOracle, "expect-ink-apart", "text", "expect-ink-apart FILE.png",
     "no row of pixels holds text of both the last frame and FILE.png (a\n"
     "relative FILE is taken from the output directory, as save writes it):\n"
     "text drawn in one does not reach the other's",
     expectInkApart, nullptr},
    {kOracle, "corner-layouts", "", "corner-layouts",
     "settings files with rows from each corner at 0 and at 1 from its edges,\n"
     "in SCREEN and PIXELS units, plain, outlined with a box and antialiased\n"
     "with a drop shadow and a box: each drawn, compared with the oracle and\n"
     "checked with expect-raster-as-oracle",
     cornerLayouts, nullptr},
    {kOracle, "count-drawn", "", "count-drawn",
     "print how many pixels of the last frame the plug-in drew: those that\n"
     "differ from the background alone",
     countDrawn, nullptr},
    {kOracle, "save", "text", "save FILE.png",
     "the last frame as an RGB PNG (a relative FILE goes to the output\n"
     "directory)",
     save, nullptr},

    {kTiming, "bench-frames", "count text", "bench-frames N LABEL",
     "N frames, each timed from drawFunction(0) until its GL work is done\n"
     "(glFinish), the host's own drawing left out; kept under LABEL",
     benchFrames, nullptr},
    {kTiming, "bench-setup", "count text", "bench-setup N LABEL",
     "N times Reload INI and the frame that sets the plug-in up again,\n"
     "timed the same way; kept under LABEL; prints the size of the glyph\n"
     "texture it made",
     benchSetUp, nullptr},
    {kTiming, "bench-check", "count text", "bench-check N LABEL",
     "N times the GL calls with which the plug-in checks, every visible frame,\n"
     "that its glyph texture, or its two blocks of glyph lists, are still its\n"
     "own, on a texture and lists of the stand-in's; kept under LABEL texture\n"
     "and LABEL lists",
     benchCheck, nullptr},
    {kTiming, "bench-report", "", "bench-report", "the median and mean time of each LABEL so far", benchReport,
     nullptr},
};

}  // namespace

const StepDefinition* findStep(const std::string& name) {
    for (const StepDefinition& step : kSteps) {
        if (name == step.name) return &step;
    }
    return nullptr;
}

const StepDefinition* stepsBegin() { return std::begin(kSteps); }
const StepDefinition* stepsEnd() { return std::end(kSteps); }

}  // namespace standin
