// Keyed reads of one settings file through the platform's reader, with the plug-in's rules for
// what a value must be to count as found, and for how text reaches Windows-1252.
#pragma once

#include <cstdint>

namespace config {

constexpr int kTextFieldSize = 260;  // every name, value, line, path and face: at most 259 chars

class SettingsReader {
public:
    SettingsReader();

    // Sets the settings file path and notes how the platform's reader decodes that file, from its
    // first bytes as the reader decides. Refuses (returns 0, path unchanged) a null or empty
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

    // Reads text that is drawn (a row, a font name) into `dst` as readString does with a capacity
    // of kTextFieldSize, then gives it in Windows-1252: text written in UTF-8 is converted
    // (utf8_text.h), unless the platform's reader converted the file's text itself, which it does
    // for a file that starts with a byte-order mark. Returns whether the value was found;
    // *convertedFromUtf8 (if not null) says whether it was converted here.
    bool readText(const char* section, const char* key, char (&dst)[kTextFieldSize], bool* convertedFromUtf8) const;

    // Whether the file started with a UTF-8 or UTF-16 byte-order mark when the path was set: the
    // platform's reader then gives its text already converted to Windows-1252.
    bool textConvertedByReader() const { return readerConverts; }

private:
    char path[kTextFieldSize];
    bool readerConverts = false;
};

}  // namespace config
