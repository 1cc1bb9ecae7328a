#include "config/config_keys.h"

#include "config/display_settings.h"

namespace config {

namespace {

// ---- Building entries ---------------------------------------------------------------------------

using Store = void (*)(DisplaySettings&, std::int32_t);

constexpr KeyEntry integerKey(ConfigKey key, const char* name, Range range, Store store) {
    return {key, name, KeyKind::Integer, range, nullptr, 0, nullptr, 0, nullptr, "", nullptr, store, nullptr};
}

template <int N>
constexpr KeyEntry withOtherRanges(KeyEntry entry, const Range (&ranges)[N]) {
    entry.otherRanges = ranges;
    entry.otherRangeCount = N;
    return entry;
}

template <int N>
constexpr KeyEntry withValueNames(KeyEntry entry, const char* const (&names)[N]) {
    entry.words = names;
    entry.wordCount = N;
    return entry;
}

constexpr KeyEntry withUnit(KeyEntry entry, const char* unit) {
    entry.unit = unit;
    return entry;
}

constexpr KeyEntry switchKey(ConfigKey key, const char* name, const char* const (&offAndOn)[2], Store store) {
    return {key, name, KeyKind::Switch, {0, 1, 0}, nullptr, 0, offAndOn, 2, nullptr, "", nullptr, store, nullptr};
}

template <int N>
constexpr KeyEntry wordKey(ConfigKey key, const char* name, const char* const (&words)[N], int fallback,
                          const char* wordsName, Store store) {
    return {key, name, KeyKind::Word, {0, N - 1, fallback}, nullptr, 0, words, N, wordsName, "", nullptr, store, nullptr};
}

constexpr KeyEntry textKey(ConfigKey key, const char* name, const char* fallback, TextField& (*field)(DisplaySettings&)) {
    return {key, name, KeyKind::Text, {0, 0, 0}, nullptr, 0, nullptr, 0, nullptr, "", fallback, nullptr, field};
}

constexpr float colourOf(std::int32_t v) { return static_cast<float>(v) * kColourScale; }

// A colour component, 0-255, shown as "/255".
constexpr KeyEntry colourKey(ConfigKey key, const char* name, std::int32_t fallback, Store store) {
    return withUnit(integerKey(key, name, {0, 255, fallback}, store), "/255");
}

// ---- Values -------------------------------------------------------------------------------------

constexpr const char* kAnchorWords[] = {"BOTTOM_LEFT", "TOP_LEFT", "TOP_RIGHT", "BOTTOM_RIGHT"};  // by Anchor
constexpr const char* kShadowNames[] = {"none", "drop shadow", "outline"};                       // by TextShadow
constexpr const char* kOffOn[] = {"off", "on"};
constexpr const char* kSmoothNames[] = {"off", "antialiased, or 1-bit where the graphics cannot make the glyph texture"};
constexpr const char* kHiddenShown[] = {"hidden on start", "shown on start"};

constexpr std::uint32_t wordBit(Anchor anchor) { return 1u << static_cast<int>(anchor); }
constexpr std::uint32_t kEveryCorner = wordBit(Anchor::BottomLeft) | wordBit(Anchor::TopLeft) |
                                       wordBit(Anchor::TopRight) | wordBit(Anchor::BottomRight);

constexpr const char* kUnitWords[] = {"SCREEN", "PIXELS"};  // by Units
constexpr const char* kFontScaleWords[] = {"NONE", "VIEW", "DPI"};  // by FontScale
constexpr std::uint32_t kPixels = 1u << static_cast<int>(Units::Pixels);

// In pixels, positions run from 0 to 4096, 10 by default, and the step's default (0) is the font's
// line height; from a corner the file names, 0 is a position too. A file without HUD_ANCHOR keeps
// the first version's ranges and defaults.
constexpr std::int32_t kMaxPixels = 4096;
constexpr Range kPosXRanges[] = {{0, kMaxPixels, 10, ConfigKey::Units, kPixels},
                                 {0, kScreenWidth, 10, ConfigKey::Anchor, kEveryCorner}};
constexpr Range kPosYRanges[] = {{0, kMaxPixels, 10, ConfigKey::Units, kPixels},
                                 {0, kScreenHeight, 10, ConfigKey::Anchor, kEveryCorner}};
constexpr Range kStepRanges[] = {{1, kMaxPixels, 0, ConfigKey::Units, kPixels, "the font's line height"}};

}  // namespace

// Positions and sizes must be above 0.1, which for whole numbers means at least 1.
constexpr KeyEntry kConfigKeys[kConfigKeyCount] = {
    withOtherRanges(integerKey(ConfigKey::PosX, "HUD_POS_X", {1, kScreenWidth, 450},
                               [](DisplaySettings& s, std::int32_t v) { s.posX = static_cast<float>(v); }),
                    kPosXRanges),
    withOtherRanges(integerKey(ConfigKey::PosY, "HUD_POS_Y", {1, kScreenHeight, 65},
                               [](DisplaySettings& s, std::int32_t v) { s.posY = static_cast<float>(v); }),
                    kPosYRanges),
    withOtherRanges(integerKey(ConfigKey::StepY, "HUD_STEP_Y", {1, kScreenHeight, 15},
                               [](DisplaySettings& s, std::int32_t v) { s.stepY = static_cast<float>(v); }),
                    kStepRanges),
    integerKey(ConfigKey::FontSize, "FONT_SIZE", {1, 64, 18}, [](DisplaySettings& s, std::int32_t v) { s.fontSize = v; }),
    colourKey(ConfigKey::Red, "COLOR_RED", 64, [](DisplaySettings& s, std::int32_t v) { s.red = colourOf(v); }),
    colourKey(ConfigKey::Green, "COLOR_GREEN", 64, [](DisplaySettings& s, std::int32_t v) { s.green = colourOf(v); }),
    colourKey(ConfigKey::Blue, "COLOR_BLUE", 64, [](DisplaySettings& s, std::int32_t v) { s.blue = colourOf(v); }),
    textKey(ConfigKey::FontFace, "FONT_FACE", "Arial", [](DisplaySettings& s) -> TextField& { return s.fontFace; }),
    switchKey(ConfigKey::DisplayOnStart, "DISPLAY_ONSTART", kHiddenShown,
              [](DisplaySettings& s, std::int32_t v) { s.displayOnStart = v != 0; }),
    switchKey(ConfigKey::AutoReload, "AUTO_RELOAD", kOffOn, [](DisplaySettings& s, std::int32_t v) { s.autoReload = v != 0; }),
    wordKey(ConfigKey::Anchor, "HUD_ANCHOR", kAnchorWords, static_cast<int>(Anchor::BottomLeft), "a corner",
            [](DisplaySettings& s, std::int32_t v) { s.anchor = static_cast<Anchor>(v); }),
    withValueNames(integerKey(ConfigKey::TextShadow, "TEXT_SHADOW", {0, 2, 0},
                              [](DisplaySettings& s, std::int32_t v) { s.textShadow = static_cast<TextShadow>(v); }),
                   kShadowNames),
    colourKey(ConfigKey::ShadowRed, "SHADOW_COLOR_RED", 0,
              [](DisplaySettings& s, std::int32_t v) { s.shadowColour[0] = colourOf(v); }),
    colourKey(ConfigKey::ShadowGreen, "SHADOW_COLOR_GREEN", 0,
              [](DisplaySettings& s, std::int32_t v) { s.shadowColour[1] = colourOf(v); }),
    colourKey(ConfigKey::ShadowBlue, "SHADOW_COLOR_BLUE", 0,
              [](DisplaySettings& s, std::int32_t v) { s.shadowColour[2] = colourOf(v); }),
    colourKey(ConfigKey::BoxAlpha, "BOX_ALPHA", 0, [](DisplaySettings& s, std::int32_t v) { s.boxAlpha = v; }),
    colourKey(ConfigKey::BoxRed, "BOX_COLOR_RED", 0, [](DisplaySettings& s, std::int32_t v) { s.boxColour[0] = colourOf(v); }),
    colourKey(ConfigKey::BoxGreen, "BOX_COLOR_GREEN", 0,
              [](DisplaySettings& s, std::int32_t v) { s.boxColour[1] = colourOf(v); }),
    colourKey(ConfigKey::BoxBlue, "BOX_COLOR_BLUE", 0,
              [](DisplaySettings& s, std::int32_t v) { s.boxColour[2] = colourOf(v); }),
    integerKey(ConfigKey::BoxPadding, "BOX_PADDING", {0, 64, 4}, [](DisplaySettings& s, std::int32_t v) { s.boxPadding = v; }),
    wordKey(ConfigKey::Units, "HUD_UNITS", kUnitWords, static_cast<int>(Units::Screen), "a unit",
            [](DisplaySettings& s, std::int32_t v) { s.units = static_cast<Units>(v); }),
    textKey(ConfigKey::DateFormat, "DATE_FORMAT", kDefaultDateFormat,
            [](DisplaySettings& s) -> TextField& { return s.dateFormat; }),
    textKey(ConfigKey::TimeFormat, "TIME_FORMAT", kDefaultTimeFormat,
            [](DisplaySettings& s) -> TextField& { return s.timeFormat; }),
    withValueNames(integerKey(ConfigKey::FontSmooth, "FONT_SMOOTH", {0, 1, 0},
                              [](DisplaySettings& s, std::int32_t v) { s.fontSmooth = v == 1; }),
                   kSmoothNames),
    wordKey(ConfigKey::FontScale, "FONT_SCALE", kFontScaleWords, static_cast<int>(FontScale::None), "a scale",
            [](DisplaySettings& s, std::int32_t v) { s.fontScale = static_cast<FontScale>(v); }),
    textKey(ConfigKey::FontFallback, "FONT_FALLBACK", "", [](DisplaySettings& s) -> TextField& { return s.fontFallback; }),
};

namespace {

// ---- What the table must hold -------------------------------------------------------------------

constexpr bool entryIsWellFormed(const KeyEntry& entry, int index) {
    if (static_cast<int>(entry.key) != index || entry.name == nullptr) return false;
    switch (entry.kind) {
        case KeyKind::Integer:
            if (entry.storeNumber == nullptr || entry.range.min > entry.range.max) return false;
            // Value names go with one range, a name for each value.
            if (entry.words != nullptr &&
                (entry.otherRangeCount != 0 || entry.wordCount != entry.range.max - entry.range.min + 1)) {
                return false;
            }
            for (int r = 0; r < entry.otherRangeCount; ++r) {
                const Range& other = entry.otherRanges[r];
                const int when = static_cast<int>(other.whenKey);
                // Ranges depend only on Word keys, which the loader reads first.
                if (when >= kConfigKeyCount || kConfigKeys[when].kind != KeyKind::Word ||
                    (other.whenWords >> kConfigKeys[when].wordCount) != 0 || other.min > other.max) {
                    return false;
                }
            }
            return true;
        case KeyKind::Switch: return entry.storeNumber != nullptr && entry.wordCount == 2;
        case KeyKind::Word:
            return entry.storeNumber != nullptr && entry.wordCount > 0 && entry.wordsName != nullptr &&
                   entry.range.fallback >= 0 && entry.range.fallback < entry.wordCount;
        case KeyKind::Text:
            return entry.textField != nullptr && entry.textDefault != nullptr;
    }
    return false;
}

constexpr bool tableIsWellFormed() {
    for (int index = 0; index < kConfigKeyCount; ++index) {
        if (!entryIsWellFormed(kConfigKeys[index], index)) return false;
    }
    return true;
}

static_assert(tableIsWellFormed(), "each ConfigKey has its entry, in order, with what its kind needs");

}  // namespace

const Range& rangeInForce(ConfigKey key, const SettingsReport& report) {
    const KeyEntry& entry = keyEntry(key);
    for (int r = 0; r < entry.otherRangeCount; ++r) {
        const Range& other = entry.otherRanges[r];
        const int when = static_cast<int>(other.whenKey);
        const std::int32_t word = report.value[when];
        if (report.source[when] == ValueSource::File && word >= 0 && word < 32 &&
            (other.whenWords & (1u << word)) != 0) {
            return other;
        }
    }
    return entry.range;
}

}  // namespace config
