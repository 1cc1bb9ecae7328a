// Keyed reads of one settings file through the platform's reader, with the plug-in's rules for
// what a value must be to count as found. Text that is drawn arrives as UTF-8.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace config {

constexpr int kTextFieldSize = 260;  // names, numbers' values and paths: at most 259 bytes
// Text that is drawn (rows, FONT_FACE, the formats): at most 259 characters of any plane in
// UTF-8, terminated, every character whole and never an ill-formed sequence.
constexpr int kTextBufferSize = static_cast<int>(platform::kMaxTextCharacters) * 4 + 1;

class SettingsReader {
public:
    SettingsReader();

    // Sets the settings file path. Refuses (returns 0, path unchanged) a null or empty
    // name and a name of kTextFieldSize characters or more, which would not stay terminated.
    int setFilePath(const char* fileName);
    const char* filePath() const { return path; }
    bool fileReadable() const;

    // Reads `key` of `section` into `dst`. *size is the capacity of dst on the way in and the
    // length the platform reported on the way out. The value is accepted (found = 1, result 1)
    // only when it is non-empty and fits with its terminator (length < capacity); otherwise dst
    // stays all zero. A null dst gives found 0 and result 0 and leaves *size alone.
    int readString(const char* section, const char* key, char* dst, std::int32_t* size, std::int32_t* found) const;
    // The same read; returns dst.
    char* readStringInto(const char* section, const char* key, char* dst, std::int32_t* size,
                         std::int32_t* found) const;
    // Reads the value as a decimal integer like atol (leading white space and a sign, stops at the
    // first non-digit, no digits gives 0); stores it in *value (if not null) and returns it.
    std::int32_t readInt(const char* section, const char* key, std::int32_t* value, std::int32_t* found) const;

    // Reads text that is drawn (a row, a font name, a format) into `dst` as UTF-8
    // (platform::readSettingsText): every character whole, at most 259 of them, what cannot be
    // decoded as U+FFFD. Returns whether the value was found and is not empty; `how` (if not null)
    // says how it was read.
    bool readText(const char* section, const char* key, char (&dst)[kTextBufferSize], platform::TextRead* how) const;

private:
    char path[kTextFieldSize];
};

}  // namespace config
