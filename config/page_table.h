// The overlay's text: up to 5 pages of up to 28 lines read from the settings file, and a cursor
// through which the drawing code reads one line at a time. Everything is held in fixed arrays
// inside the object; nothing is allocated.
#pragma once

#include <cstdint>

#include "config/settings_reader.h"

namespace config {

constexpr int kMaxRows = 28;
constexpr int kMaxPages = 5;

class PageTable {
public:
    PageTable();

    // Clears every row; numPages = 0, cursorRow = 0.
    void resetPages();
    // Reads SECTION1..5 / ROWDATA1..28 style pages from the reader's file; returns the number of
    // pages. Each row is read as drawn text, in UTF-8 (SettingsReader::readText).
    int loadPages(const SettingsReader& reader, const char* sectionPrefix, const char* keyPrefix);

    int pageCount() const { return numPages; }
    int selectPage(int page);
    int rowCount() const;
    int selectRow(int row);
    const char* currentRowText() const;
    // Text of a row without moving the cursor; null when out of range.
    const char* rowText(int page, int row) const;
    // How loadPages read a row's text; source None for a row out of range.
    platform::TextRead rowRead(int page, int row) const;

private:
    struct Page {
        char rows[kMaxRows][kTextBufferSize];  // UTF-8
        platform::TextRead read[kMaxRows];
        std::int32_t count;
    };

    std::int32_t numPages = 0;
    std::int32_t cursorPage = 0;
    std::int32_t cursorRow = 0;
    Page pageList[kMaxPages];
};

}  // namespace config
