#include "config/page_table.h"

#include <cstdio>
#include <cstring>

namespace config {

PageTable::PageTable() { resetPages(); }

void PageTable::resetPages() {
    numPages = 0;
    cursorRow = 0;
    std::memset(pageList, 0, sizeof pageList);
    for (std::uint32_t& rows : utf8Rows) rows = 0;
}

int PageTable::loadPages(const SettingsReader& reader, const char* sectionPrefix, const char* keyPrefix) {
    numPages = 0;
    if (sectionPrefix == nullptr || sectionPrefix[0] == '\0' || keyPrefix == nullptr || keyPrefix[0] == '\0' ||
        !reader.fileReadable()) {
        return 0;
    }

    char section[kTextFieldSize];
    char key[kTextFieldSize];
    for (int page = 0; page < kMaxPages; ++page) {
        Page& list = pageList[page];
        std::snprintf(section, sizeof section, "%s%d", sectionPrefix, page + 1);
        list.count = 0;
        for (int row = 0; row < kMaxRows; ++row) {
            std::snprintf(key, sizeof key, "%s%d", keyPrefix, row + 1);
            char value[kTextFieldSize];
            bool converted = false;
            if (!reader.readText(section, key, value, &converted)) break;
            // "BLANK" keeps its place as an empty line; the row stays as resetPages left it.
            if (std::memcmp(value, "BLANK", 6) != 0) {
                if (converted) utf8Rows[page] |= 1u << row;
                std::memcpy(list.rows[row], value, sizeof value);
            }
            ++list.count;
        }
        if (list.count == 0) break;
        ++numPages;
    }
    return numPages;
}

int PageTable::selectPage(int page) {
    if (page < 0 || page >= numPages) return 0;
    cursorPage = page;
    return 1;
}

int PageTable::rowCount() const {
    if (cursorPage < 0 || cursorPage >= numPages) return 0;
    return pageList[cursorPage].count;
}

int PageTable::selectRow(int row) {
    if (row < 0 || row >= rowCount()) return 0;
    cursorRow = row;
    return 1;
}

const char* PageTable::currentRowText() const { return rowText(cursorPage, cursorRow); }

const char* PageTable::rowText(int page, int row) const {
    if (page < 0 || page >= numPages || row < 0 || row >= pageList[page].count) return nullptr;
    return pageList[page].rows[row];
}

bool PageTable::rowConvertedFromUtf8(int page, int row) const {
    return rowText(page, row) != nullptr && (utf8Rows[page] & (1u << row)) != 0;
}

}  // namespace config
