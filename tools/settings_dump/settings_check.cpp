#include "settings_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>

#include "config/display_settings.h"
#include "overlay/line_cache.h"
#include "overlay/font_scale.h"
#include "overlay/row_layout.h"
#include "overlay/substitute.h"
#include "overlay/token_values.h"
#include "overlay/tokens.h"
#include "overlay/value_format.h"
#include "platform/portable_ini.h"
#include "platform/utf8.h"

namespace check {

namespace {

// Larger files are read only as far as this for their lines.
constexpr std::size_t kMaxFileBytes = 64u * 1024 * 1024;

// The file's bytes (a path of this system, UTF-8 on Windows); false when it cannot be read.
bool readFileBytes(const std::string& filePath, std::string* bytes) {
    std::ifstream in(std::filesystem::u8path(filePath), std::ios::binary);
    char chunk[64 * 1024];
    while (in && bytes->size() < kMaxFileBytes) {
        in.read(chunk, sizeof chunk);
        bytes->append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    return in || in.eof();
}

std::string fileBytes(const std::string& filePath) {
    std::string bytes;
    readFileBytes(filePath, &bytes);
    return bytes;
}

}  // namespace

std::string readableText(const std::string& text, std::size_t limit) {
    std::string out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t characters = 0;
    std::size_t at = 0;
    for (; at < text.size() && characters < limit; ++characters) {
        const platform::Utf8Character c = platform::decodeUtf8(bytes + at, text.size() - at, platform::Utf8Errors::Reject);
        char escape[12] = "";
        if (c.codePoint == platform::kNoCodePoint) {
            std::snprintf(escape, sizeof escape, "\\x%02X", bytes[at]);
        } else if (c.codePoint < 0x20 || c.codePoint == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c.codePoint));
        } else if (c.codePoint >= 0x80 && c.codePoint < 0xA0) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c.codePoint));
        }
        const std::size_t length = c.codePoint == platform::kNoCodePoint ? 1 : c.length;
        out += escape[0] != '\0' ? std::string(escape) : text.substr(at, length);
        at += length;
    }
    if (at < text.size()) out += "...";
    return out;
}

