// The drawn text of each row of the displayed page. Every row owns the buffer its text lives in,
// so the texts of all rows stay valid together for a whole frame.
//
// A row without '*' cannot hold a token: it is copied once after a load and never scanned again.
// A row with one runs the token passes (each token in table order, over the result of the ones
// before) into its own buffer after a load, and again whenever the value of a token its passes
// replaced has changed since, and at no other time.
#pragma once

#include <cstdint>

#include "config/page_table.h"
#include "overlay/character_set.h"
#include "overlay/row_layout.h"
#include "overlay/substitute.h"
#include "overlay/token_values.h"

namespace overlay {

class LineCache {
public:
    // The longest drawn text in bytes of UTF-8, with its terminator: a row of 259 characters of
    // four bytes whose tokens all became values stays below it, and longer results are cut.
    static constexpr int kTextSize = 4096;

    LineCache();

    // Forgets every row: after the pages were reloaded or another page is displayed.
    void reset(int page);
    int page() const { return cachedPage; }

    // The characters the glyphs were made for, with their advances (kept by the caller), for the
    // rows' advances; null: none are measured. Every row's advance is measured again.
    void setCharacters(const CharacterSet* characters);

    // Row `row` (0 to kMaxRows - 1) of the cached page, whose text in the page is `text`, with the
    // values of `values`: its slot, its text (in the row's own buffer, valid until the row is
    // composed again), the sum of the text's advances (0 without advances) and its revision. The
    // place is left for the layout.
    DrawRow compose(int row, const char* text, const TokenValues& values);

    // How much work the cache has done, for tests of what it promises: token passes run over a
    // row, and rows measured.
    struct Counters {
        std::uint64_t expansions;
        std::uint64_t measures;
    };
    Counters counters() const { return work; }

private:
    enum class RowState : std::uint8_t { Unknown, Plain, Tokens };

    struct Row {
        RowState state;
        std::uint32_t valuesVersion;  // the values' version the text was made with
        std::uint32_t replacing;      // the tokens whose passes replaced something, a bit each
        std::uint32_t revision;
        bool advanceKnown;            // `advance` is that of `text`
        std::int32_t advance;
        char text[kTextSize];
    };

    // Runs the passes over the row's page text.
    void expand(Row& row, const char* pageText, const TokenValues& values);
    bool valuesItUsesChanged(Row& row, const TokenValues& values);

    int cachedPage = -1;
    std::uint32_t revisions = 0;
    Counters work = {};
    const CharacterSet* measures = nullptr;
    char substitutionWork[kWorkBufferSize];
    Row rows[config::kMaxRows];
};

}  // namespace overlay
