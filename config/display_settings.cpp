#include "config/display_settings.h"

#include <cstring>

#include "platform/platform.h"

namespace config {

namespace {

// A-Z and a-z alike, as the settings reader compares names.
bool equalIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 32) : *a;
        const char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 32) : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

void applyDefault(const KeyEntry& entry, DisplaySettings& settings) {
    if (entry.kind == KeyKind::Text) {
        TextField& field = entry.textField(settings);
        std::memset(field, 0, sizeof field);
        std::strncpy(field, entry.textDefault, sizeof field - 1);
    } else {
        entry.storeNumber(settings, entry.range.fallback);
    }
}

// Reads one key into `settings` and says in `out` what came of it. Integer keys take the range
// that the Word keys already in `out` select.
void loadKey(const SettingsReader& reader, const KeyEntry& entry, DisplaySettings& settings, SettingsReport& out) {
    const int index = static_cast<int>(entry.key);
    out.fileValue[index] = 0;
    out.value[index] = 0;
    out.textRead[index] = {};
    std::memset(out.fileText[index], 0, sizeof out.fileText[index]);
    std::int32_t found = 0;
    switch (entry.kind) {
        case KeyKind::Text:
            if (reader.readText(kConfigSection, entry.name, entry.textField(settings), &out.textRead[index])) {
                out.source[index] = ValueSource::File;
            } else {
                applyDefault(entry, settings);
                out.source[index] = ValueSource::NotFound;
            }
            return;
        case KeyKind::Word: {
            std::int32_t size = kTextFieldSize;
            reader.readString(kConfigSection, entry.name, out.fileText[index], &size, &found);
            std::int32_t word = entry.range.fallback;
            out.source[index] = found == 1 ? ValueSource::OutOfRange : ValueSource::NotFound;
            for (int w = 0; found == 1 && w < entry.wordCount; ++w) {
                if (equalIgnoringCase(out.fileText[index], entry.words[w])) {
                    word = w;
                    out.source[index] = ValueSource::File;
                }
            }
            out.value[index] = word;
            entry.storeNumber(settings, word);
            return;
        }
        case KeyKind::Switch: {
            const std::int32_t v = reader.readInt(kConfigSection, entry.name, nullptr, &found);
            // 0 and below are not out of range: they are off.
            const std::int32_t on = found == 1 && v > 0 ? 1 : 0;
            out.fileValue[index] = v;
            out.value[index] = on;
            out.source[index] = found == 1 ? ValueSource::File : ValueSource::NotFound;
            entry.storeNumber(settings, on);
            return;
        }
        case KeyKind::Integer: {
            const Range& range = rangeInForce(entry.key, out);
            std::int32_t v = reader.readInt(kConfigSection, entry.name, nullptr, &found);
            out.fileValue[index] = v;
            if (found == 1 && v >= range.min && v <= range.max) {
                out.source[index] = ValueSource::File;
            } else {
                out.source[index] = found == 1 ? ValueSource::OutOfRange : ValueSource::NotFound;
                v = range.fallback;
            }
            out.value[index] = v;
            entry.storeNumber(settings, v);
            return;
        }
    }
}

}  // namespace

DisplaySettings::DisplaySettings() {
    for (const KeyEntry& entry : kConfigKeys) applyDefault(entry, *this);
}

const char* anchorName(Anchor anchor) {
    const KeyEntry& entry = keyEntry(ConfigKey::Anchor);
    const int word = static_cast<int>(anchor);
    return word >= 0 && word < entry.wordCount ? entry.words[word] : "";
}

void loadSettings(const char* path, PageTable& pages, DisplaySettings& settings, bool& visible,
                  SettingsReport* report) {
    SettingsReport ignored;
    SettingsReport& out = report != nullptr ? *report : ignored;

    // One parse of the file serves every key read below.
    platform::SettingsBatch batch(path);

    SettingsReader reader;
    reader.setFilePath(path);
    pages.resetPages();
    pages.loadPages(reader, kPageSectionPrefix, kRowKeyPrefix);

    for (const KeyEntry& entry : kConfigKeys) {
        if (entry.kind == KeyKind::Word) loadKey(reader, entry, settings, out);
    }
    for (const KeyEntry& entry : kConfigKeys) {
        if (entry.kind != KeyKind::Word) loadKey(reader, entry, settings, out);
    }
    if (settings.displayOnStart) visible = true;
    settings.anchorInFile = out.source[static_cast<int>(ConfigKey::Anchor)] == ValueSource::File;
}

}  // namespace config
