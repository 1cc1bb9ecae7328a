#include "config/display_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "settings_file_fixture.h"

namespace {

using config::ConfigKey;
using config::DisplaySettings;
using config::ValueSource;

class DisplaySettingsTest : public SettingsFileTest {
protected:
    DisplaySettings loadConfig(const std::string& configLines, bool visibleBefore = false) {
        writeSettings("[CONFIG]\n" + configLines);
        DisplaySettings settings;
        visible = visibleBefore;
        config::loadSettings(config::kSettingsPath, pages, settings, visible, &report);
        return settings;
    }

    ValueSource source(ConfigKey key) const { return report.source[static_cast<int>(key)]; }

    config::PageTable pages;
    config::SettingsReport report{};
    bool visible = false;
};

constexpr float kScale = 0.003921569f;

// Every field of DisplaySettings, in order. Fails to compile when a field is added or removed:
// give a new field its key in the table (config_keys.cpp), then its name here.
auto fields(const DisplaySettings& s) {
    const auto& [posX, posY, stepY, fontSize, fontFace, red, green, blue, displayOnStart, autoReload, anchor,
                 textShadow, shadowColour, boxAlpha, boxColour, boxPadding, units, anchorInFile, dateFormat,
                 timeFormat, fontSmooth, fontScale, fontFallback] = s;
    return std::tie(posX, posY, stepY, fontSize, fontFace, red, green, blue, displayOnStart, autoReload, anchor,
                    textShadow, shadowColour, boxAlpha, boxColour, boxPadding, units, anchorInFile, dateFormat,
                    timeFormat, fontSmooth, fontScale, fontFallback);
}

template <typename T>
bool changed(const T& a, const T& b) { return a != b; }
bool changed(const char (&a)[config::kTextBufferSize], const char (&b)[config::kTextBufferSize]) {
    return std::strcmp(a, b) != 0;
}
bool changed(const float (&a)[3], const float (&b)[3]) { return a[0] != b[0] && a[1] != b[1] && a[2] != b[2]; }

void expectChanged(bool fieldChanged, std::size_t index) { EXPECT_TRUE(fieldChanged) << "field " << index; }

template <typename Fields, std::size_t... Index>
void expectEveryFieldChanged(const Fields& loaded, const Fields& defaults, std::index_sequence<Index...>) {
    (expectChanged(changed(std::get<Index>(loaded), std::get<Index>(defaults)), Index), ...);
}

// The table and the struct agree: a file that sets every key of the table to a valid value other
// than its default changes every field.
TEST_F(DisplaySettingsTest, EveryKeySetsAFieldAndEveryFieldHasAKey) {
    std::string lines;
    for (const config::KeyEntry& entry : config::kConfigKeys) {
        std::string value;
        switch (entry.kind) {
            case config::KeyKind::Integer:
                value = std::to_string(entry.range.min != entry.range.fallback ? entry.range.min : entry.range.max);
                break;
            case config::KeyKind::Switch: value = "1"; break;
            case config::KeyKind::Word: value = entry.words[entry.range.fallback == 0 ? 1 : 0]; break;
            case config::KeyKind::Text: value = std::string("not ") + entry.textDefault; break;
        }
        lines += std::string(entry.name) + "=" + value + "\n";
    }
    const DisplaySettings loaded = loadConfig(lines);
    for (const config::KeyEntry& entry : config::kConfigKeys) {
        EXPECT_EQ(source(entry.key), ValueSource::File) << entry.name;
    }
    const DisplaySettings defaults;
    expectEveryFieldChanged(fields(loaded), fields(defaults),
                            std::make_index_sequence<std::tuple_size_v<decltype(fields(loaded))>>());
}

TEST_F(DisplaySettingsTest, MissingFileGivesEveryDefaultAndKeepsVisibility) {
    DisplaySettings settings;
    bool shown = true;
    config::loadSettings(config::kSettingsPath, pages, settings, shown, &report);
    EXPECT_EQ(settings.posX, 450.0f);
    EXPECT_EQ(settings.posY, 65.0f);
    EXPECT_EQ(settings.stepY, 15.0f);
    EXPECT_EQ(settings.fontSize, 18);
    EXPECT_STREQ(settings.fontFace, "Arial");
    EXPECT_EQ(settings.red, 64 * kScale);
    EXPECT_EQ(settings.green, 64 * kScale);
    EXPECT_EQ(settings.blue, 64 * kScale);
    EXPECT_TRUE(shown);
    EXPECT_EQ(pages.pageCount(), 0);
    for (int key = 0; key < config::kConfigKeyCount; ++key) EXPECT_EQ(report.source[key], ValueSource::NotFound);
}

TEST_F(DisplaySettingsTest, PositionBoundsExcludeZeroAndIncludeTheEdge) {
    struct Case {
        const char* text;
        float expected;
        ValueSource source;
    } cases[] = {{"0", 450, ValueSource::OutOfRange},  {"-5", 450, ValueSource::OutOfRange},
                 {"1", 1, ValueSource::File},           {"640", 640, ValueSource::File},
                 {"641", 450, ValueSource::OutOfRange}, {"12.9", 12, ValueSource::File},
                 {"", 450, ValueSource::NotFound}};
    for (const Case& c : cases) {
        const DisplaySettings settings = loadConfig(std::string("HUD_POS_X=") + c.text + "\n");
        EXPECT_EQ(settings.posX, c.expected) << c.text;
        EXPECT_EQ(source(ConfigKey::PosX), c.source) << c.text;
    }
    EXPECT_EQ(loadConfig("HUD_POS_Y=480\n").posY, 480.0f);
    EXPECT_EQ(loadConfig("HUD_POS_Y=481\n").posY, 65.0f);
    EXPECT_EQ(loadConfig("HUD_STEP_Y=480\n").stepY, 480.0f);
    EXPECT_EQ(loadConfig("HUD_STEP_Y=0\n").stepY, 15.0f);
}

TEST_F(DisplaySettingsTest, FontSizeRange) {
    EXPECT_EQ(loadConfig("FONT_SIZE=64\n").fontSize, 64);
    EXPECT_EQ(loadConfig("FONT_SIZE=65\n").fontSize, 18);
    EXPECT_EQ(loadConfig("FONT_SIZE=1\n").fontSize, 1);
    EXPECT_EQ(loadConfig("FONT_SIZE=0\n").fontSize, 18);
}

TEST_F(DisplaySettingsTest, ColoursAcceptZeroToTwoFiftyFive) {
    const DisplaySettings settings = loadConfig("COLOR_RED=255\nCOLOR_GREEN=256\nCOLOR_BLUE=0\n");
    EXPECT_EQ(settings.red, 1.0f);
    EXPECT_EQ(settings.green, 64 * kScale);
    EXPECT_EQ(settings.blue, 0.0f);
    EXPECT_EQ(source(ConfigKey::Red), ValueSource::File);
    EXPECT_EQ(source(ConfigKey::Green), ValueSource::OutOfRange);
    EXPECT_EQ(source(ConfigKey::Blue), ValueSource::File);
    EXPECT_EQ(loadConfig("COLOR_RED=-1\n").red, 64 * kScale);
}

TEST_F(DisplaySettingsTest, FontFaceFallsBackToArialAndIsCutTo259) {
    EXPECT_STREQ(loadConfig("FONT_FACE=\n").fontFace, "Arial");
    EXPECT_STREQ(loadConfig("FONT_FACE=Liberation Serif\n").fontFace, "Liberation Serif");
    EXPECT_EQ(source(ConfigKey::FontFace), ValueSource::File);
    const DisplaySettings longFace = loadConfig("FONT_FACE=" + std::string(400, 'F') + "\n");
    EXPECT_EQ(std::string(longFace.fontFace), std::string(259, 'F'));
}

TEST_F(DisplaySettingsTest, DisplayOnStartOnlyEverShows) {
    loadConfig("DISPLAY_ONSTART=1\n");
    EXPECT_TRUE(visible);
    loadConfig("DISPLAY_ONSTART=0\n");
    EXPECT_FALSE(visible);
    loadConfig("DISPLAY_ONSTART=0\n", /*visibleBefore=*/true);
    EXPECT_TRUE(visible);
    loadConfig("DISPLAY_ONSTART=-3\n", /*visibleBefore=*/true);
    EXPECT_TRUE(visible);
    loadConfig("DISPLAY_ONSTART=7\n");
    EXPECT_TRUE(visible);
}

TEST_F(DisplaySettingsTest, LegibilityKeysAreOffByDefaultAndKeepTheirRanges) {
    DisplaySettings settings = loadConfig("");
    EXPECT_EQ(settings.textShadow, config::TextShadow::None);
    EXPECT_EQ(settings.boxAlpha, 0);
    EXPECT_EQ(settings.boxPadding, 4);
    EXPECT_EQ(settings.anchor, config::Anchor::BottomLeft);
    EXPECT_FALSE(settings.autoReload);
    EXPECT_FALSE(settings.fontSmooth);

    settings = loadConfig("TEXT_SHADOW=2\nSHADOW_COLOR_GREEN=255\nBOX_ALPHA=255\nBOX_COLOR_RED=0\nBOX_PADDING=64\n"
                          "AUTO_RELOAD=3\nFONT_SMOOTH=1\n");
    EXPECT_TRUE(settings.fontSmooth);
    EXPECT_EQ(settings.textShadow, config::TextShadow::Outline);
    EXPECT_EQ(settings.shadowColour[1], 1.0f);
    EXPECT_EQ(settings.boxAlpha, 255);
    EXPECT_EQ(settings.boxPadding, 64);
    EXPECT_TRUE(settings.autoReload);
    settings = loadConfig("TEXT_SHADOW=3\nBOX_ALPHA=256\nBOX_PADDING=65\nSHADOW_COLOR_RED=-1\nAUTO_RELOAD=-1\n"
                          "FONT_SMOOTH=2\n");
    EXPECT_FALSE(settings.fontSmooth);
    EXPECT_EQ(source(ConfigKey::FontSmooth), ValueSource::OutOfRange);
    EXPECT_EQ(settings.textShadow, config::TextShadow::None);
    EXPECT_EQ(settings.boxAlpha, 0);
    EXPECT_EQ(settings.boxPadding, 4);
    EXPECT_EQ(source(ConfigKey::ShadowRed), ValueSource::OutOfRange);
    EXPECT_FALSE(settings.autoReload);
}

TEST_F(DisplaySettingsTest, AnchorsInAnyCaseAndTheirPositionRanges) {
    const struct {
        const char* text;
        config::Anchor anchor;
    } anchors[] = {{"top_left", config::Anchor::TopLeft}, {"TOP_RIGHT", config::Anchor::TopRight},
                   {"Bottom_Right", config::Anchor::BottomRight}, {"BOTTOM_LEFT", config::Anchor::BottomLeft},
                   {"TOP", config::Anchor::BottomLeft}, {"TOP_LEFT ", config::Anchor::TopLeft}};
    for (const auto& a : anchors) {
        EXPECT_EQ(loadConfig(std::string("HUD_ANCHOR=") + a.text + "\n").anchor, a.anchor) << a.text;
    }
    EXPECT_EQ(source(ConfigKey::Anchor), ValueSource::File);
    loadConfig("HUD_ANCHOR=middle\n");
    EXPECT_EQ(source(ConfigKey::Anchor), ValueSource::OutOfRange);
    EXPECT_STREQ(report.fileText[static_cast<int>(ConfigKey::Anchor)], "middle");

    // Without HUD_ANCHOR the ranges and defaults are the first version's; a corner the file
    // names, BOTTOM_LEFT too, takes 0 and defaults to 10.
    DisplaySettings settings = loadConfig("HUD_POS_X=0\nHUD_POS_Y=0\n");
    EXPECT_EQ(settings.posX, 450.0f);
    EXPECT_EQ(settings.posY, 65.0f);
    settings = loadConfig("HUD_ANCHOR=bottom_left\nHUD_POS_X=0\nHUD_POS_Y=0\n");
    EXPECT_EQ(settings.posX, 0.0f);
    EXPECT_EQ(settings.posY, 0.0f);
    settings = loadConfig("HUD_ANCHOR=BOTTOM_LEFT\n");
    EXPECT_EQ(settings.posX, 10.0f);
    EXPECT_EQ(settings.posY, 10.0f);
    settings = loadConfig("HUD_ANCHOR=middle\nHUD_POS_X=0\n");
    EXPECT_EQ(settings.posX, 450.0f);
    settings = loadConfig("HUD_ANCHOR=TOP_RIGHT\nHUD_POS_X=0\nHUD_POS_Y=480\n");
    EXPECT_EQ(settings.posX, 0.0f);
    EXPECT_EQ(settings.posY, 480.0f);
    settings = loadConfig("HUD_ANCHOR=TOP_LEFT\nHUD_POS_X=641\n");
    EXPECT_EQ(settings.posX, 10.0f);
    EXPECT_EQ(settings.posY, 10.0f);
}

// A file with a byte-order mark gives its text whole, as UTF-8, in each of its encodings: rows,
// FONT_FACE and the formats alike, characters beyond U+FFFF among them.
TEST_F(DisplaySettingsTest, TextOfEveryMarkedEncodingArrivesWholeInUtf8) {
    const std::u16string text = u"[CONFIG]\nFONT_FACE=\u6E38\u30B4\u30B7\u30C3\u30AF\nDATE_FORMAT=%Y\u5E74\n"
                                u"[SECTION1]\nROWDATA1=\u041A\u0430\u043C\u0435\u0440\u0430 \U0001F600 \u00E9\n";
    const struct {
        std::string mark;
        bool bigEndian;
        platform::TextSource source;
    } files[] = {{"\xFF\xFE", false, platform::TextSource::Utf16File},
                 {"\xFE\xFF", true, platform::TextSource::Utf16File},
                 {"\xEF\xBB\xBF", false, platform::TextSource::Utf8File}};
    for (const auto& kind : files) {
        std::string file = kind.mark;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i];
            if (kind.source == platform::TextSource::Utf16File) {
                file += static_cast<char>(kind.bigEndian ? unit >> 8 : unit & 0xFF);
                file += static_cast<char>(kind.bigEndian ? unit & 0xFF : unit >> 8);
            } else if (unit < 0x80) {
                file += static_cast<char>(unit);
            } else if (unit >= 0xD800 && unit <= 0xDFFF) {
                file += "\xF0\x9F\x98\x80";  // the one pair in the text
                ++i;
            } else if (unit < 0x800) {
                file += static_cast<char>(0xC0 | (unit >> 6));
                file += static_cast<char>(0x80 | (unit & 0x3F));
            } else {
                file += static_cast<char>(0xE0 | (unit >> 12));
                file += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
                file += static_cast<char>(0x80 | (unit & 0x3F));
            }
        }
        writeSettings(file);
        DisplaySettings settings;
        config::loadSettings(config::kSettingsPath, pages, settings, visible, &report);
        ASSERT_EQ(pages.pageCount(), 1);
        EXPECT_STREQ(pages.rowText(0, 0), "\xD0\x9A\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x80\xD0\xB0 \xF0\x9F\x98\x80 \xC3\xA9");
        EXPECT_EQ(pages.rowRead(0, 0).source, kind.source);
        EXPECT_STREQ(settings.fontFace, "\xE6\xB8\xB8\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
        EXPECT_STREQ(settings.dateFormat, "%Y\xE5\xB9\xB4");
        EXPECT_EQ(report.textRead[static_cast<int>(ConfigKey::FontFace)].source, kind.source);
    }
}