std::string textReading(const std::string& filePath) {
    const std::string bytes = fileBytes(filePath);
    platform::IniDocument* document =
        platform::parseIni(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    struct Seen {
        platform::TextSource mark = platform::TextSource::None;
        std::vector<std::uint32_t> utf8;
        std::vector<std::uint32_t> codePage;
    } seen;
    platform::visitIniLines(document, &platform::decodeAnsiText, [](const platform::IniLine& line, void* context) {
        auto& s = *static_cast<Seen*>(context);
        const platform::TextSource source = line.read.source;
        if (source == platform::TextSource::Utf8File || source == platform::TextSource::Utf16File) s.mark = source;
        if (source == platform::TextSource::Utf8) s.utf8.push_back(line.line);
        if (source == platform::TextSource::CodePage) s.codePage.push_back(line.line);
        return true;
    }, &seen);
    platform::freeIni(document);
    if (seen.mark == platform::TextSource::Utf16File) return "read as UTF-16 (it starts with a byte-order mark)";
    if (seen.mark == platform::TextSource::Utf8File) return "read as UTF-8 (it starts with a byte-order mark)";
    const std::string ansi = "the system's ANSI code page " + std::to_string(platform::ansiCodePage());
    if (seen.codePage.empty()) return "read as UTF-8";
    if (seen.utf8.empty()) return "read as " + ansi + " (its text is not UTF-8)";
    // A file that mixes the two: say which values are which, the fewer by their lines.
    const bool fewerInUtf8 = seen.utf8.size() < seen.codePage.size();
    const std::vector<std::uint32_t>& fewer = fewerInUtf8 ? seen.utf8 : seen.codePage;
    std::string lines;
    for (std::size_t i = 0; i < fewer.size() && i < 8; ++i) lines += (i == 0 ? "" : ", ") + std::to_string(fewer[i]);
    if (fewer.size() > 8) lines += ", ...";
    return "read as " + (fewerInUtf8 ? ansi : std::string("UTF-8")) + ", but for the " +
           (fewer.size() == 1 ? "value at line " : "values at lines ") + lines + ", read as " + (fewerInUtf8 ? std::string("UTF-8") : ansi);
}

namespace {

constexpr int kMaxPages = config::kMaxPages;
constexpr int kMaxRows = config::kMaxRows;
// Names longer than this are not compared with the known ones for a suggestion.
constexpr std::size_t kLongestSuggestible = 64;

std::string upper(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return out;
}

bool sameName(const std::string& a, const std::string& b) { return upper(a) == upper(b); }

std::string shown(const std::string& text) { return readableText(text, 60); }

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitute = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitute});
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// The known name `name` is likely a slip for: at most two edits away (one for short names), a
// difference of case only, or a known name it begins. Empty when there is none.
std::string nearest(const std::string& name, const std::vector<std::string>& known) {
    if (name.empty() || name.size() > kLongestSuggestible) return "";
    const std::string wanted = upper(name);
    std::string best;
    std::size_t bestDistance = 3;
    for (const std::string& candidate : known) {
        const std::string key = upper(candidate);
        std::size_t distance = editDistance(wanted, key);
        if (distance > 0 && key.compare(0, wanted.size(), wanted) == 0 && wanted.size() >= 4) distance = 2;
        const std::size_t allowed = key.size() <= 4 ? 1 : 2;
        if (distance <= allowed && distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string suggestion(const std::string& name, const std::vector<std::string>& known, const char* before = "",
                       const char* after = "") {
    const std::string close = nearest(name, known);
    return close.empty() ? "" : std::string(" (did you mean ") + before + close + after + "?)";
}

// A line as the check keeps it.
struct Line {
    bool header;
    std::uint32_t number;
    std::string name;
    bool hasValue;
    std::string value;
    std::uint32_t valueLength;
    bool quoted;
    platform::TextRead read;
    int section;  // index into the sections; -1 for keys before the first header
};

bool collect(const platform::IniLine& line, void* context) {
    auto* lines = static_cast<std::vector<Line>*>(context);
    const int section = lines->empty() ? -1 : (lines->back().header ? static_cast<int>(lines->size()) - 1
                                                                    : lines->back().section);
    lines->push_back({line.header, line.line, line.name, line.hasValue, line.value, line.valueLength, line.quoted,
                      line.read, line.header ? static_cast<int>(lines->size()) : section});
    return true;
}

// Lines starting with ';' or '#' are comments to their writer; the reader takes them as keys that
// nobody asks for, which does no harm.
bool isComment(const Line& line) { return !line.name.empty() && (line.name[0] == ';' || line.name[0] == '#'); }

// "[SECTION2" without its ']': the reader takes it for a key of the section above, as it does the
// lines after it.
bool unfinishedHeader(const Line& line) { return !line.header && !line.name.empty() && line.name[0] == '['; }

// A line without '=' sets nothing: its whole text is a key name that nobody asks for. Says so,
// with the key it seems to hold: the known name its first word is, or is close to.
std::string withoutEquals(const Line& line, const std::vector<std::string>& known) {
    std::size_t end = 0;
    while (end < line.name.size() && (std::isalnum(static_cast<unsigned char>(line.name[end])) || line.name[end] == '_')) {
        ++end;
    }
    const std::string word = line.name.substr(0, end);
    std::size_t rest = end;
    while (rest < line.name.size() && (line.name[rest] == ' ' || line.name[rest] == '\t' || line.name[rest] == ':')) ++rest;
    const std::string value = line.name.substr(rest);
    const auto exact = std::find_if(known.begin(), known.end(), [&](const std::string& name) { return sameName(name, word); });
    const std::string key = exact != known.end() ? *exact : nearest(word, known);
    if (key.empty()) return "\"" + shown(line.name) + "\" has no '=': the line sets nothing";
    if (value.empty() && exact != known.end()) return key + " has no '=': the line sets nothing (write " + key + "=VALUE)";
    return "\"" + shown(line.name) + "\" has no '=': the line sets nothing (write " + key + "=" +
           shown(value.empty() ? std::string("VALUE") : value) + ")";
}

// A value that starts with a quote the line does not close keeps it: the reader takes off only a
// pair of equal quotes.
bool unfinishedQuote(const Line& line) {
    return line.hasValue && !line.quoted && !line.value.empty() && (line.value[0] == '"' || line.value[0] == '\'');
}

std::string quoteWarning(const Line& line, const std::string& what, const char* consequence) {
    return what + " starts with " + line.value[0] + " but does not end with it: " + consequence;
}

// Characters of a value that could not be decoded and are drawn as U+FFFD, and why.
std::string undecodedWarning(const Line& line, const std::string& what) {
    const std::uint32_t count = line.read.replaced;
    if (count == 0) return "";
    const std::string many = count == 1 ? "" : "s";
    const std::string shownAs = ", shown as \xEF\xBF\xBD (U+FFFD)";
    switch (line.read.source) {
        case platform::TextSource::CodePage:
            return what + " is not UTF-8 and is read in the system's ANSI code page " +
                   std::to_string(platform::ansiCodePage()) + ", which leaves " + std::to_string(count) + " byte" + many +
                   " undefined" + shownAs + " (save the file as UTF-8)";
        case platform::TextSource::Utf16File:
            return what + " holds " + std::to_string(count) + " lone surrogate" + many + ", which UTF-16 cannot decode" + shownAs;
        default:
            return what + " holds " + std::to_string(count) + " byte sequence" + many + " that UTF-8 cannot decode" + shownAs;
    }
}

// Scripts whose letters join or reorder, which the drawing puts down one by one, left to right.
struct ShapedScript {
    std::uint32_t first;
    std::uint32_t last;
    const char* name;
};
constexpr ShapedScript kShapedScripts[] = {
    {0x0590, 0x05FF, "Hebrew"},  {0x0600, 0x06FF, "Arabic"},     {0x0700, 0x074F, "Syriac"},
    {0x0750, 0x077F, "Arabic"},  {0x0780, 0x07BF, "Thaana"},     {0x0860, 0x08FF, "Arabic"},
    {0x0900, 0x097F, "Devanagari"}, {0x0980, 0x09FF, "Bengali"}, {0x0A00, 0x0A7F, "Gurmukhi"},
    {0x0A80, 0x0AFF, "Gujarati"}, {0x0B00, 0x0B7F, "Oriya"},     {0x0B80, 0x0BFF, "Tamil"},
    {0x0C00, 0x0C7F, "Telugu"},  {0x0C80, 0x0CFF, "Kannada"},    {0x0D00, 0x0D7F, "Malayalam"},
    {0x0D80, 0x0DFF, "Sinhala"}, {0x0E00, 0x0E7F, "Thai"},       {0x0E80, 0x0EFF, "Lao"},
    {0x0F00, 0x0FFF, "Tibetan"}, {0x1000, 0x109F, "Myanmar"},    {0x1780, 0x17FF, "Khmer"},
    {0xA8E0, 0xA8FF, "Devanagari"}, {0xFB1D, 0xFB4F, "Hebrew"},  {0xFB50, 0xFDFF, "Arabic"},
    {0xFE70, 0xFEFF, "Arabic"},
};

// The first script of `text` (UTF-8) that needs shaping; null when it has none.
const char* shapedScript(const std::string& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        const platform::Utf8Character c = platform::decodeUtf8(bytes + at, text.size() - at, platform::Utf8Errors::Reject);
        at += c.codePoint == platform::kNoCodePoint ? 1 : c.length;
        for (const ShapedScript& script : kShapedScripts) {
            if (c.codePoint >= script.first && c.codePoint <= script.last) return script.name;
        }
    }
    return nullptr;
}

// What atol makes of a value that is not a plain whole number: only digits, after a sign.
bool plainWholeNumber(const std::string& text) {
    std::size_t i = text[0] == '+' || text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

class Checker {
public:
    Checker(const std::string& shownName, std::vector<std::string>* out) : file(shownName), messages(out) {}

    void warn(std::uint32_t line, const std::string& text) { warnings.push_back({line, text}); }
    void error(const std::string& text) { errors.push_back(text); }

    Outcome finish() {
        std::stable_sort(warnings.begin(), warnings.end(), [](const Warning& a, const Warning& b) {
            // Warnings without a line come last.
            const std::uint32_t la = a.line == 0 ? UINT32_MAX : a.line;
            const std::uint32_t lb = b.line == 0 ? UINT32_MAX : b.line;
            return la < lb;
        });
        for (const std::string& text : errors) messages->push_back(file + ": error: " + text);
        std::size_t written = 0;
        for (const Warning& warning : warnings) {
            if (written == kMaxWarnings) break;
            messages->push_back(file + (warning.line != 0 ? ":" + std::to_string(warning.line) : "") + ": warning: " +
                                warning.text);
            ++written;
        }
        if (warnings.size() > written) {
            const std::size_t more = warnings.size() - written;
            messages->push_back(file + ": warning: ... and " + std::to_string(more) +
                                (more == 1 ? " more warning" : " more warnings"));
        }
        if (!errors.empty()) return Outcome::Unusable;
        return warnings.empty() ? Outcome::Clean : Outcome::Warnings;
    }


private:
    struct Warning {
        std::uint32_t line;
        std::string text;
    };
    std::string file;
    std::vector<std::string>* messages;
    std::vector<Warning> warnings;
    std::vector<std::string> errors;
};

std::vector<std::string> configNames() {
    std::vector<std::string> names;
    for (const config::KeyEntry& entry : config::kConfigKeys) names.push_back(entry.name);
    return names;
}

// "A, B or C"
std::string oneOf(const std::vector<std::string>& words) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        out += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    }
    return out;
}

std::vector<std::string> sectionNames() {
    std::vector<std::string> names = {config::kConfigSection};
    for (int page = 1; page <= kMaxPages; ++page) names.push_back(config::kPageSectionPrefix + std::to_string(page));
    return names;
}

std::vector<std::string> rowNames() {
    std::vector<std::string> names;
    for (int row = 1; row <= kMaxRows; ++row) names.push_back(config::kRowKeyPrefix + std::to_string(row));
    return names;
}

// The number in a key name made of `prefix` and a canonical decimal (ROWDATA7, SECTION12); 0 when
// the name is not one.
int numberAfter(const std::string& name, const char* prefix) {
    const std::string wanted = upper(name);
    const std::size_t length = std::strlen(prefix);
    if (wanted.compare(0, length, prefix) != 0 || wanted.size() == length || wanted.size() > length + 6) return 0;
    if (wanted[length] == '0') return 0;
    int number = 0;
    for (std::size_t i = length; i < wanted.size(); ++i) {
        if (wanted[i] < '0' || wanted[i] > '9') return 0;
        number = number * 10 + (wanted[i] - '0');
    }
    return number;
}

// The first line of each key name in a section, names compared as the reader compares them.
class FirstLines {
public:
    // The first line with `line`'s name, or null when `line` is the first (and is kept).
    const Line* firstOf(const Line& line) {
        const auto inserted = first.emplace(upper(line.name), &line);
        return inserted.second ? nullptr : inserted.first->second;
    }

private:
    std::unordered_map<std::string, const Line*> first;
};

// Fonts made to take the place of others with the same metrics: text drawn in one lays out as in
// the other, so a system that draws one for the other has it as far as the overlay goes.
bool metricTwin(const std::string& face, const std::string& drawn) {
    static const char* const kTwins[][2] = {
        {"ARIAL", "LIBERATION SANS"},          {"ARIAL", "ARIMO"},
        {"TIMES NEW ROMAN", "LIBERATION SERIF"}, {"TIMES NEW ROMAN", "TINOS"},
        {"COURIER NEW", "LIBERATION MONO"},    {"COURIER NEW", "COUSINE"},
    };
    for (const auto& twin : kTwins) {
        if (upper(face) == twin[0] && upper(drawn) == twin[1]) return true;
    }
    return false;
}

// The font in force as the plug-in measures it, and the view the rows are laid out in: the
// characters the rows draw, each once and sorted, with their advances and whether no face has them.
struct ViewLayout {
    int width;
    int height;
    bool measured = false;  // the font was measured: rows have their widths and heights
    platform::GlyphMetrics font = {};
    std::vector<std::uint32_t> characters;
    std::vector<std::int16_t> advances;
    std::unique_ptr<bool[]> missing;

    int indexOf(std::uint32_t c) const {
        const auto at = std::lower_bound(characters.begin(), characters.end(), c);
        return at != characters.end() && *at == c ? static_cast<int>(at - characters.begin()) : -1;
    }
    std::int32_t advanceOf(const std::string& text) const {
        std::int32_t sum = 0;
        for (std::size_t at = 0; at < text.size();) {
            const int index = indexOf(overlay::nextCharacter(text.c_str(), &at));
            if (index >= 0) sum += advances[static_cast<std::size_t>(index)];
        }
        return sum;
    }
};

struct Context {
    Checker& checker;
    const std::vector<Line>& lines;
    const config::PageTable& pages;
    const config::DisplaySettings& settings;
    const config::DisplaySettings& drawn;  // as the rows are laid out under FONT_SCALE in the view
    const config::SettingsReport& report;
    const ViewLayout& view;
    // By line index: the number of the unfinished header the line follows in its section, or 0.
    const std::vector<std::uint32_t>& afterUnfinished;
    bool overlapFound = false;   // rows that overlap are told once a file
};

// What a warning about `line` adds when the line is where it is because a header above it is
// unfinished.
std::string unfinishedNote(const Context& c, const Line& line) {
    const std::uint32_t header = c.afterUnfinished[static_cast<std::size_t>(&line - c.lines.data())];
    return header == 0 ? "" : " (the section header at line " + std::to_string(header) + " is unfinished)";
}

// Says what an unfinished header does where it is; false when `line` is none.
bool checkUnfinishedHeader(Context& c, const Line& line) {
    if (!unfinishedHeader(line)) return false;
    const std::string above = line.section < 0 ? "" : "[" + shown(c.lines[static_cast<std::size_t>(line.section)].name) + "]";
    c.checker.warn(line.number, "\"" + shown(line.name) + "\" is an unfinished section header (no closing ']'): " +
                                    (above.empty() ? "it and the lines after it come before any [section] and are never read"
                                                   : "the lines after it belong to " + above + " above it"));
    return true;
}

// Why a key a section does not have is there: a key of the other kind of section.
std::string otherSectionNote(const std::string& name, bool inConfig) {
    const auto configKey = std::find_if(std::begin(config::kConfigKeys), std::end(config::kConfigKeys),
                                        [&](const config::KeyEntry& k) { return sameName(name, k.name); });
    if (!inConfig && configKey != std::end(config::kConfigKeys)) return ": it belongs in [" + std::string(config::kConfigSection) + "]";
    if (inConfig && numberAfter(name, config::kRowKeyPrefix) > 0) {
        return ": rows belong in a page, [" + std::string(config::kPageSectionPrefix) + "1] to [" +
               config::kPageSectionPrefix + std::to_string(kMaxPages) + "]";
    }
    return "";
}

// DATE_FORMAT and TIME_FORMAT: fields that are none, a format that shows nothing that changes, a
// text longer than the token holds. `format` is the value in force.
void checkClockFormat(Context& c, const Line& line, const std::string& name, const char* format) {
    const std::string token = name == "DATE_FORMAT" ? "*CUR_DATE*" : "*CUR_TIME*";
    static const std::string kFields = "HIpMSYymd%";
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') continue;
        if (p[1] == '\0') {
            c.checker.warn(line.number, name + " ends with a '%' that starts no field: it is shown as written");
            break;
        }
        if (kFields.find(p[1]) == std::string::npos) {
            c.checker.warn(line.number, name + ": %" + shown(std::string(1, p[1])) +
                                            " is not a field and is shown as written (fields: %H %I %p %M %S %Y %y "
                                            "%m %d, and %% for a '%')");
        }
        ++p;
    }
    if (overlay::calendarFields(format) == 0) {
        c.checker.warn(line.number, name + "=" + shown(format) + " shows no field of the clock: " + token +
                                        " never changes");
    }
    // The longest text the format makes: every number at its widest.
    char text[16 * config::kTextFieldSize];
    const platform::CalendarTime widest = {8099, 11, 28, 23, 59, 59};
    const std::size_t length = overlay::formatCalendar(text, sizeof text, format, widest);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < length; ++i) characters += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 ? 1 : 0;
    if (characters > static_cast<std::size_t>(overlay::TokenValues::kClockCharacters)) {
        c.checker.warn(line.number, name + " makes texts of up to " + std::to_string(characters) + " characters: " +
                                        token + " shows only the first " +
                                        std::to_string(overlay::TokenValues::kClockCharacters));
    }
}

