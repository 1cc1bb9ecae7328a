#include "operations.h"

// The host calls the plug-in's entries through function types of its own, as the real host does;
// a sanitizer that checks function types cannot know that they agree on the machine level.
#if defined(__clang__)
#define STANDIN_FOREIGN_CALL __attribute__((no_sanitize("function")))
#else
#define STANDIN_FOREIGN_CALL
#endif

#if defined(__i386__)

// Pushes `count` 32-bit arguments (last first, leaving the stack 16-byte aligned at the call),
// calls `entry`, and reports in *stackMoved how far the callee moved the stack pointer: 0 when it
// left its arguments for the caller to remove, as the host expects. Returns EAX.
extern "C" std::uint32_t standinCallMeasured(standin::Word entry, const standin::Word* args, int count,
                                         std::int32_t* stackMoved)
    asm("standin_call_measured");

asm(R"(
    .text
    .globl standin_call_measured
standin_call_measured:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
    movl  %esp, %ebx
    leal  0(,%ecx,4), %eax
    subl  %eax, %esp
    andl  $-16, %esp
    addl  %eax, %esp
1:  testl %ecx, %ecx
    jz    2f
    decl  %ecx
    pushl (%esi,%ecx,4)
    jmp   1b
2:  movl  %esp, %edi
    call  *8(%ebp)
    movl  %esp, %ecx
    subl  %edi, %ecx
    movl  20(%ebp), %edx
    movl  %ecx, (%edx)
    movl  %ebx, %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
)");

#endif

namespace standin {

namespace {

const OperationInfo kOperations[kOperationCount] = {
    {0, "runFunction", 1, true, ResultKind::Bool},
    {1, "releaseResources", 1, false, ResultKind::None},
    {2, "functionCount", 0, false, ResultKind::Int},
    {3, "functionName", 1, true, ResultKind::Text},
    {4, "functionType", 1, true, ResultKind::Int},
    {5, "hook5", 2, false, ResultKind::Bool},
    {6, "hook6", 1, false, ResultKind::None},
    {7, "hook7", 2, false, ResultKind::None},
    {8, "hook8", 3, false, ResultKind::Bool},
    {9, "hook9", 3, false, ResultKind::Bool},
    {10, "hook10", 3, false, ResultKind::Bool},
    {11, "hook11", 3, false, ResultKind::Bool},
    {12, "hook12", 3, false, ResultKind::Bool},
    {13, "hook13", 3, false, ResultKind::Bool},
    {14, "hook14", 3, false, ResultKind::Bool},
    {15, "hook15", 2, false, ResultKind::Bool},
    {16, "hook16", 2, false, ResultKind::Bool},
    {17, "hook17", 2, false, ResultKind::Bool},
    {18, "hook18", 2, false, ResultKind::None},
    {19, "hook19", 2, false, ResultKind::Bool},
    {20, "hook20", 1, false, ResultKind::Bool},
    {21, "hook21", 1, false, ResultKind::Bool},
    {22, "hook22", 1, false, ResultKind::Bool},
    {23, "hook23", 1, false, ResultKind::Bool},
    {24, "drawFunction", 1, true, ResultKind::Bool},
};

#if defined(__i386__)

Word rawCall(Word entry, const OperationInfo& info, const Word* args, std::string* error) {
    std::int32_t moved = 0;
    const Word raw = standinCallMeasured(entry, args, info.argCount, &moved);
    if (moved != 0) {
        *error = std::string("operation ") + std::to_string(info.number) + " (" + info.name +
                 ") moved the stack by " + std::to_string(moved) +
                 " bytes: it must leave its arguments for the caller to remove";
    }
    return raw;
}

#else

template <typename R, typename... A>
STANDIN_FOREIGN_CALL R invoke(Word entry, A... args) {
    return reinterpret_cast<R (*)(A...)>(entry)(args...);
}

// Calls through the operation's exact type and widens the result to a word.
Word rawCall(Word entry, const OperationInfo& info, const Word* args, std::string*) {
    const auto index = [&] { return static_cast<std::int32_t>(args[0]); };
    switch (info.number) {
    case 0:
    case 24: return invoke<bool>(entry, index()) ? 1 : 0;
    case 1:
    case 6: invoke<void>(entry, args[0]); return 0;
    case 2: return static_cast<Word>(static_cast<std::uint32_t>(invoke<std::int32_t>(entry)));
    case 3: return reinterpret_cast<Word>(invoke<const char*>(entry, index()));
    case 4: return static_cast<Word>(static_cast<std::uint32_t>(invoke<std::int32_t>(entry, index())));
    case 7:
    case 18: invoke<void>(entry, args[0], args[1]); return 0;
    default: break;
    }
    switch (info.argCount) {
    case 1: return invoke<bool>(entry, args[0]) ? 1 : 0;
    case 2: return invoke<bool>(entry, args[0], args[1]) ? 1 : 0;
    default: return invoke<bool>(entry, args[0], args[1], args[2]) ? 1 : 0;
    }
}

#endif

}  // namespace

const OperationInfo& operationInfo(int operation) { return kOperations[operation]; }

bool callOperation(Word entry, int operation, const Word* args, CallResult* result, std::string* error) {
    const OperationInfo& info = kOperations[operation];
    Word passed[3] = {0, 0, 0};
    for (int i = 0; i < info.argCount; ++i) {
        passed[i] = info.indexArgument ? static_cast<Word>(static_cast<std::uint32_t>(args[i])) : args[i];
    }
    error->clear();
    const Word raw = rawCall(entry, info, passed, error);
    result->raw = raw;
    result->flag = (raw & 0xFF) != 0;
    result->number = static_cast<std::int32_t>(static_cast<std::uint32_t>(raw));
    result->text = reinterpret_cast<const char*>(raw);
    return error->empty();
}

STANDIN_FOREIGN_CALL std::int32_t callVersionEntry(void* entry) {
    return reinterpret_cast<std::int32_t(STANDIN_CDECL*)()>(entry)();
}

STANDIN_FOREIGN_CALL bool callInitializeEntry(void* entry, void* record, std::string* error) {
    error->clear();
#if defined(__i386__)
    const Word args[1] = {reinterpret_cast<Word>(record)};
    std::int32_t moved = 0;
    standinCallMeasured(reinterpret_cast<Word>(entry), args, 1, &moved);
    if (moved != 0) {
        *error = "initializePlugin moved the stack by " + std::to_string(moved) +
                 " bytes: it must leave its argument for the caller to remove";
    }
#else
    reinterpret_cast<void (*)(void*)>(entry)(record);
#endif
    return error->empty();
}

}  // namespace standin
