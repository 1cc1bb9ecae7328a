// Makes the drawn text of each row of the displayed page cheaply, frame after frame, with the
// same result as running the seven token passes over the row every frame.
//
// The first time a row is met after a load, the passes run once over it with marker bytes 1-7 as
// the values; the result is the row's template: its text with a marker wherever a token's value
// goes. As long as no value could itself complete a token (no value is a piece of a token name,
// which rules out the empty value too), the passes give exactly the template with the values in
// place of the markers, so a frame only re-expands the rows whose values changed. Otherwise, and
// for rows that hold marker bytes of their own, the passes run as they are.
#pragma once

#include <cstdint>

#include "config/page_table.h"

namespace overlay {

constexpr int kTokenSlots = 7;

class LineCache {
public:
    static constexpr int kExpandedSize = 1024;

    LineCache();

    // Forgets every row: after the pages were reloaded or another page is displayed.
    void reset(int page);
    int page() const { return page_; }

    // Notes that `token`'s value is now `value`.
    void valueChanged(int token, const char* value, const config::EntryList& tokens);

    // The text to draw for `row`, whose page text is `text`; the row must be under the pages'
    // cursor, whose token count is kept up to date. `lineBuf` (lineBufSize bytes) is the work line
    // for rows that need the full passes; the result lives until the next call for this row.
    const char* compose(int row, const char* text, config::PageTable& pages, const config::EntryList& tokens,
                        char* lineBuf, int lineBufSize);

private:
    enum class RowState : std::uint8_t { Unknown, Plain, Template, Uncached };

    struct Row {
        RowState state;
        std::uint8_t tokenMask;      // tokens whose markers the template holds
        std::int32_t replacements;   // markers in the template
        std::uint32_t expandedAt;    // change count when `expanded` was made; 0 = not made
        char templ[config::kTextFieldSize];
        char expanded[kExpandedSize];
    };

    void buildTemplate(Row& row, const char* text, config::PageTable& pages, const config::EntryList& tokens);
    bool needsExpanding(const Row& row) const;
    bool expand(Row& row, const config::EntryList& tokens);
    // The seven passes over `line`, with the tokens' current values or with their marker bytes.
    enum class Values { Current, Markers };
    static int runPasses(char* line, int lineSize, config::PageTable& pages, const config::EntryList& tokens,
                         Values values);

    int page_ = -1;
    std::uint32_t changes_ = 1;
    std::uint32_t changedAt_[kTokenSlots] = {};
    std::uint8_t unsafeValues_ = 0;  // tokens whose value could complete a token
    Row rows_[config::kMaxRows];
};

}  // namespace overlay
