#include "config/page_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/utf8_text.h"
#include "platform/platform.h"

namespace config {

TextEntry::TextEntry() { clear(); }

void TextEntry::clear() {
    std::memset(text, 0, sizeof text);
    std::memset(value, 0, sizeof value);
    tokenCount = -1;
}

PageTable::PageTable() {
    std::memset(path, 0, sizeof path);
    std::memset(scratch, 0, sizeof scratch);
    resetPages();
}

// ---- Keyed reads --------------------------------------------------------------------------------

int PageTable::readString(const char* section, const char* key, char* dst, std::int32_t* size,
                          std::int32_t* found) {
    if (found != nullptr) *found = 0;
    if (dst == nullptr || size == nullptr) return 0;

    const std::int32_t capacity = *size;
    if (capacity > 0) std::memset(dst, 0, static_cast<std::size_t>(capacity));
    std::memset(scratch, 0, sizeof scratch);

    const std::uint32_t length =
        platform::readSettingsValue(path, section, key, scratch, static_cast<std::uint32_t>(sizeof scratch));
    const auto n = static_cast<std::int32_t>(length < sizeof scratch ? length : sizeof scratch - 1);
    *size = n;
    // Accept only what fits with its terminator, so the caller's text is always terminated.
    if (n > 0 && n < capacity) {
        std::memcpy(dst, scratch, static_cast<std::size_t>(n));
        if (found != nullptr) *found = 1;
        return 1;
    }
    return 0;
}

char* PageTable::readStringInto(const char* section, const char* key, char* dst, std::int32_t* size,
                                std::int32_t* found) {
    readString(section, key, dst, size, found);
    return dst;
}

std::int32_t PageTable::readInt(const char* section, const char* key, std::int32_t* value, std::int32_t* found) {
    char text[kTextFieldSize];
    std::int32_t size = kTextFieldSize;
    readString(section, key, text, &size, found);
    // atol's rules, computed without overflow: digits past the range of 32 bits saturate.
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    long long magnitude = 0;
    while (*p >= '0' && *p <= '9') {
        if (magnitude <= 0x80000000LL) magnitude = magnitude * 10 + (*p - '0');
        ++p;
    }
    long long result = negative ? -magnitude : magnitude;
    if (result > 0x7FFFFFFFLL) result = 0x7FFFFFFFLL;
    if (result < -0x80000000LL) result = -0x80000000LL;
    const auto parsed = static_cast<std::int32_t>(result);
    if (value != nullptr) *value = parsed;
    return parsed;
}

// ---- Pages --------------------------------------------------------------------------------------

void PageTable::resetPages() {
    numPages = 0;
    cursorRow = 0;
    std::memset(match, 0, sizeof match);
    std::memset(work, 0, sizeof work);
    for (EntryList& page : pageLists) {
        for (TextEntry& row : page.entries) row.clear();
    }
    for (std::uint32_t& rows : utf8Rows) rows = 0;
}

int PageTable::setFilePath(const char* fileName) {
    if (fileName == nullptr || fileName[0] == '\0') return 0;
    if (std::strlen(fileName) >= sizeof path) return 0;
    std::strncpy(path, fileName, sizeof path);
    return 1;
}

int PageTable::loadPages(const char* sectionPrefix, const char* keyPrefix) {
    numPages = 0;
    if (sectionPrefix == nullptr || sectionPrefix[0] == '\0' || keyPrefix == nullptr || keyPrefix[0] == '\0' ||
        path[0] == '\0') {
        return 0;
    }
    if (!platform::settingsFileReadable(path)) return 0;

    char section[kTextFieldSize];
    char key[kTextFieldSize];
    for (int page = 0; page < kMaxPages; ++page) {
        EntryList& list = pageLists[page];
        std::snprintf(section, sizeof section, "%s%d", sectionPrefix, page + 1);
        list.count = 0;
        for (int row = 0; row < kMaxRows; ++row) {
            std::snprintf(key, sizeof key, "%s%d", keyPrefix, row + 1);
            char value[kTextFieldSize];
            std::int32_t size = kTextFieldSize;
            std::int32_t found = 0;
            readString(section, key, value, &size, &found);
            if (found <= 0) break;
            // "BLANK" keeps its place as an empty line; the row stays as resetPages left it.
            if (std::memcmp(value, "BLANK", 6) != 0) {
                if (utf8ToWindows1252(value, size == kTextFieldSize - 1)) utf8Rows[page] |= 1u << row;
                std::snprintf(list.entries[row].text, kTextFieldSize, "%s", value);
            }
            ++list.count;
        }
        if (list.count == 0) break;
        ++numPages;
    }
    return numPages;
}

// ---- Cursor -------------------------------------------------------------------------------------

bool PageTable::cursorValid() const {
    return cursorPage >= 0 && cursorPage < numPages && cursorRow >= 0 && cursorRow < pageLists[cursorPage].count;
}

TextEntry* PageTable::currentRow() { return cursorValid() ? &pageLists[cursorPage].entries[cursorRow] : nullptr; }

const TextEntry* PageTable::currentRow() const {
    return cursorValid() ? &pageLists[cursorPage].entries[cursorRow] : nullptr;
}

int PageTable::selectPage(int page) {
    if (page < 0 || page >= numPages) return 0;
    cursorPage = page;
    return 1;
}

int PageTable::rowCount() const {
    if (cursorPage < 0 || cursorPage >= numPages) return 0;
    return pageLists[cursorPage].count;
}

int PageTable::selectRow(int row) {
    if (row < 0 || row >= rowCount()) return 0;
    cursorRow = row;
    return 1;
}

const char* PageTable::currentRowText() const {
    const TextEntry* row = currentRow();
    return row != nullptr ? row->text : nullptr;
}

const char* PageTable::rowText(int page, int row) const {
    if (page < 0 || page >= numPages || row < 0 || row >= pageLists[page].count) return nullptr;
    return pageLists[page].entries[row].text;
}

bool PageTable::rowConvertedFromUtf8(int page, int row) const {
    return rowText(page, row) != nullptr && (utf8Rows[page] & (1u << row)) != 0;
}

int PageTable::currentRowTokenCount() const {
    const TextEntry* row = currentRow();
    return row != nullptr ? row->tokenCount : 0;
}

void PageTable::setCurrentRowTokenCount(int count) {
    TextEntry* row = currentRow();
    if (row != nullptr) row->tokenCount = count;
}

// ---- Substitution -------------------------------------------------------------------------------

int PageTable::substituteToken(char* dst, const char* src, const char* pattern, const char* replacement, int maxLen) {
    return config::substituteToken(work, sizeof work, dst, src, pattern, replacement, maxLen);
}

}  // namespace config
