// ini_probe: stages settings files where the plug-in looks for them and prints what a settings
// reader returns for every name the plug-in reads, plus names that probe the reader's edges: on
// Windows the system's own profile reader (GetPrivateProfileStringA), natively the portable reader
// as the plug-in asks it for names and numbers (platform::readSettingsValue). Built for both
// platforms from this one source, so that the two can be compared line by line.
//
//   ini_probe --stage DIR --out FILE CASE...
//
// CASE is a settings file, @LIST (a file naming one case a line), or a staged state without a
// file: :missing (folder but no file), :no-folder, :directory (a folder where the file should be).
// Each case gets a folder DIR/NNN of its own, holding "Plugins/Startup Plugins/Ostrivane.ini";
// the probe makes it the current directory and reads the plug-in's relative path from there.
// Separate folders also keep the Windows reader's cache of parsed files out of the way.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#include <sys/utime.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#endif

#include <ctime>

#include "platform/platform.h"

namespace {

constexpr const char* kSettingsPath = "Plugins\\Startup Plugins\\Ostrivane.ini";
constexpr std::uint32_t kPluginCapacity = 260;
constexpr std::size_t kMaxPath = 4096;

bool makeDirectory(const char* path) {
#ifdef _WIN32
    return _mkdir(path) == 0;
#else
    return mkdir(path, 0777) == 0;
#endif
}

bool changeDirectory(const char* path) {
#ifdef _WIN32
    return _chdir(path) == 0;
#else
    return chdir(path) == 0;
#endif
}

bool currentDirectory(char* buffer, std::size_t size) {
#ifdef _WIN32
    return _getcwd(buffer, static_cast<int>(size)) != nullptr;
#else
    return getcwd(buffer, size) != nullptr;
#endif
}

// A day-old write time: the Windows reader then parses the file once and serves later reads from
// its cache, instead of parsing it again for every read as it does with files under 2 s old.
void backdate(const char* path) {
#ifdef _WIN32
    struct _utimbuf times;
    times.actime = times.modtime = std::time(nullptr) - 86400;
    _utime(path, &times);
#else
    struct utimbuf times;
    times.actime = times.modtime = std::time(nullptr) - 86400;
    utime(path, &times);
#endif
}

bool readWholeFile(const char* path, unsigned char** bytes, std::size_t* length) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::size_t capacity = 1 << 16;
    std::size_t filled = 0;
    unsigned char* buffer = static_cast<unsigned char*>(std::malloc(capacity));
    while (buffer) {
        filled += std::fread(buffer + filled, 1, capacity - filled, file);
        if (filled < capacity) break;
        capacity *= 2;
        unsigned char* grown = static_cast<unsigned char*>(std::realloc(buffer, capacity));
        if (!grown) std::free(buffer);
        buffer = grown;
    }
    std::fclose(file);
    if (!buffer) return false;
    *bytes = buffer;
    *length = filled;
    return true;
}

bool writeWholeFile(const char* path, const unsigned char* bytes, std::size_t length) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes, 1, length, file) == length;
    return std::fclose(file) == 0 && written;
}

void printEscaped(std::FILE* out, const char* text, std::size_t length) {
    std::fputc('"', out);
    for (std::size_t index = 0; index < length; ++index) {
        const unsigned char byte = static_cast<unsigned char>(text[index]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
            std::fputc(byte, out);
        } else {
            std::fprintf(out, "\\x%02X", byte);
        }
    }
    std::fputc('"', out);
}

// The reader this build compares.
std::uint32_t readValue(const char* section, const char* key, char* value, std::uint32_t capacity) {
#ifdef _WIN32
    return GetPrivateProfileStringA(section, key, "", value, capacity, kSettingsPath);
#else
    return platform::readSettingsValue(kSettingsPath, section, key, value, capacity);
#endif
}

void probe(std::FILE* out, const char* section, const char* key, std::uint32_t capacity) {
    char value[kPluginCapacity + 8];
    std::memset(value, '#', sizeof(value));
    const std::uint32_t length = readValue(section, key, value, capacity);
    printEscaped(out, section, std::strlen(section));
    std::fputc(' ', out);
    printEscaped(out, key, std::strlen(key));
    std::fprintf(out, " cap=%u -> %u ", static_cast<unsigned>(capacity), static_cast<unsigned>(length));
    if (length < capacity) {
        printEscaped(out, value, length);
        // The terminator must follow the value.
        if (value[length] != '\0') std::fputs(" UNTERMINATED", out);
    } else {
        std::fputs("OVERRUN", out);
    }
    std::fputc('\n', out);
}