void checkConfigValue(Context& c, const Line& line, const config::KeyEntry& entry) {
    const int index = static_cast<int>(entry.key);
    const std::string name = entry.name;
    const std::string assignment = name + "=" + shown(line.value);
    if (line.value.empty()) {
        c.checker.warn(line.number, name + " is empty, which reads as missing");
        return;
    }
    if (line.read.cut) {
        c.checker.warn(line.number, "the value of " + name + " has " + std::to_string(line.read.characters) +
                                        " characters: only the first " + std::to_string(platform::kMaxTextCharacters) +
                                        " are read");
    }
    if (unfinishedQuote(line)) c.checker.warn(line.number, quoteWarning(line, assignment, "the quote is part of the value"));
    switch (entry.kind) {
        case config::KeyKind::Text: {
            const std::string undecoded = undecodedWarning(line, name);
            if (!undecoded.empty()) c.checker.warn(line.number, undecoded);
            if (entry.key == config::ConfigKey::DateFormat || entry.key == config::ConfigKey::TimeFormat) {
                const bool date = entry.key == config::ConfigKey::DateFormat;
                checkClockFormat(c, line, name, date ? c.settings.dateFormat : c.settings.timeFormat);
            }
            return;
        }
        case config::KeyKind::Word:
            if (c.report.source[index] == config::ValueSource::OutOfRange) {
                const std::vector<std::string> words(entry.words, entry.words + entry.wordCount);
                c.checker.warn(line.number, assignment + " is not " + entry.wordsName + ": " +
                                                words[entry.range.fallback] + " applies; use " + oneOf(words) +
                                                suggestion(line.value, words));
            }
            return;
        case config::KeyKind::Integer:
        case config::KeyKind::Switch: break;
    }
    if (!plainWholeNumber(line.value)) {
        c.checker.warn(line.number, assignment + " is not a whole number: it reads as " +
                                        std::to_string(c.report.fileValue[index]));
    }
    if (entry.kind == config::KeyKind::Integer && c.report.source[index] == config::ValueSource::OutOfRange) {
        const config::Range& range = config::rangeInForce(entry.key, c.report);
        c.checker.warn(line.number, assignment + " is out of range (" + std::to_string(range.min) + " to " +
                                        std::to_string(range.max) + "): the default" +
                                        (range.fallbackName != nullptr ? ", " + std::string(range.fallbackName) + ","
                                                                       : " " + std::to_string(range.fallback)) +
                                        " applies");
    }
}

