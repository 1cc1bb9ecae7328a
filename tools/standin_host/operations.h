// The 25 operations a bound plug-in offers through the record and its extension table, and how
// the host calls them: plain functions, 32-bit arguments removed by the caller, results of one
// byte (bool), 32 bits (int) or a pointer.
#pragma once

#include <cstdint>
#include <string>

#include "host_records.h"

namespace standin {

constexpr int kOperationCount = 25;

enum class ResultKind { None, Bool, Int, Text };

struct OperationInfo {
    int number;
    const char* name;
    int argCount;
    bool indexArgument;  // the one argument is a signed 32-bit function index
    ResultKind result;
};

const OperationInfo& operationInfo(int operation);

struct CallResult {
    Word raw = 0;          // the whole result register
    bool flag = false;     // its low byte, for bool results
    std::int32_t number = 0;
    const char* text = nullptr;
};

// Calls `entry` as `operation` with args[0..argCount-1] (an index argument is passed as a signed
// 32-bit value). In the 32-bit build the call also measures the stack: a callee that removed its
// own arguments fails the call with a message in *error.
bool callOperation(Word entry, int operation, const Word* args, CallResult* result, std::string* error);

}  // namespace standin

namespace standin {

// The two exported entries, called as the host calls them. In the 32-bit build a callee that
// removes its own arguments fails the call with a message in *error.
std::int32_t callVersionEntry(void* entry);
bool callInitializeEntry(void* entry, void* record, std::string* error);

}  // namespace standin
