// The stand-in host's steps, one entry each: how a step is written, what --help says of it, and
// what it does. A new step is one entry of the table in step_table.cpp.
#pragma once

#include "steps.h"

namespace standin {

class Session;

struct StepDefinition {
    const char* group;    // the --help heading it is listed under
    const char* name;
    const char* pattern;  // argument kinds, see checkKind
    const char* usage;    // how it is written
    const char* help;     // what it does; lines after the first are continuation lines
    void (*run)(Session& session, const Step& step);
    // Checks beyond the argument kinds; null when there are none. False with *error.
    bool (*check)(const Step& step, std::string* error);
};

// The definition of the step called `name`; null when there is none.
const StepDefinition* findStep(const std::string& name);

// Every step, in --help order.
const StepDefinition* stepsBegin();
const StepDefinition* stepsEnd();

}  // namespace standin
