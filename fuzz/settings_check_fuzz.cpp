// Fuzzes the settings check: whatever the bytes, it neither crashes nor runs away: at most
// kMaxWarnings warnings and one line more, each in the compilers' form. Stand-ins for the system's
// fonts (no font files are opened, so runs stay fast) let the layout and font checks run too, in a
// view whose size follows the input's.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_settings_file.h"
#include "settings_check.h"

namespace {

bool standInFonts(const char* face, std::string* drawn) {
    if (std::strlen(face) % 2 == 0) return true;
    *drawn = "Stand-in Sans";
    return false;
}

bool standInMeasure(const platform::FontRequest& font, const std::uint32_t* characters, int count,
                    platform::GlyphMetrics* out, std::int16_t* advances, bool* missing) {
    const int pixelHeight = font.pixelHeight;
    *out = platform::GlyphMetrics{pixelHeight * 4 / 5, pixelHeight / 5, pixelHeight + pixelHeight / 8};
    for (int i = 0; i < count; ++i) {
        if (advances != nullptr) advances[i] = static_cast<std::int16_t>(pixelHeight / 2 + characters[i] % 7);
        if (missing != nullptr) missing[i] = characters[i] % 11 == 0;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = writeSettingsFile(data, size);
    // The first byte picks the ANSI code page, so that each is reached from every seed.
    static const char* const kCodePages[] = {"1252", "1251", "932"};
    setenv("OSTRIVANE_TEST_CODE_PAGE", kCodePages[size > 0 ? data[0] % 3 : 0], 1);
    std::vector<std::string> messages;
    check::ViewCheck view;
    view.measure = &standInMeasure;
    view.width = static_cast<int>(1 + size * 37 % check::kMaxViewSide);
    view.height = static_cast<int>(1 + size * 101 % check::kMaxViewSide);
    const check::Outcome outcome = check::checkSettingsFile(path, path, "fuzz.ini", &standInFonts, &messages, view);
    std::size_t warnings = 0;
    for (const std::string& message : messages) {
        const bool warning = message.rfind("fuzz.ini:", 0) == 0 && message.find(": warning: ") != std::string::npos;
        const bool error = message.rfind("fuzz.ini: error: ", 0) == 0;
        if (!warning && !error) {
            std::fprintf(stderr, "a message not in the compilers' form: %s\n", message.c_str());
            __builtin_trap();
        }
        if (warning) ++warnings;
    }
    if (warnings > check::kMaxWarnings + 1 || (outcome == check::Outcome::Clean) != messages.empty()) {
        std::fprintf(stderr, "%zu warnings, outcome %d\n", warnings, static_cast<int>(outcome));
        __builtin_trap();
    }
    return 0;
}
