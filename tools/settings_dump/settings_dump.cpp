// settings_dump: reads a settings file exactly as the plug-in does and prints what the plug-in
// will use, and why each CONFIG value is what it is. The output is plain, stable text, the same
// on Windows and on other systems, so that a user can see why a settings file does not do what
// they expect.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/display_settings.h"
#include "config/page_table.h"
#include "font_lookup.h"
#include "overlay/font_scale.h"
#include "key_listing.h"
#include "overlay/row_layout.h"
#include "platform/platform.h"
#include "settings_check.h"
#include "tool_io.h"

namespace {

// Lines of at most 79 characters, so that an 80-column console shows them whole.
constexpr char kUsage[] =
    "usage: settings_dump [--check] [--viewport WxH] [SETTINGS_FILE...]\n"
    "       settings_dump --keys\n"
    "\n"
    "Reads each SETTINGS_FILE the way the Ostrivane plug-in reads its Ostrivane.ini\n"
    "and prints the pages and lines it will show and the CONFIG values it will use,\n"
    "saying for each value whether it came from the file or fell back to its\n"
    "default, and why. Without a SETTINGS_FILE it reads the file the plug-in would:\n"
    "Plugins\\Startup Plugins\\Ostrivane.ini in the current folder, or else\n"
    "Ostrivane.ini beside this program (the plug-in looks beside its own DLL).\n"
    "\n"
    "After each file it lists what in the file does not do what it seems to, one\n"
    "warning a line:\n"
    "  FILE:LINE: warning: TEXT\n"
    "or, when there is nothing to warn about, FILE: no problems found.\n"
    "With --check it prints only those lines. --help, -h or /? prints this text.\n"
    "\n"
    "The check lays the rows out with the font the file sets, as this system draws\n"
    "it, in a view of W x H pixels: 640x480 unless --viewport gives another size,\n"
    "each side 1 to 4096. It warns of rows that run past an edge of that view or\n"
    "lie outside it, and of rows that overlap. With FONT_SCALE the font is laid out\n"
    "at the size the plug-in draws it in that view (or at the screen's DPI), which\n"
    "the dump shows.\n"
    "\n"
    "With --keys it lists every CONFIG key: what it does, its valid values and its\n"
    "default.\n"
    "\n"
    "In a console window every character shows as it is. Written to a file or a\n"
    "pipe the text is UTF-8: open such a file in Notepad; to read it through a pipe\n"
    "in a console (settings_dump --check My.ini | more), type chcp 65001 first, so\n"
    "that the console reads UTF-8 too. Started by a double-click, in a window of its\n"
    "own, it waits for a key before the window closes.\n"
    "\n"
    "Exit status: 0 when there is nothing to warn about, 1 when there are warnings,\n"
    "2 when a file is missing, unreadable or a folder, holds no page to show, or an\n"
    "option is unknown (of several files, the highest).\n";

// Windows looks a bare file name up in its own directory, so a name without a folder is made
// relative to the current directory explicitly.
std::string settingsPath(const std::string& argument) {
    std::string path = argument;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    if (path.find('\\') == std::string::npos) path = ".\\" + path;
    return path;
}

const char* reason(config::ValueSource source, bool present) {
    switch (source) {
        case config::ValueSource::File: return "from file";
        case config::ValueSource::OutOfRange: return "default: out of range";
        case config::ValueSource::NotFound: return present ? "default: empty" : "default: missing";
    }
    return "";
}

// Why the file without a name on the command line is the one it is.
std::string locationNote(config::SettingsLocation location) {
    switch (location) {
        case config::SettingsLocation::CurrentFolder: return "found in the current folder";
        case config::SettingsLocation::LibraryFolder:
            return std::string("found beside this program, as ") + config::kSettingsPath +
                   " is not in the current folder";
        case config::SettingsLocation::NotFound: break;
    }
    char beside[config::kTextFieldSize];
    const bool named = platform::libraryFolderFile(config::kSettingsFileName, beside, sizeof beside);
    std::string hint = tools::misnamedFileHint(config::kSettingsPath, "in the current folder's Plugins\\Startup Plugins");
    if (hint.empty() && named) hint = tools::misnamedFileHint(beside, "beside this program");
    return std::string("not found: not in the current folder, nor beside this program") +
           (named ? std::string(" as ") + beside : std::string()) + hint;
}

// What the dump prints for one file, gathered and then written at once, so that a console shows
// every character (see tools::writeText).
class Printout {
public:
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    void print(const char* format, ...) {
        std::va_list arguments;
        va_start(arguments, format);
        text += tools::formatText(format, arguments);
        va_end(arguments);
    }
    void add(const std::string& more) { text += more; }
    void write() const { tools::writeText(stdout, text); }

private:
    std::string text;
};

// What FONT_SCALE makes of the font in the view checked: the size the glyphs are made at.
std::string scaleInView(const config::DisplaySettings& settings, const check::ViewCheck& view) {
    if (settings.fontScale == config::FontScale::None) return "";
    const overlay::FontScaling scaling = overlay::fontScaling(settings, view.height, view.dpi);
    std::string shown = ": font " + std::to_string(scaling.pixelSize) + " pixels ";
    if (settings.fontScale == config::FontScale::View) {
        return shown + "in a " + std::to_string(view.width) + "x" + std::to_string(view.height) + " view";
    }
    shown += "at " + std::to_string(overlay::believedDpi(view.dpi)) + " DPI";
    if (overlay::believedDpi(view.dpi) != view.dpi) shown += " (the system reports " + std::to_string(view.dpi) + ")";
    return shown;
}

// Prints what the plug-in makes of one settings file (unless `checkOnly`), then its warnings or
// that there are none. Without an argument, the file is found the way the plug-in finds it. A
// file that cannot be read gets one error line and no dump.
check::Outcome dump(const std::string* argument, bool checkOnly, const check::ViewCheck& view) {
    Printout out;
    std::string path;
    std::string shownName;
    std::string note;
    if (argument == nullptr) {
        char located[config::kTextFieldSize];
        const config::SettingsLocation location = config::locateSettingsFile(located);
        path = located;
        shownName = located;
        note = locationNote(location);
        if (location == config::SettingsLocation::NotFound) {
            out.print("%s: error: %s\n", shownName.c_str(), note.c_str());
            out.write();
            return check::Outcome::Unusable;
        }
    } else {
        shownName = *argument;
        std::string problem = tools::inputProblem(*argument);
        if (problem == "not found") problem += tools::misnamedFileHint(*argument);
        if (!problem.empty()) {
            out.print("%s: error: %s\n", shownName.c_str(), problem.c_str());
            out.write();
            return check::Outcome::Unusable;
        }
        path = settingsPath(*argument);
        note = "found";
    }
    static config::PageTable pages;
    if (config::SettingsReader().setFilePath(path.c_str()) == 0) {
        out.print("%s: error: the path is too long: the plug-in takes at most 259 characters\n", shownName.c_str());
        out.write();
        return check::Outcome::Unusable;
    }
    std::vector<std::string> messages;
    const std::string filePath = argument != nullptr ? *argument : path;
    const check::Outcome outcome = check::checkSettingsFile(filePath, path, shownName, &systemHasFont, &messages, view);
    if (messages.empty()) messages.push_back(shownName + ": no problems found");
    if (checkOnly) {
        for (const std::string& message : messages) out.add(message + "\n");
        out.write();
        return outcome;
    }
    config::DisplaySettings settings;
    config::SettingsReport report{};
    bool visible = false;
    config::loadSettings(path.c_str(), pages, settings, visible, &report);

    out.print("file: %s (%s)\n", shownName.c_str(), note.c_str());
    out.print("pages: %d\n", pages.pageCount());
    for (int page = 0; page < pages.pageCount(); ++page) {
        pages.selectPage(page);
        out.print("page %d: %s\n", page + 1, tools::counted(pages.rowCount(), "row", "rows").c_str());
        for (int row = 0; row < pages.rowCount(); ++row) {
            out.print("  row %2d: %s\n", row + 1, check::readableText(pages.rowText(page, row)).c_str());
        }
    }

    out.print("text: %s\n", check::textReading(filePath).c_str());
    out.print("config:\n");
    for (const config::KeyEntry& entry : config::kConfigKeys) {
        const int index = static_cast<int>(entry.key);
        const bool present = platform::settingsKeyExists(path.c_str(), config::kConfigSection, entry.name);
        const std::int32_t v = report.value[index];
        std::string shown;
        switch (entry.kind) {
            case config::KeyKind::Integer:
                shown = entry.words != nullptr ? entry.words[v - entry.range.min] : std::to_string(v) + entry.unit;
                break;
            case config::KeyKind::Switch:
            case config::KeyKind::Word: shown = entry.words[v]; break;
            case config::KeyKind::Text: shown = check::readableText(entry.textField(settings)); break;
        }
        // DISPLAY_ONSTART never hides: a number that is not above 0 leaves the overlay as it is.
        if (entry.key == config::ConfigKey::DisplayOnStart && v == 0 &&
            report.source[index] == config::ValueSource::File) {
            shown = std::to_string(report.fileValue[index]) + ": leaves the visibility as it is (" + shown + ")";
        }
        std::string why = reason(report.source[index], present);
        // In pixels the step's default is the font's line height: the step in force is shown.
        const config::Range& range = config::rangeInForce(entry.key, report);
        if (entry.key == config::ConfigKey::StepY && range.fallbackName != nullptr &&
            report.source[index] != config::ValueSource::File) {
            overlay::PageLayout layout;
            platform::GlyphMetrics font{};
            if (view.measure != nullptr &&
                view.measure(platform::FontRequest{settings.fontFace, settings.fontFallback, settings.fontSize}, nullptr,
                             0, &font, nullptr, nullptr)) {
                layout.lineHeight = font.lineHeight;
            }
            shown = std::to_string(overlay::pixelStep(settings, layout));
            why = std::string("default: ") + range.fallbackName +
                  (report.source[index] == config::ValueSource::NotFound && !present ? "" : why.replace(0, 9, "; "));
        }
        if (entry.key == config::ConfigKey::FontScale) shown += scaleInView(settings, view);
        out.print("  %-18s = %s (%s", entry.name, shown.c_str(), why.c_str());
        if (report.source[index] == config::ValueSource::OutOfRange) {
            if (entry.kind == config::KeyKind::Word) {
                out.print(", file has %s", check::readableText(report.fileText[index]).c_str());
            } else {
                out.print(", file has %d", report.fileValue[index]);
            }
        }
        out.print(")\n");
    }
    for (const std::string& message : messages) out.add(message + "\n");
    out.write();
    return outcome;
}

// A side of --viewport's WxH: 1 to kMaxViewSide; 0 when it is not.
int viewSide(const std::string& digits) {
    if (digits.empty() || digits.size() > 5) return 0;
    int side = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return 0;
        side = side * 10 + (c - '0');
    }
    return side <= check::kMaxViewSide ? side : 0;
}

