#include "key_listing.h"

#include <cstring>
#include <vector>

#include "config/config_keys.h"

namespace keys {

namespace {

constexpr std::size_t kTextColumn = 20;
constexpr std::size_t kLineWidth = 99;

// Keys that are described together: neighbours of one kind with the same words and values.
std::vector<std::vector<const config::KeySpec*>> groups() {
    std::vector<std::vector<const config::KeySpec*>> out;
    for (const config::KeySpec& spec : config::kConfigKeys) {
        const config::KeySpec* last = out.empty() ? nullptr : out.back().front();
        if (last != nullptr && last->kind == spec.kind && std::strcmp(last->help, spec.help) == 0 &&
            last->range.min == spec.range.min && last->range.max == spec.range.max &&
            last->range.fallback == spec.range.fallback && last->otherRanges == spec.otherRanges) {
            out.back().push_back(&spec);
        } else {
            out.push_back({&spec});
        }
    }
    return out;
}

// A name to type: in backquotes for Markdown, as it is in plain text.
std::string code(const std::string& text, bool markdown) { return markdown ? "`" + text + "`" : text; }

// The help words: its backquotes stay in Markdown and go in plain text.
std::string help(const config::KeySpec& spec, bool markdown) {
    std::string out;
    for (const char* p = spec.help; *p != '\0'; ++p) {
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

std::uint32_t allWords(const config::KeySpec& spec) { return (1u << spec.wordCount) - 1u; }

std::string span(const config::Range& range) { return std::to_string(range.min) + "-" + std::to_string(range.max); }

// The values that are valid, and the default, as words.
std::string valid(const config::KeySpec& spec, bool markdown) {
    switch (spec.kind) {
        case config::KeyKind::Integer: return span(spec.range);
        case config::KeyKind::Switch: return "any whole number";
        case config::KeyKind::Word:
            return oneOf(spec.words, allWords(spec), spec.wordCount, markdown) + ", in any case";
        case config::KeyKind::Text: return "any text";
    }
    return "";
}

std::string fallback(const config::KeySpec& spec, bool markdown) {
    switch (spec.kind) {
        case config::KeyKind::Integer: return std::to_string(spec.range.fallback);
        case config::KeyKind::Switch: return spec.words[0];
        case config::KeyKind::Word: return code(spec.words[spec.range.fallback], markdown);
        case config::KeyKind::Text: return code(spec.textDefault, markdown);
    }
    return "";
}

// "; with HUD_ANCHOR TOP_LEFT, TOP_RIGHT or BOTTOM_RIGHT: 0-640, default 10" for each other range.
std::string otherRanges(const config::KeySpec& spec, bool markdown) {
    std::string out;
    for (int r = 0; r < spec.otherRangeCount; ++r) {
        const config::Range& range = spec.otherRanges[r];
        const config::KeySpec& when = config::keySpec(range.whenKey);
        out += "; with " + code(when.name, markdown) + " " +
               oneOf(when.words, range.whenWords, when.wordCount, markdown) + ": " + span(range) + ", default " +
               std::to_string(range.fallback);
    }
    return out;
}

std::string names(const std::vector<const config::KeySpec*>& group, bool markdown) {
    std::string out;
    for (const config::KeySpec* spec : group) out += (out.empty() ? "" : ", ") + code(spec->name, markdown);
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
        const config::KeySpec& spec = *group.front();
        const std::string each = group.size() > 1 ? " each" : "";
        std::string values;
        switch (spec.kind) {
            case config::KeyKind::Integer:
                values = valid(spec, false) + each + ", default " + fallback(spec, false) + each;
                break;
            case config::KeyKind::Switch: values = "Any whole number, default " + fallback(spec, false); break;
            case config::KeyKind::Word: values = valid(spec, false) + "; default " + fallback(spec, false); break;
            case config::KeyKind::Text: values = "Default " + fallback(spec, false); break;
        }
        out += wrapped("  " + names(group, false), help(spec, false) + ". " + values + otherRanges(spec, false) + ".");
    }
    return out;
}

std::string markdownTable() {
    std::string out = "| Key | Meaning | Valid | Default |\n|---|---|---|---|\n";
    for (const auto& group : groups()) {
        const config::KeySpec& spec = *group.front();
        const std::string each = group.size() > 1 && spec.kind == config::KeyKind::Integer ? " each" : "";
        out += "| " + names(group, true) + " | " + help(spec, true) + otherRanges(spec, true) + " | " +
               valid(spec, true) + each + " | " + fallback(spec, true) + each + " |\n";
    }
    return out;
}

}  // namespace keys