const char* const kConfigKeys[] = {"HUD_POS_X",   "HUD_POS_Y",   "HUD_STEP_Y", "FONT_SIZE",      "COLOR_RED",
                                   "COLOR_GREEN", "COLOR_BLUE",  "FONT_FACE",  "DISPLAY_ONSTART"};

struct ExtraLookup {
    const char* section;
    const char* key;
    std::uint32_t capacity;
};

// Names the plug-in never asks for, which show how requests are matched, and small buffers.
const ExtraLookup kExtraLookups[] = {
    {"section1", "rowdata1", kPluginCapacity},
    {"Section1", "RowData2", kPluginCapacity},
    {"config", "font_face", kPluginCapacity},
    {" SECTION1 ", "\tROWDATA1 ", kPluginCapacity},
    {"\x1aSECTION1", "ROWDATA1\x1a", kPluginCapacity},
    {"", "ROWDATA1", kPluginCapacity},
    {"", "KEY", kPluginCapacity},
    {"SECTION1", "", kPluginCapacity},
    {"SECTION1", " ", kPluginCapacity},
    {"SECTION1", ";ROWDATA1", kPluginCapacity},
    {"SECTION1", "#ROWDATA1", kPluginCapacity},
    {"SECTION1", "[SECTION2", kPluginCapacity},
    {"SECTION1", "ROW DATA1", kPluginCapacity},
    {"SECTION1", "\"ROWDATA1\"", kPluginCapacity},
    {"[SECTION1]", "ROWDATA1", kPluginCapacity},
    {"SECTION1", "\xe9T\xc9", kPluginCapacity},
    {"SECTION1", "\xc9T\xc9", kPluginCapacity},
    {"SECTION1", "\xe9t\xe9", kPluginCapacity},
    {"SECTION1", "\x8a", kPluginCapacity},
    {"SECTION1", "\x9a", kPluginCapacity},
    {"SECTION1", "\xd7", kPluginCapacity},
    {"SECTION1", "\xf7", kPluginCapacity},
    {"SECTION1", "\xdf", kPluginCapacity},
    {"SECTION1", "\xff", kPluginCapacity},
    {"SECTION1", "ROWDATA1", 1},
    {"SECTION1", "ROWDATA1", 2},
    {"SECTION1", "ROWDATA1", 3},
    {"SECTION1", "ROWDATA2", 2},
    {"SECTION1", "ROWDATA2", 3},
    {"SECTION1", "ROWDATA2", 4},
    {"SECTION1", "ROWDATA3", 3},
    {"SECTION1", "ROWDATA3", 4},
    {"SECTION1", "ROWDATA3", 5},
    {"SECTION1", "ROWDATA4", 4},
    {"SECTION1", "ROWDATA4", 5},
    {"SECTION1", "ROWDATA5", 5},
    {"SECTION1", "ROWDATA5", 6},
    {"SECTION1", "ROWDATA6", 6},
    {"SECTION1", "ROWDATA6", 7},
};

void probeAll(std::FILE* out) {
    std::fprintf(out, "readable=%d\n", platform::settingsFileReadable(kSettingsPath) ? 1 : 0);
    {
        // The plug-in reads its names in one batch per load.
        platform::SettingsBatch batch(kSettingsPath);
        char section[16];
        char key[16];
        for (int sectionNumber = 1; sectionNumber <= 5; ++sectionNumber) {
            std::snprintf(section, sizeof(section), "SECTION%d", sectionNumber);
            for (int row = 1; row <= 30; ++row) {
                std::snprintf(key, sizeof(key), "ROWDATA%d", row);
                probe(out, section, key, kPluginCapacity);
            }
        }
        for (const char* configKey : kConfigKeys) probe(out, "CONFIG", configKey, kPluginCapacity);
    }
    // Outside a batch, so that both ways through the reader are compared.
    for (const ExtraLookup& lookup : kExtraLookups) probe(out, lookup.section, lookup.key, lookup.capacity);
}

const char* baseName(const char* path) {
    const char* base = path;
    for (const char* cursor = path; *cursor; ++cursor) {
        if (*cursor == '/' || *cursor == '\\') base = cursor + 1;
    }
    return base;
}