// --viewport's value, as WIDTHxHEIGHT; false when it is not one.
bool parseViewport(const std::string& text, check::ViewCheck* view) {
    const std::size_t cross = text.find_first_of("xX");
    if (cross == std::string::npos) return false;
    view->width = viewSide(text.substr(0, cross));
    view->height = viewSide(text.substr(cross + 1));
    return view->width > 0 && view->height > 0;
}

constexpr char kShortUsage[] = "usage: settings_dump [--check] [--viewport WxH] [SETTINGS_FILE...] (see --help)\n";

// What the command line asks for; returns the exit status.
int run(int argc, char** argv) {
    bool checkOnly = false;
    check::ViewCheck view;
    view.measure = &platform::measureFont;
    view.dpi = platform::displayDpi(nullptr);
    std::vector<std::string> files;
    const std::vector<std::string> arguments = tools::programArguments(argc, argv);
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (tools::isHelpOption(argument)) {
            tools::writeText(stdout, kUsage);
            return 0;
        }
        // --keys=markdown gives README.md's table.
        if (argument == "--keys" || argument == "--keys=markdown") {
            tools::writeText(stdout, argument == "--keys" ? keys::plainListing() : keys::markdownTable());
            return 0;
        }
        if (argument == "--check") {
            checkOnly = true;
        } else if (argument == "--viewport" || argument.rfind("--viewport=", 0) == 0) {
            const bool joined = argument != "--viewport";
            if (!joined && index + 1 == arguments.size()) {
                tools::printText(stderr, "settings_dump: --viewport needs the view's size, as 640x480\n%s", kShortUsage);
                return 2;
            }
            const std::string size = joined ? argument.substr(std::strlen("--viewport=")) : arguments[++index];
            if (!parseViewport(size, &view)) {
                tools::printText(stderr,
                                 "settings_dump: --viewport %s is not a view's size: write WIDTHxHEIGHT, each 1 to %d, "
                                 "as 640x480\n%s",
                                 size.c_str(), check::kMaxViewSide, kShortUsage);
                return 2;
            }
        } else if (tools::isOption(argument)) {
            tools::printText(stderr, "settings_dump: unknown option %s\n%s", argument.c_str(), kShortUsage);
            return 2;
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty()) return static_cast<int>(dump(nullptr, checkOnly, view));
    int worst = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0 && !checkOnly) tools::writeText(stdout, "\n");
        const int outcome = static_cast<int>(dump(&files[i], checkOnly, view));
        worst = outcome > worst ? outcome : worst;
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    tools::setUpOutput();
    const int status = run(argc, argv);
    if (tools::ownConsoleWindow()) {
        // Started from Explorer: its window closes as soon as the program ends.
        tools::writeText(stdout, "\nPress a key to close this window.\n");
        tools::waitForKey();
    }
    return status;
}
