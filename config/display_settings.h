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
constexpr std::int32_t kDefaultCornerOffset = 10;  // HUD_POS_X and HUD_POS_Y with another anchor
constexpr std::int32_t kDefaultStepY = 15;
constexpr std::int32_t kDefaultFontSize = 18;
constexpr std::int32_t kDefaultColour = 64;  // each of red, green and blue
constexpr char kDefaultFontFace[] = "Arial";
constexpr std::int32_t kDefaultBoxPadding = 4;

// 0-255 colour values to GL's 0.0-1.0: 1/255 in single precision, so that 255 gives exactly 1.0.
constexpr float kColourScale = 0.003921569f;

// Which corner of the 640x480 space HUD_POS_X and HUD_POS_Y measure from.
enum class Anchor { BottomLeft, TopLeft, TopRight, BottomRight };
constexpr bool anchoredAtTop(Anchor anchor) { return anchor == Anchor::TopLeft || anchor == Anchor::TopRight; }
constexpr bool anchoredAtRight(Anchor anchor) { return anchor == Anchor::TopRight || anchor == Anchor::BottomRight; }
// The anchor's name as HUD_ANCHOR takes it.
const char* anchorName(Anchor anchor);

enum class TextShadow { None = 0, Drop = 1, Outline = 2 };

struct DisplaySettings {
    float posX = kDefaultPosX;    // the first line's x, in the 640x480 overlay space, from the anchor's side
    float posY = kDefaultPosY;    // the first line's y: its baseline up from the bottom, or its top
                                  // down from the top edge
    float stepY = kDefaultStepY;  // distance between lines, downwards
    std::int32_t fontSize = kDefaultFontSize;  // character height in pixels
    char fontFace[kTextFieldSize] = {};
    float red = kDefaultColour * kColourScale;  // colour components, 0.0-1.0
    float green = kDefaultColour * kColourScale;
    float blue = kDefaultColour * kColourScale;
    bool autoReload = false;  // reread the file when it is saved again
    Anchor anchor = Anchor::BottomLeft;
    TextShadow textShadow = TextShadow::None;
    float shadowColour[3] = {0.0f, 0.0f, 0.0f};  // of the drop shadow and the outline
    std::int32_t boxAlpha = 0;                   // 0-255; 0: no box behind the text
    float boxColour[3] = {0.0f, 0.0f, 0.0f};
    std::int32_t boxPadding = kDefaultBoxPadding;  // window pixels between the text and the box's edges
    bool fontSmooth = false;  // antialiased glyphs (where the graphics can make a glyph texture)

    DisplaySettings();
};

// The CONFIG keys, in the order settings_dump lists them.
enum class ConfigKey {
    PosX, PosY, StepY, FontSize, Red, Green, Blue, FontFace, DisplayOnStart, AutoReload,
    Anchor, TextShadow, ShadowRed, ShadowGreen, ShadowBlue, BoxAlpha, BoxRed, BoxGreen, BoxBlue, BoxPadding,
    FontSmooth, Count
};
constexpr int kConfigKeyCount = static_cast<int>(ConfigKey::Count);

const char* configKeyName(ConfigKey key);

// An integer CONFIG key's valid values, min to max inclusive, and what anything else gives. The
// positions and sizes must be above 0.1, which for whole numbers means at least 1; with an anchor
// other than BOTTOM_LEFT the positions may be 0 too.
struct IntegerRule {
    ConfigKey key;
    std::int32_t min;
    std::int32_t max;
    std::int32_t fallback;
};

// The rule of an integer key with a range, under `anchor` for the positions; null for FONT_FACE
// and HUD_ANCHOR, and for DISPLAY_ONSTART and AUTO_RELOAD, which are on when above 0.
const IntegerRule* integerRule(ConfigKey key, Anchor anchor = Anchor::BottomLeft);

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
    std::int32_t value[kConfigKeyCount];      // the integer in force (0 for FONT_FACE; the Anchor)
    bool fontFaceConvertedFromUtf8;
    char anchorText[kTextFieldSize];          // HUD_ANCHOR as the file holds it
};

// Reads the whole settings file at `path`: resets and reloads the pages, then the CONFIG values,
// each replaced by its default when missing, empty or out of range. DISPLAY_ONSTART > 0 sets
// `visible`; anything else leaves it as it was. A FONT_FACE in UTF-8 is converted like the rows.
// `report` may be null.
void loadSettings(const char* path, PageTable& pages, DisplaySettings& settings, bool& visible,
                  SettingsReport* report);

}  // namespace config
