// Steps: what the stand-in host is told to do, one per command-line argument or script line.
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

// Checks a step's name and arguments before anything runs. False with *error saying what is wrong
// and how the step is written.
bool validateStep(const Step& step, std::string* error);

// The step reference printed by --help.
const char* stepHelp();

// Numeric arguments; only called on validated steps.
std::int64_t integerArgument(const std::string& word);
double floatArgument(const std::string& word);

// Decodes \xNN and \\ in a TEXT argument into bytes. False with *error on a bad escape.
bool decodeText(const std::string& text, std::string* bytes, std::string* error);

// The placeholders an oracle line may hold: {date} {time} {elapsed} {camera} {faces} {edges}
// {vertices}; {{ and }} stand for braces.
struct PlaceholderValues {
    std::string date, time, elapsed, camera, faces, edges, vertices;
};
bool usesPlaceholder(const std::string& text, const char* name);
// Replaces the placeholders in `text`. False with *error for an unknown placeholder.
bool expandPlaceholders(const std::string& text, const PlaceholderValues& values, std::string* out,
                        std::string* error);

}  // namespace standin
