#include "config/display_settings.h"

#include <cstring>

#include "config/utf8_text.h"
#include "platform/platform.h"

namespace config {

namespace {

constexpr IntegerRule kIntegerRules[] = {
    {ConfigKey::PosX, 1, 640, kDefaultPosX},          {ConfigKey::PosY, 1, 480, kDefaultPosY},
    {ConfigKey::StepY, 1, 480, kDefaultStepY},        {ConfigKey::FontSize, 1, 64, kDefaultFontSize},
    {ConfigKey::Red, 0, 255, kDefaultColour},         {ConfigKey::Green, 0, 255, kDefaultColour},
    {ConfigKey::Blue, 0, 255, kDefaultColour},
};

void store(DisplaySettings& settings, ConfigKey key, std::int32_t v) {
    switch (key) {
        case ConfigKey::PosX: settings.posX = static_cast<float>(v); break;
        case ConfigKey::PosY: settings.posY = static_cast<float>(v); break;
        case ConfigKey::StepY: settings.stepY = static_cast<float>(v); break;
        case ConfigKey::FontSize: settings.fontSize = v; break;
        case ConfigKey::Red: settings.red = static_cast<float>(v) * kColourScale; break;
        case ConfigKey::Green: settings.green = static_cast<float>(v) * kColourScale; break;
        case ConfigKey::Blue: settings.blue = static_cast<float>(v) * kColourScale; break;
        default: break;
    }
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
        default: return "";
    }
}

const IntegerRule* integerRule(ConfigKey key) {
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

    for (const IntegerRule& rule : kIntegerRules) {
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
    if (showFound == 1 && show > 0) {
        visible = true;
        out.source[showIndex] = ValueSource::File;
    } else {
        out.source[showIndex] = showFound == 1 ? ValueSource::OutOfRange : ValueSource::NotFound;
    }

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
