#include "overlay/line_cache.h"

#include <cstring>

namespace overlay {

namespace {

// Copies at most size - 1 characters and a terminator, without strncpy's zero fill of the rest.
void copyText(char* dst, const char* src, std::size_t size) {
    std::size_t length = 0;
    while (length + 1 < size && src[length] != '\0') ++length;
    std::memcpy(dst, src, length);
    dst[length] = '\0';
}

}  // namespace

LineCache::LineCache() { reset(-1); }

void LineCache::reset(int page) {
    cachedPage = page;
    for (Row& row : rows) {
        row.state = RowState::Unknown;
        row.advanceKnown = false;
    }
}

void LineCache::setCharacters(const CharacterSet* characters) {
    measures = characters;
    for (Row& row : rows) row.advanceKnown = false;
}

void LineCache::expand(Row& row, const char* pageText, const TokenValues& values) {
    ++work.expansions;
    copyText(row.text, pageText, kTextSize);
    row.replacing = 0;
    for (int token = 0; token < kTokenCount; ++token) {
        if (substituteToken(substitutionWork, sizeof substitutionWork, row.text, row.text, values.name(token),
                                    values.value(token), kTextSize) > 0) {
            row.replacing |= 1u << token;
        }
    }
    row.valuesVersion = values.version();
    row.revision = ++revisions;
    row.advanceKnown = false;
}

// A row's passes give the same text again unless the value of a token they replaced changed: the
// first pass works on the page text, which is the same; a pass that replaced nothing still finds
// nothing in the same input, and one that replaced something with the same value makes the same
// output; so every pass's input and output stay the same.
bool LineCache::valuesItUsesChanged(Row& row, const TokenValues& values) {
    if (row.valuesVersion == values.version()) return false;
    for (int token = 0; token < kTokenCount; ++token) {
        if ((row.replacing & (1u << token)) != 0 && values.changedAfter(token, row.valuesVersion)) return true;
    }
    // Caught up, so that the frames until the next change cost the one comparison above.
    row.valuesVersion = values.version();
    return false;
}

DrawRow LineCache::compose(int index, const char* pageText, const TokenValues& values) {
    Row& row = rows[index];
    if (row.state == RowState::Unknown) {
        // Every token starts with '*'.
        row.state = std::strchr(pageText, '*') != nullptr ? RowState::Tokens : RowState::Plain;
        if (row.state == RowState::Plain) {
            copyText(row.text, pageText, kTextSize);
            row.revision = ++revisions;
            row.advanceKnown = false;
        } else {
            expand(row, pageText, values);
        }
    } else if (row.state == RowState::Tokens && valuesItUsesChanged(row, values)) {
        expand(row, pageText, values);
    }

    if (measures != nullptr && !row.advanceKnown) {
        ++work.measures;
        row.advance = measures->measure(row.text);
        row.advanceKnown = true;
    }
    DrawRow drawn;
    drawn.slot = index;
    drawn.revision = row.revision;
    drawn.text = row.text;
    drawn.advance = measures != nullptr ? row.advance : 0;
    return drawn;
}

}  // namespace overlay