void checkConfig(Context& c, int sectionIndex, check::FontLookup fonts) {
    const std::vector<std::string> known = configNames();
    FirstLines seen;
    for (const Line& line : c.lines) {
        if (line.header || line.section != sectionIndex || isComment(line) || checkUnfinishedHeader(c, line)) continue;
        if (!line.hasValue) {
            c.checker.warn(line.number, withoutEquals(line, known));
            continue;
        }
        if (const Line* first = seen.firstOf(line)) {
            c.checker.warn(line.number, shown(line.name) + " appears again in [CONFIG]: the first, at line " +
                                            std::to_string(first->number) + ", is in force" + unfinishedNote(c, line));
            continue;
        }
        const auto entry = std::find_if(std::begin(config::kConfigKeys), std::end(config::kConfigKeys),
                                       [&](const config::KeyEntry& k) { return sameName(line.name, k.name); });
        if (entry == std::end(config::kConfigKeys)) {
            const std::string other = otherSectionNote(line.name, true);
            c.checker.warn(line.number, "[CONFIG] has no key " + shown(line.name) +
                                            (other.empty() ? suggestion(line.name, known) : other) + unfinishedNote(c, line));
            continue;
        }
        checkConfigValue(c, line, *entry);
        if (entry->key == config::ConfigKey::FontFace && fonts != nullptr &&
            c.report.source[static_cast<int>(entry->key)] == config::ValueSource::File) {
            std::string drawn;
            if (!fonts(c.settings.fontFace, &drawn) && !metricTwin(c.settings.fontFace, drawn)) {
                c.checker.warn(line.number, "font \"" + shown(c.settings.fontFace) +
                                                "\" is not installed here: text is drawn in \"" + drawn + "\"");
            }
        }
    }
}

