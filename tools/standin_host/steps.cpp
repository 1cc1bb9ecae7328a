#include "steps.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace standin {

namespace {

// How each step is written. Argument kinds: int (signed 32-bit), count (0 or more), size
// (1-4096), byte (0-255), word (32-bit value, also negative or 0x hex), float, text (the rest of
// the line), a|b|c (one of the names; "int" among them allows a number), ? before a kind makes it
// optional (last only).
struct StepSyntax {
    const char* name;
    const char* pattern;
    const char* usage;
};

const StepSyntax kSteps[] = {
    {"viewport", "size size", "viewport W H"},
    {"background", "plain|viewport", "background plain R G B | background viewport"},
    {"bind", "", "bind"},
    {"rebind", "", "rebind"},
    {"expect-version", "int", "expect-version N"},
    {"frame", "?count", "frame [N]"},
    {"draw-index", "int", "draw-index I"},
    {"run", "int", "run I"},
    {"release", "word", "release V"},
    {"camera", "perspective|top|left|right|front|back|bottom|free|none|no-view|no-holder",
     "camera perspective|top|left|right|front|back|bottom|free|none|no-view|no-holder"},
    {"selmode", "face|edge|vertex|none|int", "selmode face|edge|vertex|none|N"},
    {"faces", "int", "faces N"},
    {"edges", "int", "edges N"},
    {"vertices", "int", "vertices N"},
    {"no-scene", "", "no-scene"},
    {"no-services", "", "no-services"},
    {"settings", "text", "settings FILE | settings none"},
    {"save", "text", "save FILE.png"},
    {"wait", "count", "wait MS"},
    {"expect-functions", "", "expect-functions"},
    {"expect-count", "int", "expect-count N"},
    {"expect-name", "int text", "expect-name I TEXT"},
    {"expect-type", "int int", "expect-type I N"},
    {"expect-defaults", "", "expect-defaults"},
    {"expect-default-hooks", "", "expect-default-hooks"},
    {"expect-mode-calls", "count", "expect-mode-calls N"},
    {"oracle", "size byte byte byte text", "oracle SIZE R G B FACE"},
    {"oracle-text", "float float text", "oracle-text X Y TEXT"},
    {"compare", "?byte", "compare [TOLERANCE]"},
    {"check-gl-state", "visible|hidden", "check-gl-state visible|hidden"},
    {"count-lists", "", "count-lists"},
    {"expect-live-lists", "count", "expect-live-lists N"},
    {"expect-lists-stable", "", "expect-lists-stable"},
    {"check-trampolines", "", "check-trampolines"},
    {"expect-instances", "count", "expect-instances N"},
    {"soak", "count count", "soak FRAMES RELOAD_EVERY"},
};

const char kHelp[] = R"(Steps (one per argument, or one per line of a --script file; '#' starts a comment line):

Set-up
  viewport W H            framebuffer size in pixels (default 640 480); the 640x480 overlay
                          space is stretched over it
  background plain R G B  clear to a colour, 0-255 per channel (default plain 0 0 0)
  background viewport     grey gradient with a floor grid, like a modelling viewport
  settings FILE           stage FILE as "Plugins/Startup Plugins/Ostrivane.ini" in the work
                          directory (again at any time, e.g. before "run 4"); "settings none"
                          removes it. A relative FILE in a script is taken from the script's
                          folder
  no-scene | no-services  null scene-state / service-table pointer in the record (before bind)

Binding
  expect-version N        call getPluginVersion (allowed before bind) and expect N
  bind                    getPluginVersion (must answer 4), then initializePlugin(record); runs
                          by itself before the first step that needs a bound plug-in
  rebind                  initializePlugin again with the same record

Calls
  frame [N]               draw the background, then drawFunction(0); N times (default 1)
  draw-index I            the same with drawFunction(I)
  run I                   runFunction(I): 1 switch, 2 next page, 3 previous page, 4 reload
                          (after which the next frame counts as the set-up frame for {elapsed})
  release V               releaseResources(V)
  wait MS                 sleep MS milliseconds

Host state (read by the plug-in during frames)
  camera NAME             the active view shows perspective|top|left|right|front|back|bottom,
                          free (a camera the scene does not name), none (null handle), no-view
                          (null active view) or no-holder (null view holder)
  selmode MODE            selectionMode answers face (0), edge (1), vertex (2), none (-1) or N
  faces N | edges N | vertices N   selected counts

Checks (each fails the run with a message)
  expect-functions        functionCount 5 and the five Ostrivane names and types
  expect-count N | expect-name I TEXT | expect-type I N
  expect-defaults         a plug-in that overrides nothing: count 1, "Dummy Plugin", type 0,
                          hook5 false, every other bool operation true
  expect-default-hooks    the same for operations 5-23 only
  expect-mode-calls N     selectionMode was called N times during the last frame
  check-gl-state visible|hidden
                          set a distinctive GL state, run frames (lighting on, then off) and
                          check what the plug-in left: visible = depth test on, matrix mode
                          GL_PROJECTION, everything else but colour and raster position
                          unchanged; hidden = nothing changed
  count-lists             count live display lists (glIsList) and keep the count
  expect-lists-stable     the count equals the one kept by count-lists
  expect-live-lists N     exactly N live display lists
  check-trampolines       recording plug-in only: every operation through its field, with its
                          arguments and result unchanged
  expect-instances N      recording plug-in only: N instances were created
  soak FRAMES RELOAD_EVERY
                          FRAMES frames with the camera and the selection counts changing every
                          frame and Reload INI every RELOAD_EVERY frames (0: never); fails when
                          the live display lists or the process's memory grew after the first
                          quarter of the run

Oracle
  oracle SIZE R G B FACE  draw oracle text with FACE at SIZE pixels in colour R G B (0-255)
  oracle-text X Y TEXT    one line at (X, Y) of the 640x480 space. TEXT may hold {date} {time}
                          {elapsed} {camera} {faces} {edges} {vertices} (values of the last
                          frame), {{ and }} for braces, \xNN for a byte and \\ for a backslash
  compare [TOLERANCE]     draw the oracle lines over the same background and compare with the
                          last frame, pixel by pixel (channels may differ by TOLERANCE, default
                          0); on a mismatch the frame, the oracle and a difference image are
                          saved to the output directory. The lines are then cleared
  save FILE.png           the last frame as an RGB PNG (a relative FILE goes to the output
                          directory)
)";

