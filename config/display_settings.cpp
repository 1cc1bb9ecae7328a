#include "config/display_settings.h"

#include <cstring>

#include "config/utf8_text.h"
#include "platform/platform.h"

namespace config {

namespace {

// The positions' rules under BOTTOM_LEFT come first; the other anchors' follow the table.
constexpr IntegerRule kIntegerRules[] = {
    {ConfigKey::PosX, 1, 640, kDefaultPosX},          {ConfigKey::PosY, 1, 480, kDefaultPosY},
    {ConfigKey::StepY, 1, 480, kDefaultStepY},        {ConfigKey::FontSize, 1, 64, kDefaultFontSize},
    {ConfigKey::Red, 0, 255, kDefaultColour},         {ConfigKey::Green, 0, 255, kDefaultColour},
    {ConfigKey::Blue, 0, 255, kDefaultColour},        {ConfigKey::TextShadow, 0, 2, 0},
    {ConfigKey::ShadowRed, 0, 255, 0},                {ConfigKey::ShadowGreen, 0, 255, 0},
    {ConfigKey::ShadowBlue, 0, 255, 0},               {ConfigKey::BoxAlpha, 0, 255, 0},
    {ConfigKey::BoxRed, 0, 255, 0},                   {ConfigKey::BoxGreen, 0, 255, 0},
    {ConfigKey::BoxBlue, 0, 255, 0},                  {ConfigKey::BoxPadding, 0, 64, kDefaultBoxPadding},
    {ConfigKey::FontSmooth, 0, 1, 0},
};
constexpr IntegerRule kCornerPositionRules[] = {
    {ConfigKey::PosX, 0, 640, kDefaultCornerOffset},
    {ConfigKey::PosY, 0, 480, kDefaultCornerOffset},
};

constexpr Anchor kAnchors[] = {Anchor::BottomLeft, Anchor::TopLeft, Anchor::TopRight, Anchor::BottomRight};

float colourOf(std::int32_t v) { return static_cast<float>(v) * kColourScale; }

void store(DisplaySettings& settings, ConfigKey key, std::int32_t v) {
    switch (key) {
        case ConfigKey::PosX: settings.posX = static_cast<float>(v); break;
        case ConfigKey::PosY: settings.posY = static_cast<float>(v); break;
        case ConfigKey::StepY: settings.stepY = static_cast<float>(v); break;
        case ConfigKey::FontSize: settings.fontSize = v; break;
        case ConfigKey::Red: settings.red = colourOf(v); break;
        case ConfigKey::Green: settings.green = colourOf(v); break;
        case ConfigKey::Blue: settings.blue = colourOf(v); break;
        case ConfigKey::TextShadow: settings.textShadow = static_cast<TextShadow>(v); break;
        case ConfigKey::ShadowRed: settings.shadowColour[0] = colourOf(v); break;
        case ConfigKey::ShadowGreen: settings.shadowColour[1] = colourOf(v); break;
        case ConfigKey::ShadowBlue: settings.shadowColour[2] = colourOf(v); break;
        case ConfigKey::BoxAlpha: settings.boxAlpha = v; break;
        case ConfigKey::BoxRed: settings.boxColour[0] = colourOf(v); break;
        case ConfigKey::BoxGreen: settings.boxColour[1] = colourOf(v); break;
        case ConfigKey::BoxBlue: settings.boxColour[2] = colourOf(v); break;
        case ConfigKey::BoxPadding: settings.boxPadding = v; break;
        case ConfigKey::FontSmooth: settings.fontSmooth = v == 1; break;
        default: break;
    }
}

// A-Z and a-z alike, as the settings reader compares names.
bool equalIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 32) : *a;
        const char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 32) : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// HUD_ANCHOR, read before the positions, whose ranges depend on it.
void loadAnchor(PageTable& pages, DisplaySettings& settings, SettingsReport& out) {
    const int index = static_cast<int>(ConfigKey::Anchor);
    std::memset(out.anchorText, 0, sizeof out.anchorText);
    std::int32_t size = kTextFieldSize;
    std::int32_t found = 0;
    pages.readString(kConfigSection, configKeyName(ConfigKey::Anchor), out.anchorText, &size, &found);
    settings.anchor = Anchor::BottomLeft;
    out.source[index] = found == 1 ? ValueSource::OutOfRange : ValueSource::NotFound;
    if (found == 1) {
        for (Anchor anchor : kAnchors) {
            if (equalIgnoringCase(out.anchorText, anchorName(anchor))) {
                settings.anchor = anchor;
                out.source[index] = ValueSource::File;
            }
        }
    }
    out.fileValue[index] = 0;
    out.value[index] = static_cast<std::int32_t>(settings.anchor);
}

}  // namespace

DisplaySettings::DisplaySettings() { std::memcpy(fontFace, kDefaultFontFace, sizeof kDefaultFontFace); }

