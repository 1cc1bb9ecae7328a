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
#include "config/substitute.h"
#include "overlay/tokens.h"

namespace overlay {

static_assert(kTokenCount <= 8, "a row keeps the tokens of its template in one byte");

class LineCache {
public:
    static constexpr int kExpandedSize = 1024;

    LineCache();

    // Forgets every row: after the pages were reloaded or another page is displayed.
    void reset(int page);
    int page() const { return cachedPage; }

    // Notes that `token`'s value is now `value`.
    void valueChanged(int token, const char* value, const config::EntryList& tokens);
    // The advance of each byte value in window pixels (256 entries, kept by the caller), for the
    // rows' advances; null: none are measured. Every row's advance is measured again.
    void setAdvances(const std::int16_t* advances);

    struct Line {
        const char* text;          // lives until the next compose of this row
        std::int32_t tokenCount;   // replacements the passes make in the row: 0 for a plain row
        std::int32_t advance;      // the sum of the text's advances; 0 without advances
    };
    // The text to draw for `row`, whose page text is `text`. `lineBuf` (lineBufSize bytes) is the
    // work line for rows that need the full passes.
    Line compose(int row, const char* text, const config::EntryList& tokens, char* lineBuf, int lineBufSize);

    // How much work the cache has done, for tests of what it promises: rows scanned for tokens
    // (template builds and full passes), templates re-expanded with new values, and rows measured.
    struct Counters {
        std::uint64_t scans;
        std::uint64_t expansions;
        std::uint64_t measures;
    };
    Counters counters() const { return work; }

private:
    enum class RowState : std::uint8_t { Unknown, Plain, Template, Uncached };

    struct Row {
        RowState state;
        std::uint8_t tokenMask;      // tokens whose markers the template holds
        std::int32_t replacements;   // markers in the template
        std::uint32_t expandedAt;    // change count when `expanded` was made; 0 = not made
        bool advanceKnown;           // `advance` is that of the text composed last
        std::int32_t advance;
        char tokenTemplate[config::kTextFieldSize];
        char expanded[kExpandedSize];
    };

    void buildTemplate(Row& row, const char* text, const config::EntryList& tokens);
    bool needsExpanding(const Row& row) const;
    bool expand(Row& row, const config::EntryList& tokens);
    // The seven passes over `line`, with the tokens' current values or with their marker bytes.
    enum class Values { Current, Markers };
    int runPasses(char* line, int lineSize, const config::EntryList& tokens, Values values);
    // The row's advance for `text`, measured only when the row's text changed.
    std::int32_t advanceOf(Row& row, const char* text);

    int cachedPage = -1;
    std::uint32_t changes = 1;
    std::uint32_t changedAt[kTokenCount] = {};
    std::uint8_t unsafeValues = 0;  // tokens whose value could complete a token
    Counters work = {};
    const std::int16_t* advances = nullptr;
    char substitutionWork[config::kWorkBufferSize];
    Row rows[config::kMaxRows];
};

}  // namespace overlay
