#include "config/page_table.h"

#include <cstdio>
#include <cstring>

namespace config {

PageTable::PageTable() { resetPages(); }

void PageTable::resetPages() {
    numPages = 0;
    cursorRow = 0;
    std::memset(pageList, 0, sizeof pageList);
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
            // Read in place: "BLANK" keeps its place as an empty line.
            if (!reader.readText(section, key, list.rows[row], &list.read[row])) break;
            if (std::memcmp(list.rows[row], "BLANK", 6) == 0) std::memset(list.rows[row], 0, sizeof list.rows[row]);
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

platform::TextRead PageTable::rowRead(int page, int row) const {
    return rowText(page, row) != nullptr ? pageList[page].read[row] : platform::TextRead{};
}

}  // namespace config