const char* configKeyName(ConfigKey key) {
    switch (key) {
        case ConfigKey::PosX: return "HUD_POS_X";
        case ConfigKey::PosY: return "HUD_POS_Y";
        case ConfigKey::StepY: return "HUD_STEP_Y";
        case ConfigKey::FontSize: return "FONT_SIZE";
        case ConfigKey::Red: return "COLOR_RED";
        case ConfigKey::Green: return "COLOR_GREEN";
        case ConfigKey::Blue: return "COLOR_BLUE";
        case ConfigKey::FontFace: return "FONT_FACE";
        case ConfigKey::DisplayOnStart: return "DISPLAY_ONSTART";
        case ConfigKey::AutoReload: return "AUTO_RELOAD";
        case ConfigKey::Anchor: return "HUD_ANCHOR";
        case ConfigKey::TextShadow: return "TEXT_SHADOW";
        case ConfigKey::ShadowRed: return "SHADOW_COLOR_RED";
        case ConfigKey::ShadowGreen: return "SHADOW_COLOR_GREEN";
        case ConfigKey::ShadowBlue: return "SHADOW_COLOR_BLUE";
        case ConfigKey::BoxAlpha: return "BOX_ALPHA";
        case ConfigKey::BoxRed: return "BOX_COLOR_RED";
        case ConfigKey::BoxGreen: return "BOX_COLOR_GREEN";
        case ConfigKey::BoxBlue: return "BOX_COLOR_BLUE";
        case ConfigKey::BoxPadding: return "BOX_PADDING";
        case ConfigKey::FontSmooth: return "FONT_SMOOTH";
        default: return "";
    }
}

const char* anchorName(Anchor anchor) {
    switch (anchor) {
        case Anchor::BottomLeft: return "BOTTOM_LEFT";
        case Anchor::TopLeft: return "TOP_LEFT";
        case Anchor::TopRight: return "TOP_RIGHT";
        case Anchor::BottomRight: return "BOTTOM_RIGHT";
    }
    return "";
}

const IntegerRule* integerRule(ConfigKey key, Anchor anchor) {
    if (anchor != Anchor::BottomLeft) {
        for (const IntegerRule& rule : kCornerPositionRules) {
            if (rule.key == key) return &rule;
        }
    }
    for (const IntegerRule& rule : kIntegerRules) {
        if (rule.key == key) return &rule;
    }
    return nullptr;
}

void loadSettings(const char* path, PageTable& pages, DisplaySettings& settings, bool& visible,
                  SettingsReport* report) {
    SettingsReport ignored;
    SettingsReport& out = report != nullptr ? *report : ignored;

    // One parse of the file serves every key read below.
    platform::SettingsBatch batch(path);

    pages.resetPages();
    pages.setFilePath(path);
    pages.loadPages(kPageSectionPrefix, kRowKeyPrefix);

    loadAnchor(pages, settings, out);
    for (const IntegerRule& tableRule : kIntegerRules) {
        const IntegerRule& rule = *integerRule(tableRule.key, settings.anchor);
        const int index = static_cast<int>(rule.key);
        std::int32_t found = 0;
        std::int32_t v = 0;
        pages.readInt(kConfigSection, configKeyName(rule.key), &v, &found);
        out.fileValue[index] = v;
        if (found == 1 && v >= rule.min && v <= rule.max) {
            out.source[index] = ValueSource::File;
        } else {
            out.source[index] = found == 1 ? ValueSource::OutOfRange : ValueSource::NotFound;
            v = rule.fallback;
        }
        out.value[index] = v;
        store(settings, rule.key, v);
    }

    const int faceIndex = static_cast<int>(ConfigKey::FontFace);
    std::memset(settings.fontFace, 0, sizeof settings.fontFace);
    std::int32_t faceSize = kTextFieldSize;
    std::int32_t faceFound = 0;
    pages.readStringInto(kConfigSection, configKeyName(ConfigKey::FontFace), settings.fontFace, &faceSize, &faceFound);
    out.fileValue[faceIndex] = 0;
    out.value[faceIndex] = 0;
    out.fontFaceConvertedFromUtf8 = false;
    if (settings.fontFace[0] == '\0' || faceFound <= 0 || faceSize == 0) {
        std::memcpy(settings.fontFace, kDefaultFontFace, sizeof kDefaultFontFace);
        out.source[faceIndex] = ValueSource::NotFound;
    } else {
        out.source[faceIndex] = ValueSource::File;
        out.fontFaceConvertedFromUtf8 = utf8ToWindows1252(settings.fontFace, faceSize == kTextFieldSize - 1);
    }

    const int showIndex = static_cast<int>(ConfigKey::DisplayOnStart);
    std::int32_t showFound = 0;
    std::int32_t show = 0;
    pages.readInt(kConfigSection, configKeyName(ConfigKey::DisplayOnStart), &show, &showFound);
    out.fileValue[showIndex] = show;
    out.value[showIndex] = show;
    // 0 and below are not out of range: they leave the visibility as it is.
    if (showFound == 1 && show > 0) visible = true;
    out.source[showIndex] = showFound == 1 ? ValueSource::File : ValueSource::NotFound;

    const int reloadIndex = static_cast<int>(ConfigKey::AutoReload);
    std::int32_t reloadFound = 0;
    std::int32_t reload = 0;
    pages.readInt(kConfigSection, configKeyName(ConfigKey::AutoReload), &reload, &reloadFound);
    settings.autoReload = reloadFound == 1 && reload > 0;
    out.fileValue[reloadIndex] = reload;
    out.value[reloadIndex] = settings.autoReload ? 1 : 0;
    out.source[reloadIndex] = reloadFound == 1 ? ValueSource::File : ValueSource::NotFound;
}

}  // namespace config
