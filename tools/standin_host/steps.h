// Steps: what the stand-in host is told to do, one per command-line argument or script line, and
// how they are checked before anything runs. What each step does is in step_table.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct Step {
    std::string origin;               // where it came from: "argument 3", "smoke.steps:12"
    std::string text;                 // the step as written
    std::vector<std::string> words;   // split at white space; words[0] is the step's name
    std::string inputDir;             // where relative input paths start: the script's folder,
                                      // empty for the command line

    // The text after the first `count` words, white space before it skipped.
    std::string restAfter(std::size_t count) const;
};

// Splits one line into a step. False for a blank line or a '#' comment.
bool parseStepLine(const std::string& line, const std::string& origin, Step* step);

// Reads a script: one step per line, '#' comments, blank lines ignored. False with *error.
bool readScript(const std::string& path, const std::string& displayName, std::vector<Step>* steps,
                std::string* error);

// The steps of `repeat N STEP [; STEP]...`: the words after N, split at each word ";". They keep
// the repeat's origin and input folder.
std::vector<Step> repeatedSteps(const Step& repeat);

// Checks a step's name and arguments (against the step table) before anything runs. False with
// *error saying what is wrong and how the step is written.
bool validateStep(const Step& step, std::string* error);

// The step reference printed by --help, made from the step table.
std::string stepHelp();

// Argument kinds of the step table: int (signed 32-bit), count (0 or more), size (1-4096), byte
// (0-255), word (32-bit value, also negative or 0x hex), float, text (the rest of the line),
// steps (the rest of the line, steps separated by ";"), a|b|c (one of the names; a kind among
// them, "int" or "byte", allows a number of that kind); ? before a kind makes it optional.
bool checkKind(const std::string& kind, const std::string& word);

// Numeric arguments; only called on validated steps.
std::int64_t integerArgument(const std::string& word);
double floatArgument(const std::string& word);
// A "position" word: a number plus `lines` line heights of the oracle's font.
struct Position {
    double value = 0.0;
    int lines = 0;
};
Position positionArgument(const std::string& word);

// The parts with `separator` between them.
std::string join(const std::vector<std::string>& parts, const char* separator);

// Decodes \xNN and \\ in a TEXT argument into bytes. False with *error on a bad escape.
bool decodeText(const std::string& text, std::string* bytes, std::string* error);

// The placeholders an oracle line may hold: {date} {time} {elapsed} {camera} {faces} {edges}
// {vertices}; {{ and }} stand for braces.
struct PlaceholderValues {
    std::string date, time, elapsed, camera, faces, edges, vertices, time12, fps, selmode, selcount;
};
bool usesPlaceholder(const std::string& text, const char* name);
// Replaces the placeholders in `text`. False with *error for an unknown placeholder.
bool expandPlaceholders(const std::string& text, const PlaceholderValues& values, std::string* out,
                        std::string* error);

}  // namespace standin
