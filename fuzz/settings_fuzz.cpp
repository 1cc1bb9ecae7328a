// Fuzzes the settings reader with page loading: any bytes as the settings file must load into at
// most 5 pages of at most 28 terminated rows of at most 259 characters of well-formed UTF-8, with
// CONFIG values in range, whichever ANSI code page the unmarked text is read in.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "config/display_settings.h"
#include "config/page_table.h"
#include "fuzz_settings_file.h"
#include "platform/utf8.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        __builtin_trap();
    }
}

bool terminatedWithin(const char* text, std::size_t size) { return std::memchr(text, 0, size) != nullptr; }

// Terminated within kTextBufferSize, well-formed UTF-8, at most 259 characters.
bool wellFormedText(const char* text) {
    if (!terminatedWithin(text, config::kTextBufferSize)) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const std::size_t length = std::strlen(text);
    std::size_t characters = 0;
    for (std::size_t at = 0; at < length; ++characters) {
        const platform::Utf8Character c = platform::decodeUtf8(bytes + at, length - at, platform::Utf8Errors::Reject);
        if (c.codePoint == platform::kNoCodePoint) return false;
        at += c.length;
    }
    return characters <= platform::kMaxTextCharacters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = writeSettingsFile(data, size);
    // The first byte picks the code page, so that each is reached from every seed.
    static const char* const kCodePages[] = {"1252", "1251", "932"};
    setenv("OSTRIVANE_TEST_CODE_PAGE", kCodePages[size > 0 ? data[0] % 3 : 0], 1);

    static config::PageTable pages;
    config::DisplaySettings settings;
    bool visible = false;
    config::loadSettings(path.c_str(), pages, settings, visible, nullptr);

    check(pages.pageCount() >= 0 && pages.pageCount() <= config::kMaxPages, "page count");
    for (int page = 0; page < pages.pageCount(); ++page) {
        check(pages.selectPage(page) == 1, "select page");
        check(pages.rowCount() >= 1 && pages.rowCount() <= config::kMaxRows, "row count");
        for (int row = 0; row < pages.rowCount(); ++row) {
            const char* text = pages.rowText(page, row);
            check(text != nullptr && wellFormedText(text), "row of well-formed text");
            check(std::strcmp(text, "BLANK") != 0, "BLANK row shown as text");
        }
    }
    check(wellFormedText(settings.fontFace) && settings.fontFace[0] != '\0', "font face");
    check(wellFormedText(settings.dateFormat) && wellFormedText(settings.timeFormat), "formats");
    // Bottom left takes positions from 1; the other corners from 0.
    const float lowest = settings.anchor == config::Anchor::BottomLeft ? 1.0f : 0.0f;
    check(settings.posX >= lowest && settings.posX <= 640, "posX");
    check(settings.posY >= lowest && settings.posY <= 480, "posY");
    check(settings.stepY >= 1 && settings.stepY <= 480, "stepY");
    check(settings.fontSize >= 1 && settings.fontSize <= 64, "font size");
    for (float c : {settings.red, settings.green, settings.blue}) check(c >= 0.0f && c <= 1.0f, "colour");
    return 0;
}