// A token without one of its asterisks is shown as written. Runs the plug-in's token passes, in
// their order, over the row with a blank for each value, and looks for token names left with an
// asterisk on one side.
void checkTokenEnds(Context& c, const Line& line, const std::string& where, const char* text) {
    char expanded[config::kTextBufferSize];
    char work[config::kTextBufferSize];
    std::snprintf(expanded, sizeof expanded, "%s", text);
    for (const char* token : overlay::kTokenNames) {
        overlay::substituteToken(work, sizeof work, expanded, expanded, token, " ", static_cast<int>(sizeof expanded));
    }
    const std::string row = expanded;
    const auto nameCharacter = [&](std::size_t at) {
        return at < row.size() && (std::isalnum(static_cast<unsigned char>(row[at])) || row[at] == '_');
    };
    for (const char* token : overlay::kTokenNames) {
        const std::string name = std::string(token).substr(1, std::strlen(token) - 2);
        for (std::size_t at = row.find(name); at != std::string::npos; at = row.find(name, at + 1)) {
            if ((at > 0 && nameCharacter(at - 1)) || nameCharacter(at + name.size())) continue;
            const bool opened = at > 0 && row[at - 1] == '*';
            const bool closed = at + name.size() < row.size() && row[at + name.size()] == '*';
            if (opened == closed) continue;
            c.checker.warn(line.number, where + ": " + (opened ? "*" + name : name + "*") + " has no " +
                                            (opened ? "closing" : "opening") + " asterisk and is shown as written (write " +
                                            token + ")");
        }
    }
}

// Words users write in capitals for what a token shows, and the token that shows it.
constexpr const char* kTokenSynonyms[][2] = {
    {"TIME", "CUR_TIME"},     {"CLOCK", "CUR_TIME"},       {"NOW", "CUR_TIME"},      {"DATE", "CUR_DATE"},
    {"TODAY", "CUR_DATE"},    {"FRAMERATE", "FPS"},        {"FRAME_RATE", "FPS"},    {"FRAMES", "FPS"},
    {"ELAPSED_TIME", "ELAPSED"}, {"UPTIME", "ELAPSED"},    {"TIMER", "ELAPSED"},     {"CAMERA", "CAMERA_NAME"},
    {"VIEW", "CAMERA_NAME"},  {"SELECTED", "SEL_COUNT"},   {"SELECTION", "SEL_COUNT"}, {"MODE", "SEL_MODE"},
};

// *WORD* between asterisks that is no token is drawn as written: said of every word in capitals
// (with digits and underscores), which reads as a token to its writer, and of any other word
// close to a token's name; text with spaces, punctuation or other letters is taken for text.
void checkTokenLikeWords(Context& c, const Line& line, const std::string& where, const std::string& row) {
    std::vector<std::string> tokens;
    std::string list;
    for (int t = 0; t < overlay::kTokenCount; ++t) {
        const std::string token = overlay::kTokenNames[t];
        list += (t == 0 ? "" : t + 1 == overlay::kTokenCount ? " and " : ", ") + token;
        tokens.push_back(token.substr(1, token.size() - 2));
    }
    const auto isWordCharacter = [](char ch) {
        return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_';
    };
    for (std::size_t open = row.find('*'); open != std::string::npos;) {
        const std::size_t close = row.find('*', open + 1);
        if (close == std::string::npos) break;
        const std::string word = row.substr(open + 1, close - open - 1);
        const bool wordLike = !word.empty() && std::all_of(word.begin(), word.end(), isWordCharacter);
        open = wordLike ? row.find('*', close + 1) : close;
        if (!wordLike || std::find(tokens.begin(), tokens.end(), word) != tokens.end()) continue;
        std::string meant = nearest(word, tokens);
        for (const auto& synonym : kTokenSynonyms) {
            if (word == synonym[0]) meant = synonym[1];
        }
        const bool capitals = upper(word) == word && std::any_of(word.begin(), word.end(), [](char ch) {
                                  return ch >= 'A' && ch <= 'Z';
                              });
        if (meant.empty() && !capitals) continue;
        c.checker.warn(line.number, where + ": *" + word + "* is not a token and is drawn as written" +
                                        (meant.empty() ? "; the tokens are " + list : " (did you mean *" + meant + "*?)"));
    }
}

// ---- Layout -------------------------------------------------------------------------------------

overlay::PageLayout pageLayout(const Context& c, int page) {
    overlay::PageLayout layout;
    while (c.pages.rowText(page, layout.rowCount) != nullptr) ++layout.rowCount;
    layout.ascent = c.view.font.ascent;
    layout.descent = c.view.font.descent;
    layout.lineHeight = c.view.font.lineHeight;
    layout.viewWidth = c.view.width;
    layout.viewHeight = c.view.height;
    return layout;
}

// The text a row draws, its tokens replaced as the plug-in replaces them, by values that stand for
// what they show: the longest camera name and selection mode, five-digit counts, a two-digit frame
// rate, ten hours elapsed, and the clock formats in force at 23:59:59 on 28 December 2025.
std::string drawnText(const config::DisplaySettings& settings, const char* text) {
    char dated[overlay::TokenValues::kClockTextSize];
    char timed[overlay::TokenValues::kClockTextSize];
    const platform::CalendarTime late = {125, 11, 28, 23, 59, 59};
    overlay::formatCalendar(dated, sizeof dated, settings.dateFormat, late);
    overlay::formatCalendar(timed, sizeof timed, settings.timeFormat, late);
    const char* values[overlay::kTokenCount] = {};
    values[overlay::kTokenCameraName] = "Main Perspective";
    values[overlay::kTokenDate] = dated;
    values[overlay::kTokenTime] = timed;
    values[overlay::kTokenElapsed] = "10:00:00";
    values[overlay::kTokenSelectedFaces] = "10000";
    values[overlay::kTokenSelectedEdges] = "10000";
    values[overlay::kTokenSelectedVertices] = "10000";
    values[overlay::kTokenFramesPerSecond] = "60";
    values[overlay::kTokenSelectionMode] = "Vertices";
    values[overlay::kTokenSelectionCount] = "10000";
    char drawn[overlay::LineCache::kTextSize];
    char work[overlay::kWorkBufferSize];
    std::snprintf(drawn, sizeof drawn, "%s", text);
    for (int token = 0; token < overlay::kTokenCount; ++token) {
        overlay::substituteToken(work, sizeof work, drawn, drawn, overlay::kTokenNames[token], values[token],
                                static_cast<int>(sizeof drawn));
    }
    return drawn;
}

std::string pixelCount(int pixels) { return std::to_string(pixels) + (pixels == 1 ? " pixel" : " pixels"); }

