// The CONFIG section of the settings file: where the overlay's lines go, their font and colour,
// and whether the overlay starts visible; and loadSettings, which (re)reads the whole file.
#pragma once

#include <cstdint>

#include "config/page_table.h"
#include "config/settings_location.h"

namespace config {

constexpr char kConfigSection[] = "CONFIG";
constexpr char kPageSectionPrefix[] = "SECTION";
constexpr char kRowKeyPrefix[] = "ROWDATA";

// What a missing, empty or out-of-range CONFIG value gives.
constexpr std::int32_t kDefaultPosX = 450;
constexpr std::int32_t kDefaultPosY = 65;
constexpr std::int32_t kDefaultStepY = 15;
constexpr std::int32_t kDefaultFontSize = 18;
constexpr std::int32_t kDefaultColour = 64;  // each of red, green and blue
constexpr char kDefaultFontFace[] = "Arial";

// 0-255 colour values to GL's 0.0-1.0: 1/255 in single precision, so that 255 gives exactly 1.0.
constexpr float kColourScale = 0.003921569f;

struct DisplaySettings {
    float posX = kDefaultPosX;    // first line's raster x, in the 640x480 overlay space
    float posY = kDefaultPosY;    // first line's raster y (y grows upwards)
    float stepY = kDefaultStepY;  // distance between lines, downwards
    std::int32_t fontSize = kDefaultFontSize;  // character height in pixels
    char fontFace[kTextFieldSize] = {};
    float red = kDefaultColour * kColourScale;  // colour components, 0.0-1.0
    float green = kDefaultColour * kColourScale;
    float blue = kDefaultColour * kColourScale;
    bool autoReload = false;  // reread the file when it is saved again

    DisplaySettings();
};

// The CONFIG keys in the order they are read.
enum class ConfigKey { PosX, PosY, StepY, FontSize, Red, Green, Blue, FontFace, DisplayOnStart, AutoReload, Count };
constexpr int kConfigKeyCount = static_cast<int>(ConfigKey::Count);

const char* configKeyName(ConfigKey key);

// An integer CONFIG key's valid values, min to max inclusive, and what anything else gives. The
// positions and sizes must be above 0.1, which for whole numbers means at least 1.
struct IntegerRule {
    ConfigKey key;
    std::int32_t min;
    std::int32_t max;
    std::int32_t fallback;
};

// The rule of an integer key with a range; null for FONT_FACE, and for DISPLAY_ONSTART and
// AUTO_RELOAD, which are on when above 0.
const IntegerRule* integerRule(ConfigKey key);

// Where an effective CONFIG value came from.
enum class ValueSource {
    File,        // read from the file and in range
    NotFound,    // missing or empty in the file: the default applies
    OutOfRange,  // read, but outside its range: the default applies
};

// What loadSettings did with each CONFIG key, for tools that explain a settings file.
struct SettingsReport {
    ValueSource source[kConfigKeyCount];
    std::int32_t fileValue[kConfigKeyCount];  // the integer read (0 when not found)
    std::int32_t value[kConfigKeyCount];      // the integer in force (0 for FONT_FACE)
    bool fontFaceConvertedFromUtf8;
};

// Reads the whole settings file at `path`: resets and reloads the pages, then the CONFIG values,
// each replaced by its default when missing, empty or out of range. DISPLAY_ONSTART > 0 sets
// `visible`; anything else leaves it as it was. A FONT_FACE in UTF-8 is converted like the rows.
// `report` may be null.
void loadSettings(const char* path, PageTable& pages, DisplaySettings& settings, bool& visible,
                  SettingsReport* report);

}  // namespace config