bool parseInteger(const std::string& word, std::int64_t* value) {
    if (word.empty()) return false;
    const char* begin = word.c_str();
    bool negative = false;
    const char* digits = begin;
    if (*digits == '-' || *digits == '+') {
        negative = *digits == '-';
        ++digits;
    }
    int base = 10;
    if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits += 2;
    }
    if (!std::isxdigit(static_cast<unsigned char>(*digits))) return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(digits, &end, base);
    if (errno != 0 || *end != '\0' || magnitude > 0xFFFFFFFFull) return false;
    *value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

bool parseFloat(const std::string& word, double* value) {
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtod(word.c_str(), &end);
    return errno == 0 && *end == '\0';
}

bool checkKind(const std::string& kind, const std::string& word) {
    std::int64_t n = 0;
    double f = 0;
    if (kind == "int") return parseInteger(word, &n) && n >= INT32_MIN && n <= INT32_MAX;
    if (kind == "count") return parseInteger(word, &n) && n >= 0 && n <= INT32_MAX;
    if (kind == "size") return parseInteger(word, &n) && n >= 1 && n <= 4096;
    if (kind == "byte") return parseInteger(word, &n) && n >= 0 && n <= 255;
    if (kind == "word") return parseInteger(word, &n) && n >= INT32_MIN && n <= 0xFFFFFFFFll;
    if (kind == "float") return parseFloat(word, &f);
    // A list of names, possibly allowing a number.
    std::stringstream names(kind);
    std::string name;
    while (std::getline(names, name, '|')) {
        if (name == word) return true;
        if (name == "int" && parseInteger(word, &n) && n >= INT32_MIN && n <= INT32_MAX) return true;
    }
    return false;
}

const char* describeKind(const std::string& kind) {
    if (kind == "int") return "a whole number";
    if (kind == "count") return "a whole number of 0 or more";
    if (kind == "size") return "a whole number from 1 to 4096";
    if (kind == "byte") return "a whole number from 0 to 255";
    if (kind == "word") return "a 32-bit value";
    if (kind == "float") return "a number";
    return nullptr;
}

const char* const kPlaceholders[] = {"date", "time", "elapsed", "camera", "faces", "edges", "vertices"};

}  // namespace

std::string Step::restAfter(std::size_t count) const {
    std::size_t pos = 0;
    for (std::size_t word = 0; word < count; ++word) {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
        while (pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    }
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    return text.substr(pos);
}

bool parseStepLine(const std::string& line, const std::string& origin, Step* step) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    std::stringstream stream(text);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word) words.push_back(word);
    if (words.empty() || words[0][0] == '#') return false;
    step->origin = origin;
    step->text = text;
    step->words = words;
    return true;
}

bool readScript(const std::string& path, const std::string& displayName, std::vector<Step>* steps,
                std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read script " + displayName + ": " + std::strerror(errno);
        return false;
    }
    const std::size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        Step step;
        if (parseStepLine(line, displayName + ":" + std::to_string(number), &step)) {
            step.inputDir = folder;
            steps->push_back(step);
        }
    }
    return true;
}

