#include "overlay/line_cache.h"

#include <cstring>

#include "config/substitute.h"

namespace overlay {

namespace {

constexpr char kMarkers[kTokenCount][2] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}};

bool isMarker(unsigned char c) { return c >= 1 && c <= kTokenCount; }

}  // namespace

LineCache::LineCache() { reset(-1); }

void LineCache::reset(int page) {
    cachedPage = page;
    for (Row& row : rows) {
        row.state = RowState::Unknown;
        row.tokenMask = 0;
        row.replacements = 0;
        row.expandedAt = 0;
        row.advanceKnown = false;
    }
}

void LineCache::setAdvances(const std::int16_t* table) {
    advances = table;
    for (Row& row : rows) row.advanceKnown = false;
}

std::int32_t LineCache::advanceOf(Row& row, const char* text) {
    if (advances == nullptr) return 0;
    if (!row.advanceKnown) {
        ++work.measures;
        std::int32_t sum = 0;
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) sum += advances[*p];
        row.advance = sum;
        row.advanceKnown = true;
    }
    return row.advance;
}

void LineCache::valueChanged(int token, const char* value, const config::EntryList& tokens) {
    changedAt[token] = ++changes;
    // A value that is a piece of some token name (the empty one is a piece of all) could join the
    // text around it into a token for a later pass.
    bool unsafe = false;
    for (int other = 0; other < tokens.count && !unsafe; ++other) {
        unsafe = std::strstr(tokens.entries[other].text, value) != nullptr;
    }
    const auto bit = static_cast<std::uint8_t>(1u << token);
    unsafeValues = static_cast<std::uint8_t>(unsafe ? (unsafeValues | bit) : (unsafeValues & ~bit));
}

int LineCache::runPasses(char* line, int lineSize, const config::EntryList& tokens, Values values) {
    ++work.scans;
    if (std::strchr(line, '*') == nullptr) return 0;  // every token starts with '*'
    const int passes = tokens.count < kTokenCount ? tokens.count : kTokenCount;
    int replacements = 0;
    for (int token = 0; token < passes; ++token) {
        const config::TextEntry& entry = tokens.entries[token];
        const char* value = values == Values::Markers ? kMarkers[token] : entry.value;
        replacements += config::substituteToken(substitutionWork, sizeof substitutionWork, line, line, entry.text,
                                                value, lineSize);
    }
    return replacements;
}

void LineCache::buildTemplate(Row& row, const char* text, const config::EntryList& tokens) {
    row.expandedAt = 0;
    row.advanceKnown = false;
    row.tokenMask = 0;
    row.replacements = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (isMarker(*p)) {
            row.state = RowState::Uncached;  // its own bytes would read as markers
            return;
        }
    }
    std::strncpy(row.tokenTemplate, text, sizeof row.tokenTemplate - 1);
    row.tokenTemplate[sizeof row.tokenTemplate - 1] = '\0';
    row.replacements = runPasses(row.tokenTemplate, static_cast<int>(sizeof row.tokenTemplate), tokens, Values::Markers);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(row.tokenTemplate); *p != 0; ++p) {
        if (isMarker(*p)) row.tokenMask = static_cast<std::uint8_t>(row.tokenMask | (1u << (*p - 1)));
    }
    row.state = row.replacements == 0 ? RowState::Plain : RowState::Template;
}

bool LineCache::needsExpanding(const Row& row) const {
    if (row.expandedAt == 0) return true;
    for (int token = 0; token < kTokenCount; ++token) {
        if ((row.tokenMask & (1u << token)) != 0 && changedAt[token] > row.expandedAt) return true;
    }
    return false;
}

bool LineCache::expand(Row& row, const config::EntryList& tokens) {
    ++work.expansions;
    std::size_t out = 0;
    constexpr std::size_t kLimit = kExpandedSize - 1;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(row.tokenTemplate); *p != 0; ++p) {
        if (!isMarker(*p)) {
            if (out >= kLimit) return false;
            row.expanded[out++] = static_cast<char>(*p);
            continue;
        }
        const char* value = tokens.entries[*p - 1].value;
        const std::size_t length = std::strlen(value);
        if (length > kLimit - out) return false;  // would be cut: leave that to the passes
        std::memcpy(row.expanded + out, value, length);
        out += length;
    }
    row.expanded[out] = '\0';
    row.expandedAt = changes;
    row.advanceKnown = false;
    return true;
}

LineCache::Line LineCache::compose(int index, const char* text, const config::EntryList& tokens, char* lineBuf,
                                   int lineBufSize) {
    Row& row = rows[index];
    if (row.state == RowState::Unknown) buildTemplate(row, text, tokens);

    if (row.state == RowState::Plain) return {text, 0, advanceOf(row, text)};
    if (row.state == RowState::Template && (unsafeValues & row.tokenMask) == 0) {
        if (!needsExpanding(row) || expand(row, tokens)) {
            return {row.expanded, row.replacements, advanceOf(row, row.expanded)};
        }
    }
    // The full passes make the text anew each frame, so it is measured anew too.
    row.expandedAt = 0;
    row.advanceKnown = false;
    std::strncpy(lineBuf, text, static_cast<std::size_t>(lineBufSize) - 1);
    lineBuf[lineBufSize - 1] = '\0';
    const int replacements = runPasses(lineBuf, lineBufSize, tokens, Values::Current);
    return {lineBuf, replacements, advanceOf(row, lineBuf)};
}

}  // namespace overlay
