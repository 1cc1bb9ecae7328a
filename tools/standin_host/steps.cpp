#include "steps.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "step_table.h"
#include "tool_io.h"

namespace standin {

namespace {

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

// "40", "40+2L", "12.5-1L": a number plus a whole number of lines of the oracle's font.
bool parsePosition(const std::string& word, double* base, std::int64_t* lines) {
    *lines = 0;
    const std::size_t sign = word.size() > 2 && word.back() == 'L' ? word.find_last_of("+-") : std::string::npos;
    if (sign == std::string::npos || sign == 0) return parseFloat(word, base);
    return parseFloat(word.substr(0, sign), base) &&
           parseInteger(word.substr(sign + (word[sign] == '+' ? 1 : 0), word.size() - 1 - sign - (word[sign] == '+' ? 1 : 0)),
                        lines) &&
           *lines >= -100 && *lines <= 100;
}

const char* describeKind(const std::string& kind) {
    if (kind == "int") return "a whole number";
    if (kind == "count") return "a whole number of 0 or more";
    if (kind == "size") return "a whole number from 1 to 4096";
    if (kind == "byte") return "a whole number from 0 to 255";
    if (kind == "word") return "a 32-bit value";
    if (kind == "float") return "a number";
    if (kind == "position") return "a number, or a number and a count of line heights (\"40+2L\")";
    return nullptr;
}

const char* const kPlaceholders[] = {"date",  "time", "elapsed", "camera",  "faces",   "edges",
                                     "vertices", "time12", "fps",  "selmode", "selcount"};

}  // namespace

bool checkKind(const std::string& kind, const std::string& word) {
    std::int64_t n = 0;
    double f = 0;
    if (kind == "int") return parseInteger(word, &n) && n >= INT32_MIN && n <= INT32_MAX;
    if (kind == "count") return parseInteger(word, &n) && n >= 0 && n <= INT32_MAX;
    if (kind == "size") return parseInteger(word, &n) && n >= 1 && n <= 4096;
    if (kind == "byte") return parseInteger(word, &n) && n >= 0 && n <= 255;
    if (kind == "word") return parseInteger(word, &n) && n >= INT32_MIN && n <= 0xFFFFFFFFll;
    if (kind == "float") return parseFloat(word, &f) && std::isfinite(f);
    if (kind == "position") return parsePosition(word, &f, &n) && std::isfinite(f);
    // A list of names, possibly allowing a number of one of the kinds above.
    if (kind.find('|') == std::string::npos) return kind == word;
    std::stringstream names(kind);
    std::string name;
    while (std::getline(names, name, '|')) {
        if (name == word) return true;
        if (describeKind(name) != nullptr && checkKind(name, word)) return true;
    }
    return false;
}

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
    std::ifstream file(tools::pathFromUtf8(path), std::ios::binary);
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

std::vector<Step> repeatedSteps(const Step& repeat) {
    std::vector<Step> steps;
    Step current;
    const auto finish = [&] {
        if (current.words.empty()) return;
        current.origin = repeat.origin;
        current.inputDir = repeat.inputDir;
        steps.push_back(current);
        current = Step();
    };
    for (std::size_t word = 2; word < repeat.words.size(); ++word) {
        if (repeat.words[word] == ";") {
            finish();
            continue;
        }
        current.text += (current.text.empty() ? "" : " ") + repeat.words[word];
        current.words.push_back(repeat.words[word]);
    }
    finish();
    return steps;
}

bool validateStep(const Step& step, std::string* error) {
    const StepDefinition* definition = findStep(step.words[0]);
    if (definition == nullptr) {
        *error = "unknown step \"" + step.words[0] + "\" (see --help)";
        return false;
    }
    const std::string usage = std::string(" (usage: ") + definition->usage + ")";
    std::vector<std::string> kinds;
    {
        std::stringstream pattern(definition->pattern);
        std::string kind;
        while (pattern >> kind) kinds.push_back(kind);
    }
    std::size_t word = 1;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        std::string kind = kinds[k];
        const bool optional = kind[0] == '?';
        if (optional) kind = kind.substr(1);
        if (kind == "text" || kind == "steps") {
            if (step.restAfter(word).empty()) {
                *error = std::string(kind == "text" ? "missing text" : "missing steps") + usage;
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
    if (word < step.words.size()) {
        *error = "unexpected \"" + step.words[word] + "\"" + usage;
        return false;
    }
    if (definition->check != nullptr && !definition->check(step, error)) {
        *error += usage;
        return false;
    }
    return true;
}

std::string stepHelp() {
    constexpr std::size_t kUsageWidth = 24;
    constexpr std::size_t kHelpColumn = kUsageWidth + 2;
    constexpr std::size_t kLineWidth = 79;  // an 80-column console shows every line whole
    std::string help = "Steps (one per argument, or one per line of a --script file; '#' starts a\n"
                       "comment line):\n";
    const char* group = "";
    for (const StepDefinition* step = stepsBegin(); step != stepsEnd(); ++step) {
        if (std::strcmp(step->group, group) != 0) {
            group = step->group;
            help += std::string("\n") + group + "\n";
        }
        std::string line = std::string("  ") + step->usage;
        // A usage too long for its column gets a line of its own.
        if (line.size() > kUsageWidth) {
            help += line + "\n";
            line.clear();
        }
        line.resize(kHelpColumn, ' ');
        // The help's words, in lines that fit.
        std::stringstream words(step->help);
        std::string word;
        bool first = true;
        while (words >> word) {
            if (!first && line.size() + 1 + word.size() > kLineWidth) {
                help += line + "\n";
                line = std::string(kHelpColumn, ' ');
                first = true;
            }
            line += (first ? "" : " ") + word;
            first = false;
        }
        help += line + "\n";
    }
    return help;
}

std::int64_t integerArgument(const std::string& word) {
    std::int64_t value = 0;
    parseInteger(word, &value);
    return value;
}

Position positionArgument(const std::string& word) {
    Position position;
    std::int64_t lines = 0;
    parsePosition(word, &position.value, &lines);
    position.lines = static_cast<int>(lines);
    return position;
}

double floatArgument(const std::string& word) {
    double value = 0;
    parseFloat(word, &value);
    return value;
}

std::string join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
    return text;
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
    const std::string* const kValues[] = {&values.date,     &values.time,   &values.elapsed, &values.camera,
                                          &values.faces,    &values.edges,  &values.vertices, &values.time12,
                                          &values.fps,      &values.selmode, &values.selcount};
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
