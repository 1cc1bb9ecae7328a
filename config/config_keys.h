// The keys of the CONFIG section, each one entry of one table (config_keys.cpp): its name, its
// kind, its valid values and default, and where its value goes in DisplaySettings. The loader
// (display_settings.cpp), settings_dump's listing and --keys, the settings check's known keys and
// the README tables all follow from the table; what each key does, in words for users, is the
// tools' (tools/settings_dump/key_help.cpp), where the documents are made.
//
// A new key: a ConfigKey, its field in DisplaySettings, its entry in the table and its words for
// users, then its behaviour where the settings are used.
#pragma once

#include <cstdint>

#include "config/settings_reader.h"

namespace config {

struct DisplaySettings;
struct SettingsReport;

// In the order of the table, which is the order settings_dump lists them in.
enum class ConfigKey {
    PosX, PosY, StepY, FontSize, Red, Green, Blue, FontFace, DisplayOnStart, AutoReload,
    Anchor, TextShadow, ShadowRed, ShadowGreen, ShadowBlue, BoxAlpha, BoxRed, BoxGreen, BoxBlue, BoxPadding,
    Units, DateFormat, TimeFormat, FontSmooth, FontScale, FontFallback,
    Count
};
constexpr int kConfigKeyCount = static_cast<int>(ConfigKey::Count);

enum class KeyKind {
    Integer,  // a whole number in a range; anything else gives the default
    Switch,   // on when above 0 and off otherwise, so every whole number is valid
    Word,     // one of the key's words, in any case; its value is the word's index
    Text,     // any non-empty text, read like the rows; the default may be empty
};

// Whole numbers from min to max inclusive, and what anything else gives (which need not be in the
// range). A range may hold only while the file gives a Word key (read before the others) one of
// some words: word i of `whenKey` when bit i of `whenWords` is set. A Word key the file leaves
// out holds no word here, so its default word selects no range.
struct Range {
    std::int32_t min;
    std::int32_t max;
    std::int32_t fallback;
    ConfigKey whenKey = ConfigKey::Count;  // Count: always
    std::uint32_t whenWords = 0;
    const char* fallbackName = nullptr;    // what the fallback stands for, when it is not a number to show
};

using TextField = char[kTextBufferSize];  // text in UTF-8 (SettingsReader::readText)

struct KeyEntry {
    ConfigKey key;
    const char* name;
    KeyKind kind;
    // Integer: the range when none of `otherRanges` holds. Word: 0 to the last word's index, and
    // the default word's. Switch: 0 (off) to 1 (on), default off; any number is read. Text: unused.
    Range range;
    const Range* otherRanges;  // Integer: tried first, in order
    int otherRangeCount;
    // Word: the words. Switch: what off and on mean, as settings_dump shows them. Integer: a name
    // for each value from range.min up, or null to show the number.
    const char* const* words;
    int wordCount;
    const char* wordsName;    // Word: what the words name, for a warning ("a corner")
    const char* unit;         // Integer: shown after the number ("/255")
    const char* textDefault;  // Text
    void (*storeNumber)(DisplaySettings& settings, std::int32_t value);  // Integer; Switch 0/1; Word
    TextField& (*textField)(DisplaySettings& settings);                  // Text
};

// The table, one entry per ConfigKey, in its order.
extern const KeyEntry kConfigKeys[kConfigKeyCount];

inline const KeyEntry& keyEntry(ConfigKey key) { return kConfigKeys[static_cast<int>(key)]; }
inline const char* configKeyName(ConfigKey key) { return keyEntry(key).name; }

// The range of an Integer key, from the Word keys `report` has read: their words where the file
// gives them.
const Range& rangeInForce(ConfigKey key, const SettingsReport& report);

}  // namespace config
