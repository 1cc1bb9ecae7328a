#include "key_listing.h"

#include <cstring>
#include <vector>

#include "config/config_keys.h"
#include "key_help.h"

namespace keys {

namespace {

constexpr std::size_t kTextColumn = 20;
constexpr std::size_t kLineWidth = 79;  // an 80-column console shows every line whole

// Keys that are described together: neighbours of one kind with the same words and values.
std::vector<std::vector<const config::KeyEntry*>> groups() {
    std::vector<std::vector<const config::KeyEntry*>> out;
    for (const config::KeyEntry& entry : config::kConfigKeys) {
        const config::KeyEntry* last = out.empty() ? nullptr : out.back().front();
        if (last != nullptr && last->kind == entry.kind && std::strcmp(keyHelp(last->key), keyHelp(entry.key)) == 0 &&
            last->range.min == entry.range.min && last->range.max == entry.range.max &&
            last->range.fallback == entry.range.fallback && last->otherRanges == entry.otherRanges) {
            out.back().push_back(&entry);
        } else {
            out.push_back({&entry});
        }
    }
    return out;
}

// A name to type: in backquotes for Markdown, as it is in plain text.
std::string code(const std::string& text, bool markdown) { return markdown ? "`" + text + "`" : text; }

// The help words: its backquotes stay in Markdown and go in plain text.
std::string help(const config::KeyEntry& entry, bool markdown) {
    std::string out;
    for (const char* p = keyHelp(entry.key); *p != '\0'; ++p) {
        if (*p != '`' || markdown) out += *p;
    }
    return out;
}

// "A, B or C", each a name to type.
std::string oneOf(const char* const* words, std::uint32_t mask, int count, bool markdown) {
    std::vector<std::string> chosen;
    for (int w = 0; w < count; ++w) {
        if ((mask >> w) & 1u) chosen.push_back(code(words[w], markdown));
    }
    std::string out;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        out += (i == 0 ? "" : i + 1 == chosen.size() ? " or " : ", ") + chosen[i];
    }
    return out;
}

std::uint32_t allWords(const config::KeyEntry& entry) { return (1u << entry.wordCount) - 1u; }

std::string span(const config::Range& range) { return std::to_string(range.min) + "-" + std::to_string(range.max); }

// The values that are valid, and the default, as words.
std::string valid(const config::KeyEntry& entry, bool markdown) {
    switch (entry.kind) {
        case config::KeyKind::Integer: return span(entry.range);
        case config::KeyKind::Switch: return "any whole number";
        case config::KeyKind::Word:
            return oneOf(entry.words, allWords(entry), entry.wordCount, markdown) + ", in any case";
        case config::KeyKind::Text: return "any text";
    }
    return "";
}

std::string fallback(const config::KeyEntry& entry, bool markdown) {
    switch (entry.kind) {
        case config::KeyKind::Integer: return std::to_string(entry.range.fallback);
        case config::KeyKind::Switch: return entry.words[0];
        case config::KeyKind::Word: return code(entry.words[entry.range.fallback], markdown);
        case config::KeyKind::Text: return entry.textDefault[0] != '\0' ? code(entry.textDefault, markdown) : "none";
    }
    return "";
}

// "; with HUD_UNITS PIXELS: 0-4096, default 10" for each other range; "with HUD_ANCHOR in the
// file" for a range that any of the key's words selects.
std::string otherRanges(const config::KeyEntry& entry, bool markdown) {
    std::string out;
    for (int r = 0; r < entry.otherRangeCount; ++r) {
        const config::Range& range = entry.otherRanges[r];
        const config::KeyEntry& when = config::keyEntry(range.whenKey);
        const std::string words = range.whenWords == allWords(when)
                                      ? std::string("in the file")
                                      : oneOf(when.words, range.whenWords, when.wordCount, markdown);
        out += "; with " + code(when.name, markdown) + " " + words + ": " + span(range) + ", default " +
               (range.fallbackName != nullptr ? range.fallbackName : std::to_string(range.fallback));
    }
    return out;
}

std::string names(const std::vector<const config::KeyEntry*>& group, bool markdown) {
    std::string out;
    for (const config::KeyEntry* entry : group) out += (out.empty() ? "" : ", ") + code(entry->name, markdown);
    return out;
}

// `text` in lines of at most kLineWidth characters from kTextColumn on, after `lead` on the first
// line when it leaves room, else on a line of its own.
std::string wrapped(const std::string& lead, const std::string& text) {
    const std::string indent(kTextColumn, ' ');
    std::string out;
    std::string line = lead;
    if (lead.size() < kTextColumn) {
        line.resize(kTextColumn, ' ');
    } else {
        out = lead + "\n";
        line = indent;
    }
    bool lineHasWord = false;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(at, end - at);
        if (lineHasWord && line.size() + 1 + word.size() > kLineWidth) {
            out += line + "\n";
            line = indent;
            lineHasWord = false;
        }
        line += (lineHasWord ? " " : "") + word;
        lineHasWord = true;
        at = end + 1;
    }
    return out + line + "\n";
}

}  // namespace

std::string plainListing() {
    std::string out;
    for (const auto& group : groups()) {
        const config::KeyEntry& entry = *group.front();
        const std::string each = group.size() > 1 ? " each" : "";
        std::string values;
        switch (entry.kind) {
            case config::KeyKind::Integer:
                values = valid(entry, false) + each + ", default " + fallback(entry, false) + each;
                break;
            case config::KeyKind::Switch: values = "Any whole number, default " + fallback(entry, false); break;
            case config::KeyKind::Word: values = valid(entry, false) + "; default " + fallback(entry, false); break;
            case config::KeyKind::Text: values = "Default " + fallback(entry, false); break;
        }
        out += wrapped("  " + names(group, false),
                       help(entry, false) + ". " + values + otherRanges(entry, false) + ".");
    }
    return out;
}

std::string markdownTable() {
    std::string out = "| Key | Meaning | Valid | Default |\n|---|---|---|---|\n";
    for (const auto& group : groups()) {
        const config::KeyEntry& entry = *group.front();
        const std::string each = group.size() > 1 && entry.kind == config::KeyKind::Integer ? " each" : "";
        out += "| " + names(group, true) + " | " + help(entry, true) + otherRanges(entry, true) + " | " +
               valid(entry, true) + each + " | " + fallback(entry, true) + each + " |\n";
    }
    return out;
}

}  // namespace keys