// "HUD_STEP_Y=15", or "the default HUD_STEP_Y=15" where the file does not set the value in force.
std::string setting(const Context& c, config::ConfigKey key, int value) {
    const bool fromFile = c.report.source[static_cast<int>(key)] == config::ValueSource::File;
    return (fromFile ? "" : "the default ") + std::string(config::configKeyName(key)) + "=" + std::to_string(value);
}

// What places a row up or down (or across) the view, as the file sets it.
std::string placementNote(const Context& c, bool across, int pixelStep) {
    const config::DisplaySettings& s = c.settings;
    const bool pixels = s.units == config::Units::Pixels;
    std::string note = across ? setting(c, config::ConfigKey::PosX, static_cast<int>(s.posX))
                              : setting(c, config::ConfigKey::PosY, static_cast<int>(s.posY)) +
                                    (s.stepY >= 1.0f ? ", " + setting(c, config::ConfigKey::StepY, static_cast<int>(s.stepY))
                                                     : ", steps of the font's line height, " + pixelCount(pixelStep));
    if (s.anchorInFile) note += ", HUD_ANCHOR=" + std::string(config::anchorName(s.anchor));
    if (pixels) note += ", HUD_UNITS=PIXELS";
    return " (" + note + ")";
}

// Where row `row` of `page` lands in the view, measured with the font in force: a row off the
// screen or wholly outside the view is not shown; one partly outside is cut (in PIXELS units) or
// spills past the view (in SCREEN units).
void checkRowPlace(Context& c, const Line& line, const std::string& where, int page, int row, const char* text) {
    const overlay::PageLayout layout = pageLayout(c, page);
    const int advance = c.view.measured ? c.view.advanceOf(drawnText(c.settings, text)) : 0;
    const overlay::RowLocation location = overlay::locateRow(c.drawn, layout, row, advance);
    const overlay::RowPlace& place = location.place;
    const bool pixels = c.settings.units == config::Units::Pixels;
    const std::string inView = " in a " + std::to_string(c.view.width) + "x" + std::to_string(c.view.height) + " view";
    const int step = overlay::pixelStep(c.drawn, layout);
    const auto notShown = [&](const char* edge, bool across) {
        c.checker.warn(line.number, where + " is " + edge + inView + " and is not shown" + placementNote(c, across, step));
    };
    // GL has no raster position for a point off the screen, and draws nothing there.
    if (!location.onScreen) {
        if (place.y < 0.0f) return notShown("below the bottom edge", false);
        if (place.y > static_cast<float>(config::kScreenHeight)) return notShown("above the top edge", false);
        return notShown(place.x < 0.0f ? "past the left edge" : "past the right edge", true);
    }
    if (!c.view.measured || advance == 0) return;  // nothing measured, or nothing drawn
    // The row's glyphs in window pixels from the view's bottom-left corner, as the drawing puts them.
    const int left = location.pen.x;
    const int baseline = location.pen.y;
    const int right = left + advance;
    const int bottom = baseline - c.view.font.descent;
    const int top = baseline + c.view.font.ascent;
    if (top <= 0) return notShown("below the bottom edge", false);
    if (bottom >= c.view.height) return notShown("above the top edge", false);
    if (right <= 0) return notShown("past the left edge", true);
    if (left >= c.view.width) return notShown("past the right edge", true);
    // In pixels the drawing cuts rows at the view's edges; in the screen's units they spill over.
    const std::string cut = pixels ? ": only the part inside is shown" : "";
    const auto partly = [&](const char* verb, int pixelsOut, const char* edge, bool across) {
        c.checker.warn(line.number, where + " " + verb + " " + pixelCount(pixelsOut) + " " + edge + inView + cut +
                                        placementNote(c, across, step));
    };
    if (left < 0) partly("runs", -left, "past the left edge", true);
    if (right > c.view.width) partly("runs", right - c.view.width, "past the right edge", true);
    if (bottom < 0) partly("reaches", -bottom, "below the bottom edge", false);
    if (top > c.view.height) partly("reaches", top - c.view.height, "above the top edge", false);
}

// Rows of a page closer than the font's line height: the first two of a page that are, once a
// file, with the least HUD_STEP_Y that keeps every row of the page apart in the view. In SCREEN
// units the step grows with the view, so the warning says up to which height they overlap.
void checkRowSpacing(Context& c, int sectionIndex, int page) {
    if (!c.view.measured || c.overlapFound) return;
    const overlay::PageLayout layout = pageLayout(c, page);
    const int lineHeight = c.view.font.lineHeight;
    const bool pixels = c.settings.units == config::Units::Pixels;
    // The drawn rows (BLANK rows draw nothing), and how few steps lie between two of them.
    std::vector<int> drawn;
    int fewestApart = layout.rowCount;
    const bool followsView = c.settings.fontScale == config::FontScale::View;
    for (int row = 0; row < layout.rowCount; ++row) {
        if (c.pages.rowText(page, row)[0] == '\0') continue;
        if (!drawn.empty()) fewestApart = std::min(fewestApart, row - drawn.back());
        drawn.push_back(row);
    }
    for (std::size_t i = 1; i < drawn.size(); ++i) {
        const int above = drawn[i - 1];
        const int row = drawn[i];
        // In SCREEN units the step is HUD_STEP_Y * height / 480 pixels: below the line height in
        // views less than lineHeight * 480 / HUD_STEP_Y high.
        const long long apart = static_cast<long long>(row - above) * (pixels ? overlay::pixelStep(c.drawn, layout)
                                                                              : static_cast<int>(c.drawn.stepY));
        const long long lowest = (static_cast<long long>(lineHeight) * config::kScreenHeight + apart - 1) / apart;
        if (pixels ? apart >= lineHeight : c.view.height >= lowest) continue;
        // The least step that puts the closest drawn rows a line height apart in this view.
        const long long stepPixels = (lineHeight + fewestApart - 1) / fewestApart;
        const long long least =
            pixels ? stepPixels
                   : (static_cast<long long>(lineHeight) * config::kScreenHeight + static_cast<long long>(fewestApart) * c.view.height - 1) /
                         (static_cast<long long>(fewestApart) * c.view.height);
        const config::Range& range = config::rangeInForce(config::ConfigKey::StepY, c.report);
        const std::string fix = least <= range.max ? "; HUD_STEP_Y=" + std::to_string(least) + " or more keeps them apart" +
                                                         (pixels ? "" : " in this view")
                                                   : "";
        const std::string key = config::kRowKeyPrefix + std::to_string(row + 1);
        const auto at = std::find_if(c.lines.begin(), c.lines.end(), [&](const Line& l) {
            return !l.header && l.section == sectionIndex && sameName(l.name, key);
        });
        c.checker.warn(at != c.lines.end() ? at->number : 0,
                       "rows " + std::to_string(above + 1) + " and " + std::to_string(row + 1) + " of page " +
                           std::to_string(page + 1) + " overlap in a " + std::to_string(c.view.width) + "x" +
                           std::to_string(c.view.height) + " view" +
                           (pixels ? ", as in any other"
                            : followsView ? ", as in any other, the font growing with the view (FONT_SCALE=VIEW)"
                                          : ", as in any view less than " + std::to_string(lowest) + " pixels high") +
                           ": the font's line height is " + std::to_string(lineHeight) + " pixels, " +
                           setting(c, config::ConfigKey::StepY, static_cast<int>(c.settings.stepY)) +
                           (pixels ? ", HUD_UNITS=PIXELS" : "") + fix);
        c.overlapFound = true;
        return;
    }
}

