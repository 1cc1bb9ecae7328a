#include "config/display_settings.h"

#include <cstring>

#include "platform/platform.h"

namespace config {

namespace {

constexpr float kLowerBound = 0.1f;
constexpr float kColourScale = 0.003921569f;  // 1/255 in single precision

struct IntegerRange {
    ConfigKey key;
    bool exclusiveLowerPointOne;  // positions and sizes: v > 0.1; colours: v >= 0
    std::int32_t max;
    std::int32_t fallback;
};

constexpr IntegerRange kIntegerKeys[] = {
    {ConfigKey::PosX, true, 640, 450},    {ConfigKey::PosY, true, 480, 65},  {ConfigKey::StepY, true, 480, 15},
    {ConfigKey::FontSize, true, 64, 18},  {ConfigKey::Red, false, 255, 64},  {ConfigKey::Green, false, 255, 64},
    {ConfigKey::Blue, false, 255, 64},
};

bool inRange(const IntegerRange& range, std::int32_t v) {
    const bool aboveMin = range.exclusiveLowerPointOne ? static_cast<double>(v) > static_cast<double>(kLowerBound)
                                                       : v >= 0;
    return aboveMin && v <= range.max;
}

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
        default: return "";
    }
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

    for (const IntegerRange& range : kIntegerKeys) {
        const int index = static_cast<int>(range.key);
        std::int32_t found = 0;
        std::int32_t v = 0;
        pages.readInt(kConfigSection, configKeyName(range.key), &v, &found);
        out.fileValue[index] = v;
        if (found == 1 && inRange(range, v)) {
            out.source[index] = ValueSource::File;
            store(settings, range.key, v);
        } else {
            out.source[index] = found == 1 ? ValueSource::OutOfRange : ValueSource::NotFound;
            store(settings, range.key, range.fallback);
        }
    }

    const int faceIndex = static_cast<int>(ConfigKey::FontFace);
    std::memset(settings.fontFace, 0, sizeof settings.fontFace);
    std::int32_t faceSize = kTextFieldSize;
    std::int32_t faceFound = 0;
    pages.readStringInto(kConfigSection, configKeyName(ConfigKey::FontFace), settings.fontFace, &faceSize, &faceFound);
    out.fileValue[faceIndex] = 0;
    if (settings.fontFace[0] == '\0' || faceFound <= 0 || faceSize == 0) {
        std::strncpy(settings.fontFace, kDefaultFontFace, sizeof settings.fontFace);
        out.source[faceIndex] = ValueSource::NotFound;
    } else {
        out.source[faceIndex] = ValueSource::File;
    }

    const int showIndex = static_cast<int>(ConfigKey::DisplayOnStart);
    std::int32_t showFound = 0;
    std::int32_t show = 0;
    pages.readInt(kConfigSection, configKeyName(ConfigKey::DisplayOnStart), &show, &showFound);
    out.fileValue[showIndex] = show;
    if (showFound == 1 && show > 0) {
        visible = true;
        out.source[showIndex] = ValueSource::File;
    } else {
        out.source[showIndex] = showFound == 1 ? ValueSource::OutOfRange : ValueSource::NotFound;
    }
}

}  // namespace config
