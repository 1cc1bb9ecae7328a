#include "platform/platform.h"
#include "preview.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "config/display_settings.h"
#include "config/page_table.h"
#include "font_lookup.h"
#include "session.h"
#include "settings_check.h"
#include "tool_io.h"

namespace fs = std::filesystem;

namespace standin {

namespace {

constexpr char kCameras[] = "perspective top left right front back bottom free";
constexpr char kModes[] = "face edge vertex none";
constexpr int kMaxPage = config::kMaxPages;
constexpr int kMaxFramesPerSecond = 1000;

#if defined(_WIN32)
constexpr char kPluginFile[] = "Ostrivane.dll";
#else
constexpr char kPluginFile[] = "Ostrivane.so";
#endif

// A usage error: said in the preview's words, with where to read more; no picture is written.
class BadInput {
public:
    explicit BadInput(std::string text, bool pointToHelp = true) : message(std::move(text)), helps(pointToHelp) {}
    std::string message;
    bool helps;  // whether --help says how to do better
};

// Paths as the user wrote them, which the messages repeat; checkFiles makes them absolute.
struct Request {
    std::string launcher;
    std::string plugin;
    std::string settings;
    std::string output;
    bool outputGiven = false;
    std::string shownSettings;
    std::string shownOutput;
    std::string size = "640x480";
    int width = 640;
    int height = 480;
    std::string camera = "perspective";
    std::string mode = "face";
    std::string faces = "12", edges = "30", vertices = "20";
    std::string page = "1";
    std::string fps = "60";
    int framesPerSecond = 60;
    bool pressSwitch = false;
    bool help = false;
    bool waitIfDoubleClicked = false;
};

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool oneOf(const std::string& word, const char* names) {
    return (" " + std::string(names) + " ").find(" " + word + " ") != std::string::npos && !word.empty() &&
           word.find(' ') == std::string::npos;
}

bool digitsOnly(const std::string& text, std::size_t most) {
    return !text.empty() && text.size() <= most &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string fileName(const std::string& path) { return tools::utf8FromPath(tools::pathFromUtf8(path).filename()); }

// Lines of at most 79 characters, so that an 80-column console shows them whole; the paths of
// the defaults stand on lines of their own.
std::string usage(const Request& request) {
    const std::string name = fileName(request.launcher);
    const std::string settings = request.settings.empty() ? "none" : request.settings;
    const std::string output =
        request.outputGiven ? request.output : std::string("beside the settings file, named like it, with .png");
    return "usage: " + name + " [options] [SETTINGS.ini [PICTURE.png]]\n"
           "\n"
           "Draws a settings file through the Ostrivane plug-in, as the host would, over a\n"
           "picture like the host's viewport, and writes it as a PNG picture. The settings\n"
           "file is checked first and its warnings are printed.\n"
           "\n"
           "  --settings FILE   the settings file (default: see below)\n"
           "  --output FILE     the PNG picture to write, a name ending in .png (default:\n"
           "                    see below); a missing folder is made\n"
           "  --size WxH        the viewport size in pixels, each 1-4096 (default: 640x480)\n"
           "  --camera NAME     the active view's camera: perspective, top, left, right,\n"
           "                    front, back, bottom or free (default: perspective)\n"
           "  --mode MODE       selection mode: face, edge, vertex or none (default: face)\n"
           "  --faces N, --edges N, --vertices N\n"
           "                    selected counts, whole numbers of 0 or more (default: 12,\n"
           "                    30, 20)\n"
           "  --page N          show page N, 1-5 (default: 1), reached by pressing Next\n"
           "                    Page; past the file's last page it wraps around to the\n"
           "                    first, as Next Page does\n"
           "  --fps N           the frames the host draws a second, as *FPS* shows them,\n"
           "                    0-1000 (default: 60)\n"
           "  --switch          press \"Ostrivane Switch\" first, for files that start\n"
           "                    hidden (DISPLAY_ONSTART missing or 0)\n"
           "  --help            this text (also -h and /?)\n"
           "\n"
           "SETTINGS.ini and PICTURE.png may also be given without --settings and\n"
           "--output. Without either, the settings file is\n"
           "  " + settings + "\n"
           "and the picture\n"
           "  " + output + "\n"
           "\n"
           "Exit status: 0 the picture was made and the file has no warnings; 1 the\n"
           "picture was made, but the file has warnings or the picture shows nothing of\n"
           "the overlay (the reason is printed); 2 bad input: an unknown option or value,\n"
           "a settings file that is missing or holds no page to show, an output that is\n"
           "not a .png file; no picture is written then.\n";
}

// The launcher's options, then the user's, into `out`. A later option overrides an earlier one.
void parse(const std::vector<std::string>& arguments, Request* out) {
    Request& request = *out;
    if (arguments.empty()) throw BadInput("--preview needs the launcher's path");
    request.launcher = arguments[0];
    std::size_t index = 1;
    for (; index < arguments.size(); ++index) {
        const std::string& option = arguments[index];
        if (option == "--wait-if-double-clicked") {
            request.waitIfDoubleClicked = true;
            continue;
        }
        if (option != "--plugin" && option != "--default-settings" && option != "--default-output") break;
        if (index + 1 >= arguments.size()) throw BadInput(option + " needs a value");
        const std::string& value = arguments[++index];
        if (option == "--plugin") request.plugin = value;
        if (option == "--default-settings") request.settings = value;
        if (option == "--default-output") {
            request.output = value;
            request.outputGiven = true;
        }
    }
    int names = 0;
    for (; index < arguments.size(); ++index) {
        const std::string& option = arguments[index];
        if (tools::isHelpOption(option)) {
            request.help = true;
            return;
        }
        if (option == "--switch") {
            request.pressSwitch = true;
            continue;
        }
        static const char* const kValued[] = {"--settings", "--output", "--size",     "--camera", "--mode",
                                              "--faces",    "--edges",  "--vertices", "--page",   "--fps"};
        const bool valued = std::find(std::begin(kValued), std::end(kValued), option) != std::end(kValued);
        if (!valued && tools::isOption(option)) throw BadInput("unknown option " + option);
        if (!valued) {
            // SETTINGS.ini, then PICTURE.png.
            if (names == 0) request.settings = option;
            else if (names == 1) request.output = option;
            else throw BadInput("one settings file and one picture at most, not also " + option);
            request.outputGiven = request.outputGiven || names == 1;
            ++names;
            continue;
        }
        if (index + 1 >= arguments.size() || arguments[index + 1].compare(0, 2, "--") == 0) {
            throw BadInput(option + " needs a value");
        }
        const std::string& value = arguments[++index];
        if (option == "--settings") request.settings = value;
        if (option == "--output") {
            request.output = value;
            request.outputGiven = true;
        }
        if (option == "--size") request.size = value;
        if (option == "--camera") request.camera = value;
        if (option == "--mode") request.mode = value;
        if (option == "--faces") request.faces = value;
        if (option == "--edges") request.edges = value;
        if (option == "--vertices") request.vertices = value;
        if (option == "--page") request.page = value;
        if (option == "--fps") request.fps = value;
    }
}

void checkValues(Request& request) {
    const std::size_t x = request.size.find('x');
    if (x == std::string::npos || !digitsOnly(request.size.substr(0, x), 9) || !digitsOnly(request.size.substr(x + 1), 9)) {
        throw BadInput("--size takes WxH, e.g. 1280x960, not \"" + request.size + "\"");
    }
    request.width = std::stoi(request.size.substr(0, x));
    request.height = std::stoi(request.size.substr(x + 1));
    if (request.width < 1 || request.width > 4096 || request.height < 1 || request.height > 4096) {
        throw BadInput("--size takes a width and a height from 1 to 4096, not " + request.size);
    }
    if (!oneOf(request.camera, kCameras)) {
        throw BadInput(std::string("--camera takes one of: ") + kCameras + " (not \"" + request.camera + "\")");
    }
    if (!oneOf(request.mode, kModes)) {
        throw BadInput(std::string("--mode takes one of: ") + kModes + " (not \"" + request.mode + "\")");
    }
    const std::pair<const char*, const std::string*> counts[] = {
        {"--faces", &request.faces}, {"--edges", &request.edges}, {"--vertices", &request.vertices}};
    for (const auto& count : counts) {
        if (!digitsOnly(*count.second, 9)) {
            throw BadInput(std::string(count.first) + " takes a whole number of 0 or more, not \"" + *count.second + "\"");
        }
    }
    if (!digitsOnly(request.fps, 4) || std::stoi(request.fps) > kMaxFramesPerSecond) {
        throw BadInput("--fps takes a whole number from 0 to 1000, not \"" + request.fps + "\"");
    }
    request.framesPerSecond = std::stoi(request.fps);
    if (request.page.size() != 1 || request.page[0] < '1' || request.page[0] > '0' + kMaxPage) {
        throw BadInput("--page takes 1 to 5, not \"" + request.page +
                       "\": a file has at most 5 pages, and Next Page wraps from the last one to the first");
    }
}

void checkFiles(Request& request) {
    if (request.settings.empty()) throw BadInput("no settings file given (--settings FILE)");
    std::string problem = tools::inputProblem(request.settings);
    if (problem == "not found") problem += tools::misnamedFileHint(request.settings);
    if (!problem.empty()) throw BadInput("settings file " + request.settings + " " + problem);
    if (!request.outputGiven) {
        request.output = tools::utf8FromPath(tools::pathFromUtf8(request.settings).replace_extension(".png"));
    }
    request.shownSettings = request.settings;
    request.shownOutput = request.output;
    std::error_code error;
    request.settings = tools::utf8FromPath(fs::absolute(tools::pathFromUtf8(request.settings), error).lexically_normal());
    const fs::path output = tools::pathFromUtf8(request.output);
    if (fs::is_directory(output, error)) {
        throw BadInput("output " + request.output + " is a directory: name the PNG file to write");
    }
    if (lower(tools::utf8FromPath(output.extension())) != ".png") {
        throw BadInput("output " + request.output + " does not end in .png: the picture is written as PNG, so name it " +
                       tools::utf8FromPath(fs::path(output).replace_extension(".png").filename()) + " or the like");
    }
    request.output = tools::utf8FromPath(fs::absolute(output, error).lexically_normal());
    if (request.plugin.empty()) {
        request.plugin = tools::utf8FromPath(tools::pathFromUtf8(tools::programPath()).parent_path() / kPluginFile);
    }
    if (!fs::is_regular_file(tools::pathFromUtf8(request.plugin), error)) {
        throw BadInput("the plug-in " + request.plugin + " is missing: " + kPluginFile + " belongs beside " +
                       fileName(request.launcher));
    }
}

// What the plug-in makes of the file: enough to say why a picture shows no overlay.
struct SettingsFacts {
    int pages = 0;
    bool shownAtStart = false;
    bool showsFrameRate = false;  // a row holds *FPS*
    std::vector<bool> pageEmpty;
};

SettingsFacts readFacts(const std::string& path) {
    auto table = std::make_unique<config::PageTable>();
    config::DisplaySettings settings;
    SettingsFacts facts;
    config::loadSettings(path.c_str(), *table, settings, facts.shownAtStart, nullptr);
    facts.pages = table->pageCount();
    for (int page = 0; page < facts.pages; ++page) {
        bool empty = true;
        for (int row = 0; const char* text = table->rowText(page, row); ++row) {
            empty = empty && text[0] == '\0';
            facts.showsFrameRate = facts.showsFrameRate || std::strstr(text, "*FPS*") != nullptr;
        }
        facts.pageEmpty.push_back(empty);
    }
    return facts;
}

std::string whyNothingShows(const Request& request, const SettingsFacts& facts) {
    const int page = request.page[0] - '0';
    if (facts.pages == 0) return "the file has no page: it needs a [SECTION1] with a ROWDATA1";
    const int shownPage = (page - 1) % facts.pages + 1;
    std::string why;
    if (request.pressSwitch && facts.shownAtStart) {
        why = "--switch hid it: the file shows the overlay at start (DISPLAY_ONSTART), so leave --switch out";
    } else if (!request.pressSwitch && !facts.shownAtStart) {
        why = "it is hidden at start: use --switch, or set DISPLAY_ONSTART=1 in [CONFIG]";
    } else if (facts.pageEmpty[static_cast<std::size_t>(shownPage - 1)]) {
        why = "page " + std::to_string(shownPage) + " is empty: all its rows are BLANK";
    } else {
        why = "its rows are outside the picture or draw nothing; see the warnings above";
    }
    if (page > facts.pages) {
        why += " (the file has " + tools::counted(facts.pages, "page", "pages") + ", so --page " + request.page +
               " shows page " + std::to_string(shownPage) + ": Next Page wraps)";
    }
    return why;
}

std::vector<Step> previewSteps(const Request& request, const SettingsFacts& facts) {
    std::vector<std::string> lines = {"viewport " + std::to_string(request.width) + " " + std::to_string(request.height),
                                      "background viewport",
                                      "camera " + request.camera,
                                      "selmode " + request.mode,
                                      "faces " + request.faces,
                                      "edges " + request.edges,
                                      "vertices " + request.vertices,
                                      "frame"};
    if (request.pressSwitch) lines.push_back("run 1");
    for (int page = 1; page < request.page[0] - '0'; ++page) lines.push_back("run 2");
    // *FPS* as a host drawing that many frames a second shows it: that many frames in one second
    // of the tick, hidden, so that they cost nothing, then the picture's frame in the next.
    if (facts.showsFrameRate) {
        const bool shown = facts.shownAtStart != request.pressSwitch;
        if (shown) lines.push_back("run 1");
        lines.push_back("frames-per-second " + std::to_string(request.framesPerSecond));
        if (shown) lines.push_back("run 1");
    }
    lines.push_back("frame");
    lines.push_back("save " + request.output);
    std::vector<Step> steps;
    for (const std::string& line : lines) {
        Step step;
        parseStepLine(line, "preview", &step);
        steps.push_back(step);
    }
    return steps;
}

int preview(Request& request) {
    checkValues(request);
    checkFiles(request);

    std::vector<std::string> messages;
    // The rows laid out in the view the picture is drawn in.
    check::ViewCheck view;
    view.measure = &platform::measureFont;
    view.width = request.width;
    view.height = request.height;
    const check::Outcome outcome = check::checkSettingsFile(request.settings, request.settings, request.shownSettings,
                                                            &systemHasFont, &messages, view);
    for (const std::string& message : messages) tools::writeText(stderr, message + "\n");
    if (outcome == check::Outcome::Unusable) throw BadInput("no picture: the plug-in would show nothing of this file", false);

    const fs::path folder = tools::pathFromUtf8(request.output).parent_path();
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        fs::create_directories(folder, error);
        if (error) {
            throw BadInput("cannot make the folder " + tools::utf8FromPath(folder) + " for the picture: " + error.message(),
                           false);
        }
        tools::writeText(stdout, "preview: made the folder " + tools::utf8FromPath(folder) + " for the picture\n");
    }

    Options options;
    options.pluginPath = request.plugin;
    options.settingsPath = request.settings;
    options.outputDir = tools::utf8FromPath(folder);
    long drawn = 0;
    try {
        Session session(options);
        for (const Step& step : previewSteps(request, readFacts(request.settings))) session.run(step);
        drawn = session.pixelsDrawn();
    } catch (const StepFailure& failure) {
        throw BadInput(std::string("no picture: ") + failure.what(), false);
    }
    tools::writeText(stdout, "preview: wrote " + request.shownOutput + "\n");
    int status = outcome == check::Outcome::Warnings ? 1 : 0;
    if (drawn == 0) {
        tools::writeText(stderr, "preview: the picture shows nothing of the overlay: " +
                                     whyNothingShows(request, readFacts(request.settings)) + "\n");
        status = 1;
    }
    return status;
}

bool containsIgnoringCase(const std::string& text, const std::string& part) {
    return lower(text).find(lower(part)) != std::string::npos;
}

}  // namespace

bool startedByDoubleClick(const std::string& launchLine, const std::string& launcher) {
    return !launcher.empty() && containsIgnoringCase(launchLine, " /c ") &&
           containsIgnoringCase(launchLine, "\"" + launcher + "\"");
}

int runPreview(const std::vector<std::string>& arguments) {
    Request request;
    int status = 0;
    try {
        parse(arguments, &request);
        if (request.help) {
            tools::writeText(stdout, usage(request));
        } else {
            status = preview(request);
        }
    } catch (const BadInput& bad) {
        const std::string name = request.launcher.empty() ? std::string("preview") : fileName(request.launcher);
        tools::writeText(stderr, "preview: " + bad.message + "\n" + (bad.helps ? "preview: see " + name + " --help\n" : ""));
        status = 2;
    }
    if (request.waitIfDoubleClicked &&
        startedByDoubleClick(tools::environmentText("OSTRIVANE_LAUNCH_LINE"), request.launcher)) {
        // Explorer closes the window as soon as the script ends: leave time to read it.
        tools::writeText(stdout, "\nPress a key to close this window.\n");
        tools::waitForKey();
    }
    return status;
}

}  // namespace standin