// Characters of a row that no face draws: not FONT_FACE, not FONT_FALLBACK's, not the system's.
void checkRowGlyphs(Context& c, const Line& line, const std::string& where, const char* text) {
    if (!c.view.measured) return;
    std::string shownCharacters;
    std::vector<std::uint32_t> seen;
    for (std::size_t at = 0; text[at] != '\0';) {
        const std::size_t start = at;
        const std::uint32_t ch = overlay::nextCharacter(text, &at);
        const int index = c.view.indexOf(ch);
        if (index < 0 || !c.view.missing[static_cast<std::size_t>(index)]) continue;
        if (std::find(seen.begin(), seen.end(), ch) != seen.end()) continue;
        seen.push_back(ch);
        char number[16];
        std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(ch));
        shownCharacters += (shownCharacters.empty() ? "" : ", ") + std::string(text + start, at - start) + " (" + number + ")";
    }
    if (seen.empty()) return;
    std::string faces = c.settings.fontFace;
    if (c.settings.fontFallback[0] != '\0') faces += ", " + std::string(c.settings.fontFallback);
    c.checker.warn(line.number, where + ": no font has " + shownCharacters + " (tried " + faces +
                                    " and the system's fonts): drawn as the font's missing-character box");
}

// What a row's text holds that does not draw as its writer meant.
void checkRowText(Context& c, const Line& line, int page, int row) {
    const std::string where = "row " + std::to_string(row + 1) + " of page " + std::to_string(page + 1);
    if (line.value != "BLANK" && sameName(line.value, "BLANK")) {
        c.checker.warn(line.number, where + " reads \"" + shown(line.value) + "\" and shows that word: only BLANK, in capitals, makes an empty row");
    }
    const char* text = c.pages.rowText(page, row);
    if (text == nullptr || text[0] == '\0') return;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p < 0x20) {
            char what[64];
            std::snprintf(what, sizeof what, *p == '\t' ? "a tab" : "a control character (\\x%02X)", *p);
            c.checker.warn(line.number, where + " holds " + what + ", which draws nothing");
            break;
        }
    }
    if (unfinishedQuote(line)) c.checker.warn(line.number, quoteWarning(line, where, "the quote is drawn"));
    const std::string undecoded = undecodedWarning(line, where);
    if (!undecoded.empty()) c.checker.warn(line.number, undecoded);
    if (const char* script = shapedScript(text)) {
        c.checker.warn(line.number, where + " holds " + script +
                                        " text, which is drawn unshaped: letter by letter, from left to right");
    }
    checkTokenEnds(c, line, where, text);
    checkTokenLikeWords(c, line, where, text);
    checkRowPlace(c, line, where, page, row, text);
    checkRowGlyphs(c, line, where, text);
}

// Why a page ended where it did: "ROWDATA4, which is missing" (or empty).
std::string endOfPage(const Context& c, int sectionIndex, int rowNumber) {
    const std::string key = config::kRowKeyPrefix + std::to_string(rowNumber);
    for (const Line& line : c.lines) {
        if (!line.header && line.section == sectionIndex && sameName(line.name, key)) return key + ", which is empty";
    }
    return key + ", which is missing";
}

// Why [SECTIONn] ended the pages: "[SECTION2] is missing", "[SECTION2] has ROWDATA1, which is empty".
std::string endOfPages(const Context& c, int sectionIndex, int page) {
    const std::string section = "[" + std::string(config::kPageSectionPrefix) + std::to_string(page + 1) + "]";
    return sectionIndex < 0 ? section + " is missing" : section + " has " + endOfPage(c, sectionIndex, 1);
}

void checkPage(Context& c, int sectionIndex, int page, bool read) {
    const std::vector<std::string> known = rowNames();
    const int rows = read ? [&] {
        for (int r = 0;; ++r) {
            if (c.pages.rowText(page, r) == nullptr) return r;
        }
    }()
                          : 0;
    const std::string section = "[" + std::string(config::kPageSectionPrefix) + std::to_string(page + 1) + "]";
    const std::string end = read ? endOfPage(c, sectionIndex, rows + 1) : "";
    FirstLines seen;
    for (const Line& line : c.lines) {
        if (line.header || line.section != sectionIndex || isComment(line) || checkUnfinishedHeader(c, line)) continue;
        if (!line.hasValue) {
            c.checker.warn(line.number, withoutEquals(line, known));
            continue;
        }
        if (const Line* first = seen.firstOf(line)) {
            c.checker.warn(line.number, shown(line.name) + " appears again in " + section + ": the first, at line " +
                                            std::to_string(first->number) + ", is in force" + unfinishedNote(c, line));
            continue;
        }
        const int number = numberAfter(line.name, config::kRowKeyPrefix);
        if (number == 0) {
            const std::string other = otherSectionNote(line.name, false);
            c.checker.warn(line.number, section + " has no key " + shown(line.name) +
                                            (other.empty() ? suggestion(line.name, known) : other) + unfinishedNote(c, line));
            continue;
        }
        if (!read) continue;  // the section's own warning says why
        if (number > kMaxRows) {
            c.checker.warn(line.number, shown(line.name) + " is never shown: a page has at most " + std::to_string(kMaxRows) + " rows");
        } else if (number == rows + 1) {
            c.checker.warn(line.number, shown(line.name) + " is empty: page " + std::to_string(page + 1) +
                                            " ends there, and the rows after it are not shown (BLANK makes an empty row)");
        } else if (number > rows) {
            c.checker.warn(line.number, shown(line.name) + " is never shown: page " + std::to_string(page + 1) + " ends at " + end);
        } else {
            checkRowText(c, line, page, number - 1);
            if (line.read.cut) {
                c.checker.warn(line.number, shown(line.name) + " has " + std::to_string(line.read.characters) +
                                                " characters: only the first " +
                                                std::to_string(platform::kMaxTextCharacters) + " are shown");
            }
        }
    }
    if (read) checkRowSpacing(c, sectionIndex, page);
}

}  // namespace

