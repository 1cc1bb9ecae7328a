// The CONFIG section of the settings file: where the overlay's lines go, their font and colour,
// and whether the overlay starts visible; and loadSettings, which (re)reads the whole file.
#pragma once

#include <cstdint>

#include "config/page_table.h"

namespace config {

// Relative to the host's current directory.
constexpr char kSettingsPath[] = "Plugins\\Startup Plugins\\Ostrivane.ini";
constexpr char kConfigSection[] = "CONFIG";
constexpr char kPageSectionPrefix[] = "SECTION";
constexpr char kRowKeyPrefix[] = "ROWDATA";
constexpr char kDefaultFontFace[] = "Arial";

struct DisplaySettings {
    float posX = 450.0f;   // first line's raster x, in the 640x480 overlay space
    float posY = 65.0f;    // first line's raster y (y grows upwards)
    float stepY = 15.0f;   // distance between lines, downwards
    std::int32_t fontSize = 18;  // character height in pixels
    char fontFace[kTextFieldSize] = "Arial";
    float red = 64 * 0.003921569f;  // colour components, 0.0-1.0
    float green = 64 * 0.003921569f;
    float blue = 64 * 0.003921569f;
};

// The CONFIG keys in the order they are read.
enum class ConfigKey { PosX, PosY, StepY, FontSize, Red, Green, Blue, FontFace, DisplayOnStart, Count };
constexpr int kConfigKeyCount = static_cast<int>(ConfigKey::Count);

const char* configKeyName(ConfigKey key);

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
};

// Reads the whole settings file at `path`: resets and reloads the pages, then the CONFIG values,
// each replaced by its default when missing, empty or out of range. DISPLAY_ONSTART > 0 sets *visible;
// anything else leaves it as it was. `report` may be null.
void loadSettings(const char* path, PageTable& pages, DisplaySettings& settings, bool& visible,
                  SettingsReport* report);

}  // namespace config
