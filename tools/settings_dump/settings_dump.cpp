// settings_dump: reads a settings file exactly as the plug-in does and prints what the plug-in
// will use, and why each CONFIG value is what it is. The output is plain, stable text, the same
// on Windows and on other systems, so that a user can see why a settings file does not do what
// they expect.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/display_settings.h"
#include "config/page_table.h"
#include "font_lookup.h"
#include "platform/platform.h"
#include "settings_check.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr char kUsage[] =
    "usage: settings_dump [--check] [SETTINGS_FILE...]\n"
    "\n"
    "Reads each SETTINGS_FILE the way the Ostrivane plug-in reads its Ostrivane.ini and prints the\n"
    "pages and lines it will show and the CONFIG values it will use, saying for each value whether\n"
    "it came from the file or fell back to its default, and why. Without a SETTINGS_FILE it reads\n"
    "the file the plug-in would: Plugins\\Startup Plugins\\Ostrivane.ini in the current folder, or\n"
    "else Ostrivane.ini beside this program (the plug-in looks beside its own DLL).\n"
    "\n"
    "After each file it lists what in the file does not do what it seems to, one warning a line:\n"
    "  FILE:LINE: warning: TEXT\n"
    "With --check it prints only those lines.\n"
    "\n"
    "Exit status: 0 when there is nothing to warn about, 1 when there are warnings, 2 when a file\n"
    "is missing or unreadable or holds no page to show (of several files, the highest).\n";

// Bytes outside printable ASCII are shown as \xNN, so the output is the same on every system.
std::string escaped(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p >= 0x20 && *p < 0x7F && *p != '\\') {
            out += static_cast<char>(*p);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", *p);
            out += hex;
        }
    }
    return out;
}

// Windows looks a bare file name up in its own directory, so a name without a folder is made
// relative to the current directory explicitly.
std::string settingsPath(const char* argument) {
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
    return std::string("not found: not in the current folder, nor beside this program") +
           (named ? std::string(" as ") + beside : std::string());
}

// Prints what the plug-in makes of one settings file (unless `checkOnly`), then its warnings.
// Without an argument, the file is found the way the plug-in finds it.
check::Outcome dump(const char* argument, bool checkOnly) {
    std::string path;
    std::string shownName;
    std::string note;
    if (argument == nullptr) {
        char located[config::kTextFieldSize];
        const config::SettingsLocation location = config::locateSettingsFile(located, sizeof located);
        path = located;
        shownName = located;
        note = locationNote(location);
    } else {
        path = settingsPath(argument);
        shownName = argument;
    }
    static config::PageTable pages;
    if (pages.setFilePath(path.c_str()) == 0) {
        std::printf("%s: error: the path is too long: the plug-in takes at most 259 characters\n", shownName.c_str());
        return check::Outcome::Unusable;
    }
    std::vector<std::string> messages;
    const std::string filePath = argument != nullptr ? std::string(argument) : path;
    const check::Outcome outcome = check::checkSettingsFile(filePath, path, shownName, &systemHasFont, &messages);
    if (checkOnly) {
        for (const std::string& message : messages) std::printf("%s\n", message.c_str());
        return outcome;
    }
    config::DisplaySettings settings;
    config::SettingsReport report{};
    bool visible = false;
    config::loadSettings(path.c_str(), pages, settings, visible, &report);

    if (note.empty()) note = platform::settingsFileReadable(path.c_str()) ? "found" : "not found";
    std::printf("file: %s (%s)\n", shownName.c_str(), note.c_str());
    std::printf("pages: %d\n", pages.pageCount());
    for (int page = 0; page < pages.pageCount(); ++page) {
        pages.selectPage(page);
        std::printf("page %d: %d rows\n", page + 1, pages.rowCount());
        for (int row = 0; row < pages.rowCount(); ++row) {
            std::printf("  row %2d: %s%s\n", row + 1, escaped(pages.rowText(page, row)).c_str(),
                        pages.rowConvertedFromUtf8(page, row) ? " (converted from UTF-8)" : "");
        }
    }

    std::printf("config:\n");
    for (int index = 0; index < config::kConfigKeyCount; ++index) {
        const auto key = static_cast<config::ConfigKey>(index);
        const char* name = config::configKeyName(key);
        const bool present = platform::settingsKeyExists(path.c_str(), config::kConfigSection, name);
        const std::int32_t v = report.value[index];
        std::string shown = std::to_string(v);
        switch (key) {
            case config::ConfigKey::Red:
            case config::ConfigKey::Green:
            case config::ConfigKey::Blue:
            case config::ConfigKey::ShadowRed:
            case config::ConfigKey::ShadowGreen:
            case config::ConfigKey::ShadowBlue:
            case config::ConfigKey::BoxRed:
            case config::ConfigKey::BoxGreen:
            case config::ConfigKey::BoxBlue:
            case config::ConfigKey::BoxAlpha: shown += "/255"; break;
            case config::ConfigKey::FontFace: shown = escaped(settings.fontFace); break;
            case config::ConfigKey::DisplayOnStart:
                shown = visible ? "shown on start"
                                : report.source[index] == config::ValueSource::File
                                      ? std::to_string(v) + ": leaves the visibility as it is (hidden on start)"
                                      : "hidden on start";
                break;
            case config::ConfigKey::AutoReload: shown = settings.autoReload ? "on" : "off"; break;
            case config::ConfigKey::Anchor: shown = config::anchorName(settings.anchor); break;
            case config::ConfigKey::FontSmooth:
                shown = settings.fontSmooth ? "antialiased, or 1-bit where the graphics cannot make the glyph texture"
                                            : "off";
                break;
            case config::ConfigKey::TextShadow: {
                static const char* const kShadows[] = {"none", "drop shadow", "outline"};
                shown = kShadows[static_cast<int>(settings.textShadow)];
                break;
            }
            default: break;
        }
        std::printf("  %-18s = %s (%s", name, shown.c_str(), reason(report.source[index], present));
        if (report.source[index] == config::ValueSource::OutOfRange) {
            if (key == config::ConfigKey::Anchor) {
                std::printf(", file has %s", escaped(report.anchorText).c_str());
            } else {
                std::printf(", file has %d", report.fileValue[index]);
            }
        }
        if (key == config::ConfigKey::FontFace && report.fontFaceConvertedFromUtf8) std::printf(", converted from UTF-8");
        std::printf(")\n");
    }
    for (const std::string& message : messages) std::printf("%s\n", message.c_str());
    return outcome;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    int first = 1;
    const bool checkOnly = argc >= 2 && std::strcmp(argv[1], "--check") == 0;
    if (checkOnly) ++first;
    for (int i = first; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] == '-') {
            std::fprintf(stderr, "settings_dump: unknown option %s (see --help)\n", argv[i]);
            return 2;
        }
    }
    if (first >= argc) return static_cast<int>(dump(nullptr, checkOnly));
    int worst = 0;
    for (int i = first; i < argc; ++i) {
        if (i > first && !checkOnly) std::printf("\n");
        const int outcome = static_cast<int>(dump(argv[i], checkOnly));
        worst = outcome > worst ? outcome : worst;
    }
    return worst;
}