Outcome checkSettingsFile(const std::string& filePath, const std::string& readerPath, const std::string& shownName,
                          FontLookup fonts, std::vector<std::string>* messages, const ViewCheck& view) {
    Checker checker(shownName, messages);
    std::string bytes;
    if (!readFileBytes(filePath, &bytes)) {
        checker.error("cannot read the file (is it there, and is it a file?)");
        return checker.finish();
    }

    auto pages = std::make_unique<config::PageTable>();
    config::DisplaySettings settings;
    config::SettingsReport report{};
    bool visible = false;
    config::loadSettings(readerPath.c_str(), *pages, settings, visible, &report);

    platform::IniDocument* document =
        platform::parseIni(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    std::vector<Line> lines;
    platform::visitIniLines(document, &platform::decodeAnsiText, &collect, &lines);
    platform::freeIni(document);

    config::DisplaySettings drawn;
    overlay::scaleLayout(settings, overlay::fontScaling(settings, view.height, view.dpi), &drawn);
    ViewLayout layout;
    layout.width = view.width;
    layout.height = view.height;
    if (view.measure != nullptr) {
        // Every character the rows draw, with typical token values, measured at once.
        for (int page = 0; page < pages->pageCount(); ++page) {
            for (int row = 0; pages->rowText(page, row) != nullptr; ++row) {
                const std::string drawn = drawnText(settings, pages->rowText(page, row));
                for (std::size_t at = 0; at < drawn.size();) {
                    const std::uint32_t ch = overlay::nextCharacter(drawn.c_str(), &at);
                    if (!overlay::drawsNothing(ch)) layout.characters.push_back(ch);
                }
            }
        }
        std::sort(layout.characters.begin(), layout.characters.end());
        layout.characters.erase(std::unique(layout.characters.begin(), layout.characters.end()), layout.characters.end());
        layout.advances.assign(layout.characters.size(), 0);
        layout.missing.reset(new bool[layout.characters.size() + 1]());
        const platform::FontRequest font = {drawn.fontFace, drawn.fontFallback, drawn.fontSize};
        layout.measured = view.measure(font, layout.characters.data(), static_cast<int>(layout.characters.size()),
                                       &layout.font, layout.advances.data(), layout.missing.get());
    }
    std::vector<std::uint32_t> afterUnfinished(lines.size(), 0);
    for (std::size_t index = 1; index < lines.size(); ++index) {
        const Line& previous = lines[index - 1];
        if (!lines[index].header && !previous.header) {
            afterUnfinished[index] = unfinishedHeader(previous) ? previous.number : afterUnfinished[index - 1];
        }
    }
    Context c{checker, lines, *pages, settings, drawn, report, layout, afterUnfinished};
    const std::vector<std::string> sections = sectionNames();
    std::vector<int> firstOfName(sections.size(), -1);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const Line& line = lines[index];
        if (!line.header) {
            if (line.section < 0 && !isComment(line) && !checkUnfinishedHeader(c, line)) {
                checker.warn(line.number, shown(line.name) + " comes before any [section] and is never read" +
                                              unfinishedNote(c, line));
            }
            continue;
        }
        const auto known = std::find_if(sections.begin(), sections.end(), [&](const std::string& s) { return sameName(s, line.name); });
        if (known == sections.end()) {
            const int page = numberAfter(line.name, config::kPageSectionPrefix);
            if (line.name.empty()) {
                checker.warn(line.number, "[] has no name: its keys are never read");
            } else if (page > kMaxPages) {
                checker.warn(line.number, "[" + shown(line.name) + "] is never read: there are at most " +
                                              std::to_string(kMaxPages) + " pages, SECTION1 to SECTION5");
            } else {
                checker.warn(line.number, "[" + shown(line.name) + "] is not a section the plug-in reads" +
                                              suggestion(line.name, sections, "[", "]"));
            }
            continue;
        }
        int& first = firstOfName[static_cast<std::size_t>(known - sections.begin())];
        if (first >= 0) {
            checker.warn(line.number, "[" + shown(line.name) + "] appears again: only the first, at line " +
                                          std::to_string(lines[static_cast<std::size_t>(first)].number) + ", is read");
            continue;
        }
        first = static_cast<int>(index);
    }

    if (firstOfName[0] >= 0) checkConfig(c, firstOfName[0], fonts);
    const int pageCount = pages->pageCount();
    for (int page = 0; page < kMaxPages; ++page) {
        const int sectionIndex = firstOfName[static_cast<std::size_t>(page) + 1];
        if (page > pageCount) {
            if (sectionIndex >= 0) {
                const int ending = firstOfName[static_cast<std::size_t>(pageCount) + 1];
                checker.warn(lines[static_cast<std::size_t>(sectionIndex)].number,
                             "[SECTION" + std::to_string(page + 1) + "] is never read: the pages end before it, as " +
                                 endOfPages(c, ending, pageCount));
                checkPage(c, sectionIndex, page, false);
            }
            continue;
        }
        if (page == pageCount) {
            // The section that ended the pages.
            if (sectionIndex >= 0) {
                checker.warn(lines[static_cast<std::size_t>(sectionIndex)].number,
                             "[SECTION" + std::to_string(page + 1) + "] is not shown and ends the pages: it has " +
                                 endOfPage(c, sectionIndex, 1));
                checkPage(c, sectionIndex, page, false);
            }
            if (page == 0) checker.error("no page to show: " + endOfPages(c, sectionIndex, 0));
            continue;
        }
        checkPage(c, sectionIndex, page, true);
    }
    return checker.finish();
}

}  // namespace check