// Stages one case in its own folder and probes it. False when the case could not be staged.
bool runCase(std::FILE* out, const char* stageRoot, const char* startDirectory, int number, const char* name) {
    std::fprintf(out, "== %s\n", name[0] == ':' ? name : baseName(name));
    char folder[kMaxPath];
    char plugins[kMaxPath];
    char startup[kMaxPath];
    char settings[kMaxPath];
    const int settingsLength = std::snprintf(settings, sizeof(settings), "%s/%03d/Plugins/Startup Plugins/Ostrivane.ini",
                                             stageRoot, number);
    if (settingsLength < 0 || static_cast<std::size_t>(settingsLength) >= sizeof(settings)) {
        std::fprintf(stderr, "ini_probe: stage folder name too long\n");
        return false;
    }
    std::snprintf(folder, sizeof(folder), "%s/%03d", stageRoot, number);
    std::snprintf(plugins, sizeof(plugins), "%s/%03d/Plugins", stageRoot, number);
    std::snprintf(startup, sizeof(startup), "%s/%03d/Plugins/Startup Plugins", stageRoot, number);
    if (!makeDirectory(folder)) {
        std::fprintf(stderr, "ini_probe: cannot make %s (stage folders must be new)\n", folder);
        return false;
    }
    const bool withFolders = std::strcmp(name, ":no-folder") != 0;
    if (withFolders && !(makeDirectory(plugins) && makeDirectory(startup))) {
        std::fprintf(stderr, "ini_probe: cannot make %s\n", startup);
        return false;
    }
    if (std::strcmp(name, ":directory") == 0) {
        if (!makeDirectory(settings)) {
            std::fprintf(stderr, "ini_probe: cannot make %s\n", settings);
            return false;
        }
    } else if (name[0] != ':') {
        unsigned char* bytes = nullptr;
        std::size_t length = 0;
        if (!readWholeFile(name, &bytes, &length)) {
            std::fprintf(stderr, "ini_probe: cannot read %s\n", name);
            return false;
        }
        const bool staged = writeWholeFile(settings, bytes, length);
        std::free(bytes);
        if (!staged) {
            std::fprintf(stderr, "ini_probe: cannot write %s\n", settings);
            return false;
        }
        backdate(settings);
    } else if (std::strcmp(name, ":missing") != 0 && withFolders) {
        std::fprintf(stderr, "ini_probe: unknown case %s\n", name);
        return false;
    }
    if (!changeDirectory(folder)) {
        std::fprintf(stderr, "ini_probe: cannot enter %s\n", folder);
        return false;
    }
    probeAll(out);
    return changeDirectory(startDirectory);
}

// Cases named in a list file, one a line; blank lines are skipped.
bool runList(std::FILE* out, const char* stageRoot, const char* startDirectory, int* number, const char* listPath) {
    std::FILE* list = std::fopen(listPath, "rb");
    if (!list) {
        std::fprintf(stderr, "ini_probe: cannot read %s\n", listPath);
        return false;
    }
    char line[kMaxPath];
    bool ok = true;
    while (ok && std::fgets(line, sizeof(line), list)) {
        std::size_t length = std::strlen(line);
        while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) line[--length] = '\0';
        if (length == 0) continue;
        ok = runCase(out, stageRoot, startDirectory, ++*number, line);
    }
    std::fclose(list);
    return ok;
}

int usage() {
    std::fprintf(stderr, "usage: ini_probe --stage DIR --out FILE (FILE | @LIST | :missing | :no-folder | :directory)...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* stageRoot = nullptr;
    const char* outPath = nullptr;
    int firstCase = 1;
    while (firstCase + 1 < argc && argv[firstCase][0] == '-') {
        if (std::strcmp(argv[firstCase], "--stage") == 0) {
            stageRoot = argv[firstCase + 1];
        } else if (std::strcmp(argv[firstCase], "--out") == 0) {
            outPath = argv[firstCase + 1];
        } else {
            return usage();
        }
        firstCase += 2;
    }
    if (!stageRoot || !outPath || firstCase >= argc) return usage();

    char startDirectory[kMaxPath];
    if (!currentDirectory(startDirectory, sizeof(startDirectory))) {
        std::fprintf(stderr, "ini_probe: cannot read the current directory\n");
        return 1;
    }
    makeDirectory(stageRoot);
    // Binary mode: the same bytes on both platforms, no CR before each LF.
    std::FILE* out = std::fopen(outPath, "wb");
    if (!out) {
        std::fprintf(stderr, "ini_probe: cannot write %s\n", outPath);
        return 1;
    }
    int number = 0;
    bool ok = true;
    for (int index = firstCase; ok && index < argc; ++index) {
        ok = argv[index][0] == '@' ? runList(out, stageRoot, startDirectory, &number, argv[index] + 1)
                                   : runCase(out, stageRoot, startDirectory, ++number, argv[index]);
    }
    ok = std::fclose(out) == 0 && ok;
    return ok ? 0 : 1;
}