bool validateStep(const Step& step, std::string* error) {
    const StepSyntax* syntax = nullptr;
    for (const StepSyntax& candidate : kSteps) {
        if (step.words[0] == candidate.name) syntax = &candidate;
    }
    if (syntax == nullptr) {
        *error = "unknown step \"" + step.words[0] + "\" (see --help)";
        return false;
    }
    const std::string usage = std::string(" (usage: ") + syntax->usage + ")";
    std::vector<std::string> kinds;
    {
        std::stringstream pattern(syntax->pattern);
        std::string kind;
        while (pattern >> kind) kinds.push_back(kind);
    }
    std::size_t word = 1;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        std::string kind = kinds[k];
        const bool optional = kind[0] == '?';
        if (optional) kind = kind.substr(1);
        if (kind == "text") {
            if (step.restAfter(word).empty()) {
                *error = "missing text" + usage;
                return false;
            }
            word = step.words.size();
            break;
        }
        if (word >= step.words.size()) {
            if (optional) break;
            *error = "missing argument" + usage;
            return false;
        }
        if (!checkKind(kind, step.words[word])) {
            const char* what = describeKind(kind);
            *error = "\"" + step.words[word] + "\" is not " +
                     (what != nullptr ? std::string(what) : "one of " + kind) + usage;
            return false;
        }
        ++word;
    }
    // background plain takes a colour.
    if (step.words[0] == "background" && step.words[1] == "plain") {
        for (int c = 0; c < 3; ++c, ++word) {
            if (word >= step.words.size() || !checkKind("byte", step.words[word])) {
                *error = "background plain needs three channels from 0 to 255" + usage;
                return false;
            }
        }
    }
    if (word < step.words.size()) {
        *error = "unexpected \"" + step.words[word] + "\"" + usage;
        return false;
    }
    if (step.words[0] == "oracle-text") {
        // Placeholders are replaced first, so an escaped brace (\x7B) stays a brace.
        std::string expanded;
        if (!expandPlaceholders(step.restAfter(3), PlaceholderValues{}, &expanded, error)) return false;
        std::string bytes;
        if (!decodeText(expanded, &bytes, error)) return false;
    }
    if (step.words[0] == "expect-name") {
        std::string bytes;
        if (!decodeText(step.restAfter(2), &bytes, error)) return false;
    }
    return true;
}

const char* stepHelp() { return kHelp; }

std::int64_t integerArgument(const std::string& word) {
    std::int64_t value = 0;
    parseInteger(word, &value);
    return value;
}

double floatArgument(const std::string& word) {
    double value = 0;
    parseFloat(word, &value);
    return value;
}

bool decodeText(const std::string& text, std::string* bytes, std::string* error) {
    bytes->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes->push_back(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            bytes->push_back('\\');
            ++i;
            continue;
        }
        if (i + 3 < text.size() && text[i + 1] == 'x' && std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            bytes->push_back(static_cast<char>(std::strtoul(text.substr(i + 2, 2).c_str(), nullptr, 16)));
            i += 3;
            continue;
        }
        *error = "bad escape in \"" + text + "\": use \\xNN for a byte or \\\\ for a backslash";
        return false;
    }
    return true;
}

bool usesPlaceholder(const std::string& text, const char* name) {
    return text.find(std::string("{") + name + "}") != std::string::npos;
}

bool expandPlaceholders(const std::string& text, const PlaceholderValues& values, std::string* out,
                        std::string* error) {
    const std::string* const kValues[] = {&values.date,  &values.time,  &values.elapsed, &values.camera,
                                          &values.faces, &values.edges, &values.vertices};
    out->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '{' || c == '}') && i + 1 < text.size() && text[i + 1] == c) {
            out->push_back(c);
            ++i;
            continue;
        }
        if (c == '}') {
            *error = "unmatched '}' in \"" + text + "\" (write }} for a brace)";
            return false;
        }
        if (c != '{') {
            out->push_back(c);
            continue;
        }
        const std::size_t close = text.find('}', i);
        const std::string name = close == std::string::npos ? "" : text.substr(i + 1, close - i - 1);
        bool known = false;
        for (std::size_t p = 0; p < sizeof kPlaceholders / sizeof kPlaceholders[0]; ++p) {
            if (name == kPlaceholders[p]) {
                *out += *kValues[p];
                known = true;
            }
        }
        if (!known) {
            *error = "unknown placeholder in \"" + text +
                     "\": use {date} {time} {elapsed} {camera} {faces} {edges} {vertices}, or {{ for a brace";
            return false;
        }
        i = close;
    }
    return true;
}

}  // namespace standin
