// The overlay's text: up to 5 pages of up to 28 lines read from the settings file, a cursor
// through which the drawing code reads one line at a time, and the keyed settings reads.
// Everything is held in fixed arrays inside the object; nothing is allocated.
#pragma once

#include <cstdint>

#include "config/substitute.h"

namespace config {

constexpr int kTextFieldSize = 260;  // every name, value, line, path and face: at most 259 chars
constexpr int kMaxRows = 28;
constexpr int kMaxPages = 5;
constexpr int kWorkBufferSize = 4096;

// One line of a page, or one token (name in `text`, current value in `value`).
struct TextEntry {
    char text[kTextFieldSize];
    char value[kTextFieldSize];
    // -1 = not scanned for tokens yet; 0 = the last scan replaced nothing; > 0 = replacements made.
    std::int32_t tokenCount;

    TextEntry();
    void clear();
};

struct EntryList {
    TextEntry entries[kMaxRows];
    std::int32_t count = 0;
};

class PageTable {
public:
    PageTable();

    // ---- Keyed reads of the settings file named by `path` ----
    // Reads `key` of `section` into `dst`. *size is the capacity of dst on the way in and the
    // length the platform reported on the way out. The value is accepted (found = 1, result 1)
    // only when it is non-empty and fits with its terminator (length < capacity); otherwise dst
    // stays all zero. A null dst gives found 0 and result 0 and leaves *size alone.
    int readString(const char* section, const char* key, char* dst, std::int32_t* size, std::int32_t* found);
    // The same read; returns dst.
    char* readStringInto(const char* section, const char* key, char* dst, std::int32_t* size,
                         std::int32_t* found);
    // Reads the value as a decimal integer like atol (leading white space and a sign, stops at the
    // first non-digit, no digits gives 0); stores it in *value (if not null) and returns it.
    std::int32_t readInt(const char* section, const char* key, std::int32_t* value, std::int32_t* found);

    // ---- Pages ----
    // Clears every row and the substitution buffers; numPages = 0, cursorRow = 0.
    void resetPages();
    // Sets the settings file path. Refuses (returns 0, path unchanged) a null or empty name and a
    // name of kTextFieldSize characters or more, which would not stay terminated.
    int setFilePath(const char* fileName);
    const char* filePath() const { return path; }
    // Reads SECTION1..5 / ROWDATA1..28 style pages from the file; returns the number of pages.
    // A row written in UTF-8 is converted to Windows-1252 (utf8_text.h).
    int loadPages(const char* sectionPrefix, const char* keyPrefix);

    int pageCount() const { return numPages; }
    int selectPage(int page);
    int rowCount() const;
    int selectRow(int row);
    const char* currentRowText() const;
    // Text of a row without moving the cursor; null when out of range.
    const char* rowText(int page, int row) const;
    // Whether loadPages converted a row's text from UTF-8 to Windows-1252.
    bool rowConvertedFromUtf8(int page, int row) const;
    int currentRowTokenCount() const;
    void setCurrentRowTokenCount(int count);

    // config::substituteToken over this table's work buffer: replaces every occurrence of
    // `pattern` in `src` by `replacement` and writes the result, cut to at most maxLen - 1
    // characters and always terminated, into `dst` (which may be `src`). Returns the number of
    // replacements; refuses (returns 0, dst untouched) null arguments and empty or over-long patterns.
    int substituteToken(char* dst, const char* src, const char* pattern, const char* replacement, int maxLen);

private:
    bool cursorValid() const;
    TextEntry* currentRow();
    const TextEntry* currentRow() const;

    char path[kTextFieldSize];
    char scratch[kTextFieldSize];
    char work[kWorkBufferSize];
    char match[kMatchBufferSize];
    std::int32_t numPages = 0;
    std::int32_t cursorPage = 0;
    std::int32_t cursorRow = 0;
    EntryList pageLists[kMaxPages];
    std::uint32_t utf8Rows[kMaxPages] = {};  // per page, a bit for each row converted from UTF-8
};

}  // namespace config