TEST_F(DisplaySettingsTest, ReloadResetsPagesBeforeReading) {
    writeSettings("[SECTION1]\nROWDATA1=a\nROWDATA2=b\n");
    DisplaySettings settings;
    config::loadSettings(config::kSettingsPath, pages, settings, visible, nullptr);
    ASSERT_EQ(pages.pageCount(), 1);
    writeSettings("[SECTION1]\nROWDATA1=BLANK\n");
    config::loadSettings(config::kSettingsPath, pages, settings, visible, nullptr);
    ASSERT_EQ(pages.selectPage(0), 1);
    EXPECT_EQ(pages.rowCount(), 1);
    EXPECT_STREQ(pages.rowText(0, 0), "");  // the old "a" does not survive under a BLANK row
}

}  // namespace

namespace {

TEST_F(DisplaySettingsTest, HostileFilesGiveDefaultsOrTheirValidValues) {
    // A directory where the file should be.
    removeSettings();
    std::filesystem::create_directory(settingsFile());
    DisplaySettings settings;
    bool shown = false;
    config::loadSettings(config::kSettingsPath, pages, settings, shown, &report);
    EXPECT_EQ(pages.pageCount(), 0);
    EXPECT_EQ(settings.posX, 450.0f);
    std::filesystem::remove(settingsFile());

    // Five megabytes of junk lines and a 100 000-character line before valid settings.
    std::string big = "[CONFIG]\nJUNK=" + std::string(100000, 'j') + "\n";
    for (int i = 0; big.size() < 5u * 1024 * 1024; ++i) big += "K" + std::to_string(i) + "=\x01\x7f\xff binary \x1a\n";
    big += "HUD_POS_X=123\n[SECTION1]\nROWDATA1=" + std::string(100000, 'r') + "\nROWDATA2=second\n";
    const DisplaySettings fromBig = loadConfig(big.substr(9));  // loadConfig adds the [CONFIG] line
    EXPECT_EQ(fromBig.posX, 123.0f);
    ASSERT_EQ(pages.pageCount(), 1);
    EXPECT_EQ(std::string(pages.rowText(0, 0)), std::string(259, 'r'));
    EXPECT_STREQ(pages.rowText(0, 1), "second");

    // Pure binary data.
    std::string binary;
    for (int i = 0; i < 65536; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
    writeSettings(binary);
    config::loadSettings(config::kSettingsPath, pages, settings, shown, &report);
    EXPECT_STREQ(settings.fontFace, "Arial");
    EXPECT_EQ(settings.fontSize, 18);
}

}  // namespace
