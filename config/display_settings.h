// The CONFIG section of the settings file: where the overlay's lines go, their font and colour,
// and whether the overlay starts visible; and loadSettings, which (re)reads the whole file. The
// keys, their ranges and defaults are the table of config_keys.h.
#pragma once

#include <cstdint>

#include "config/config_keys.h"
#include "config/page_table.h"
#include "config/settings_location.h"
#include "config/settings_reader.h"

namespace config {

constexpr char kConfigSection[] = "CONFIG";
constexpr char kPageSectionPrefix[] = "SECTION";
constexpr char kRowKeyPrefix[] = "ROWDATA";

// The formats of *CUR_DATE* and *CUR_TIME* when the file gives none.
constexpr char kDefaultDateFormat[] = "%Y-%m-%d";
constexpr char kDefaultTimeFormat[] = "%H:%M:%S";

// The screen SCREEN units count in: 640 x 480, stretched over whatever viewport the host has set,
// origin at the bottom left, y upwards.
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// 0-255 colour values to GL's 0.0-1.0: 1/255 in single precision, so that 255 gives exactly 1.0.
constexpr float kColourScale = 0.003921569f;

// Which corner of the 640x480 space HUD_POS_X and HUD_POS_Y measure from.
enum class Anchor { BottomLeft, TopLeft, TopRight, BottomRight };
constexpr bool anchoredAtTop(Anchor anchor) { return anchor == Anchor::TopLeft || anchor == Anchor::TopRight; }
constexpr bool anchoredAtRight(Anchor anchor) { return anchor == Anchor::TopRight || anchor == Anchor::BottomRight; }
// The anchor's name as HUD_ANCHOR takes it.
const char* anchorName(Anchor anchor);

enum class TextShadow { None = 0, Drop = 1, Outline = 2 };

// What HUD_POS_X, HUD_POS_Y and HUD_STEP_Y count in: the 640x480 screen stretched over the
// viewport, or window pixels from the anchored corner of the viewport.
enum class Units { Screen, Pixels };

// What the font's pixel size follows: FONT_SIZE alone, the viewport's height (FONT_SIZE at a
// 480-pixel view), or the display's DPI (FONT_SIZE at 96 DPI).
enum class FontScale { None, View, Dpi };

// What the CONFIG keys set. The constructor gives each field its key's default from the table.
struct DisplaySettings {
    float posX = 0;          // the first line's x, in the 640x480 overlay space, from the anchor's side
    float posY = 0;          // the first line's y: its baseline up from the bottom, or its top down
                             // from the top edge
    float stepY = 0;         // distance between lines, downwards; 0 in pixels: the font's line height
    std::int32_t fontSize = 0;  // character height in pixels
    char fontFace[kTextBufferSize] = {};  // UTF-8, as are the formats
    float red = 0;           // colour components, 0.0-1.0
    float green = 0;
    float blue = 0;
    bool displayOnStart = false;  // show the overlay when the file is loaded; never hides it
    bool autoReload = false;      // reread the file when it is saved again
    Anchor anchor = Anchor::BottomLeft;
    TextShadow textShadow = TextShadow::None;
    float shadowColour[3] = {};  // of the drop shadow and the outline
    std::int32_t boxAlpha = 0;   // 0-255; 0: no box behind the text
    float boxColour[3] = {};
    std::int32_t boxPadding = 0;  // window pixels between the text and the box's edges
    Units units = Units::Screen;
    bool anchorInFile = false;    // HUD_ANCHOR names a corner: a bottom corner then holds the block
    char dateFormat[kTextBufferSize] = {};  // of *CUR_DATE* and *CUR_TIME*
    char timeFormat[kTextBufferSize] = {};
    bool fontSmooth = false;  // antialiased glyphs (where the graphics can make a glyph texture)
    FontScale fontScale = FontScale::None;
    char fontFallback[kTextBufferSize] = {};  // faces for the characters FONT_FACE lacks, by commas

    DisplaySettings();
};

// Where an effective CONFIG value came from.
enum class ValueSource {
    File,        // read from the file and valid
    NotFound,    // missing or empty in the file: the default applies
    OutOfRange,  // read, but not valid: the default applies
};

// What loadSettings did with each CONFIG key, for tools that explain a settings file; indexed by
// ConfigKey.
struct SettingsReport {
    ValueSource source[kConfigKeyCount];
    std::int32_t fileValue[kConfigKeyCount];  // Integer and Switch keys: the number read (0 when not found)
    std::int32_t value[kConfigKeyCount];      // the number in force: a Switch's 0 or 1, a Word's index; 0 for Text
    platform::TextRead textRead[kConfigKeyCount];  // Text keys: how the text was read
    char fileText[kConfigKeyCount][kTextFieldSize];  // Word keys: the value as the file holds it
};

// Reads the whole settings file at `path`: resets and reloads the pages, then the CONFIG values,
// each replaced by its default when missing, empty or not valid; Word keys come first, as other
// keys' ranges may depend on them. DISPLAY_ONSTART > 0 sets `visible`; anything else leaves it as
// it was. `report` may be null.
void loadSettings(const char* path, PageTable& pages, DisplaySettings& settings, bool& visible,
                  SettingsReport* report);

}  // namespace config
