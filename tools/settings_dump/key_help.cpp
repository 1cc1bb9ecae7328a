#include "key_help.h"

namespace keys {

namespace {

struct KeyHelp {
    config::ConfigKey key;
    const char* text;
};

// Keys that share their words are listed together in the READMEs.
constexpr char kTextColour[] = "text colour";
constexpr char kShadowColour[] = "colour of the shadow and the outline";
constexpr char kBoxColour[] = "colour of the box";

using config::ConfigKey;

constexpr KeyHelp kHelp[config::kConfigKeyCount] = {
    {ConfigKey::PosX, "x of the lines, in a 640 x 480 screen stretched over the viewport (or in pixels, see "
                      "`HUD_UNITS`): where each line starts or, with `HUD_ANCHOR` at the right, where it ends, from "
                      "the right edge"},
    {ConfigKey::PosY, "y of the first line: its baseline up from the bottom or, with `HUD_ANCHOR` at the top, its "
                      "top down from the top edge; with `HUD_ANCHOR` at the bottom, the last line's descent up from "
                      "the bottom edge"},
    {ConfigKey::StepY, "distance between lines, downwards"},
    {ConfigKey::FontSize, "character height in pixels"},
    {ConfigKey::Red, kTextColour},
    {ConfigKey::Green, kTextColour},
    {ConfigKey::Blue, kTextColour},
    {ConfigKey::FontFace, "font name"},
    {ConfigKey::DisplayOnStart,
     "above 0: show the text when the host starts and at every reload; 0 or less leaves it as it is"},
    {ConfigKey::AutoReload, "above 0: read the file again within a second of every save, as Reload INI does but "
                            "with `*ELAPSED*` running on"},
    {ConfigKey::Anchor, "the corner `HUD_POS_X` and `HUD_POS_Y` measure from"},
    {ConfigKey::TextShadow, "0 none, 1 a drop shadow 1 pixel right and down, 2 an outline 1 pixel all round (with "
                            "`FONT_SCALE`, as many pixels as the font is times larger, rounded): text "
                            "that reads on light and dark backgrounds alike"},
    {ConfigKey::ShadowRed, kShadowColour},
    {ConfigKey::ShadowGreen, kShadowColour},
    {ConfigKey::ShadowBlue, kShadowColour},
    {ConfigKey::BoxAlpha, "opacity of a box behind the text; 0: no box"},
    {ConfigKey::BoxRed, kBoxColour},
    {ConfigKey::BoxGreen, kBoxColour},
    {ConfigKey::BoxBlue, kBoxColour},
    {ConfigKey::BoxPadding, "window pixels between the text and the box's edges (see `FONT_SCALE`)"},
    {ConfigKey::Units, "what `HUD_POS_X`, `HUD_POS_Y` and `HUD_STEP_Y` count: `SCREEN`, the 640 x 480 screen "
                       "stretched over the viewport, or `PIXELS`, window pixels from the anchored corner of the "
                       "viewport, the same in every view"},
    {ConfigKey::DateFormat, "the text of `*CUR_DATE*`: `%Y` year, `%y` its last two digits, `%m` month, `%d` day, "
                            "`%H` hour 00-23, `%I` hour 01-12, `%p` AM or PM, `%M` minute, `%S` second, `%%` a `%`; "
                            "other characters as written; at most 31 characters"},
    {ConfigKey::TimeFormat, "the text of `*CUR_TIME*`, made of the fields of `DATE_FORMAT` and other characters as "
                            "written; at most 31 characters"},
    {ConfigKey::FontSmooth, "1: antialiased text, its edges blended into the picture, with the shadow, outline and "
                            "box as usual; 0: crisp 1-bit text. Where the graphics cannot hold the font's glyph "
                            "texture the text stays 1-bit, and settings_dump says so"},
    {ConfigKey::FontScale, "what the font's pixel size follows: `NONE`, `FONT_SIZE` alone; `VIEW`, the viewport: "
                           "`FONT_SIZE` times its height over 480, so that `SCREEN` layouts look alike in every view; "
                           "`DPI`, the screen: `FONT_SIZE` times its DPI over 96, and in `PIXELS` the positions, step "
                           "and box padding too. From 6 to 256 pixels; the shadow's offset and the outline's width "
                           "grow as much, and with `VIEW` in `SCREEN` units the box padding"},
    {ConfigKey::FontFallback, "fonts for the characters `FONT_FACE` lacks, separated by commas, tried in order before "
                              "the system's own choice; drawn at `FONT_SIZE` on the same baseline"},
};

constexpr bool everyKeyInOrder() {
    for (int index = 0; index < config::kConfigKeyCount; ++index) {
        if (static_cast<int>(kHelp[index].key) != index || kHelp[index].text == nullptr) return false;
    }
    return true;
}
static_assert(everyKeyInOrder(), "words for every ConfigKey, in the table's order");

}  // namespace

const char* keyHelp(config::ConfigKey key) { return kHelp[static_cast<int>(key)].text; }

}  // namespace keys
