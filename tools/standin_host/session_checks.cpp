// Checks of what a bound plug-in answers, of the trampolines it wrote, and of what its frames
// leave behind in the GL state and the display lists.
#include <cstdio>
#include <cstring>

#include "host_clutter.h"
#include "session.h"

namespace standin {

namespace {

struct CatalogueEntry {
    const char* name;
    std::int32_t type;
};
const CatalogueEntry kCatalogue[5] = {
    {"Ostrivane Drawing Fn", 2}, {"Ostrivane Switch", 0},     {"Ostrivane Next Page", 0},
    {"Ostrivane Prev Page", 0},  {"Ostrivane Reload INI", 0},
};

// The fields of the recording plug-in's report of the last call it recorded: operation, three
// arguments, argument count, recording instance, sequence number of the call, instances created.
enum RecordedField { kOperation, kArgA, kArgB, kArgC, kArgCount, kInstance, kSequence, kInstances, kFields };

// The recording plug-in's answers, derived from the arguments.
bool recordedFlag(const OperationInfo& info, const Word* args) {
    if (info.indexArgument) return (static_cast<std::int32_t>(args[0]) & 1) != 0;
    Word sum = 0;
    for (int i = 0; i < info.argCount; ++i) sum += args[i];
    return (sum & 1) != 0;
}
std::int32_t recordedType(std::int32_t index) { return -3 * index - 7; }
constexpr std::int32_t kRecordedCount = 0x12345678;
std::string recordedName(std::int32_t index) { return "recorded " + std::to_string(index); }

// Distinctive arguments for `operation`: variant 1 flips the low bit of the first argument's sum
// (so bool answers differ) and sets its top bit; index arguments turn negative.
void trampolineArguments(int operation, int variant, const OperationInfo& info, Word* args) {
    const std::uint32_t base = 0x1000u * static_cast<std::uint32_t>(operation);
    args[0] = variant == 0 ? base + 0x11 : (0x80000000u | (base + 0x12));
    args[1] = base + 0x22;
    args[2] = base + 0x33;
    if (info.indexArgument) {
        const std::int32_t index = variant == 0 ? static_cast<std::int32_t>(base + 0x11)
                                                : -static_cast<std::int32_t>(base + 0x12);
        args[0] = static_cast<Word>(static_cast<std::uint32_t>(index));
    }
}

std::string hex(Word value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

void Session::expectFunctions() {
    std::vector<std::string> problems;
    const std::int32_t count = call(2, {}).number;
    if (count != 5) problems.push_back("functionCount answered " + std::to_string(count) + ", expected 5");
    for (std::int32_t i = 0; i < 5; ++i) {
        const char* text = call(3, {static_cast<Word>(i)}).text;
        if (text == nullptr) {
            problems.push_back("functionName(" + std::to_string(i) + ") answered a null pointer");
        } else if (std::strcmp(text, kCatalogue[i].name) != 0) {
            problems.push_back("functionName(" + std::to_string(i) + ") answered \"" + text + "\", expected \"" +
                               kCatalogue[i].name + "\"");
        }
        const std::int32_t type = call(4, {static_cast<Word>(i)}).number;
        if (type != kCatalogue[i].type) {
            problems.push_back("functionType(" + std::to_string(i) + ") answered " + std::to_string(type) +
                               ", expected " + std::to_string(kCatalogue[i].type));
        }
    }
    if (!problems.empty()) fail(join(problems, "; "));
}

void Session::expectDefaults(bool allOperations) {
    std::vector<std::string> problems;
    const Word argSets[2][3] = {{0, 0, 0}, {0x80000001u, 0x12345u, 0xFFFFFFFFu}};
    if (allOperations) {
        const std::int32_t count = call(2, {}).number;
        if (count != 1) problems.push_back("functionCount answered " + std::to_string(count) + ", expected 1");
        for (std::int32_t index : {0, 1, 4, 5, -1}) {
            const Word w = static_cast<Word>(static_cast<std::uint32_t>(index));
            const char* text = call(3, {w}).text;
            if (text == nullptr || std::strcmp(text, "Dummy Plugin") != 0) {
                problems.push_back("functionName(" + std::to_string(index) + ") answered " +
                                   (text ? "\"" + std::string(text) + "\"" : std::string("null")) +
                                   ", expected \"Dummy Plugin\"");
            }
            const std::int32_t type = call(4, {w}).number;
            if (type != 0) {
                problems.push_back("functionType(" + std::to_string(index) + ") answered " + std::to_string(type) +
                                   ", expected 0");
            }
            if (!call(0, {w}).flag) problems.push_back("runFunction(" + std::to_string(index) + ") answered false");
            if (!call(24, {w}).flag) problems.push_back("drawFunction(" + std::to_string(index) + ") answered false");
        }
        call(1, {0});
        call(1, {1});
    }
    for (int op = 5; op <= 23; ++op) {
        const OperationInfo& info = operationInfo(op);
        for (const auto& args : argSets) {
            CallResult result;
            switch (info.argCount) {
            case 1: result = call(op, {args[0]}); break;
            case 2: result = call(op, {args[0], args[1]}); break;
            default: result = call(op, {args[0], args[1], args[2]}); break;
            }
            if (info.result != ResultKind::Bool) continue;
            const bool expected = op != 5;
            if (result.flag != expected) {
                problems.push_back(std::string(info.name) + " answered " + (result.flag ? "true" : "false") +
                                   ", expected " + (expected ? "true" : "false"));
                break;
            }
        }
    }
    if (!problems.empty()) fail(join(problems, "; "));
}

void Session::expectModeCalls(std::uint32_t calls) {
    if (!haveFrame) fail("no frame yet");
    if (modeCallsInFrame != calls) {
        fail("selectionMode was called " + std::to_string(modeCallsInFrame) + " times in the last frame, expected " +
             std::to_string(calls));
    }
}

Session::LastRecordedCall Session::recordingReport(const char* step) {
    auto last = reinterpret_cast<LastRecordedCall>(library->symbol("lastRecordedCall"));
    if (last == nullptr) fail(std::string(step) + " needs the recording plug-in (no lastRecordedCall export)");
    return last;
}

void Session::checkTrampolines() {
    const LastRecordedCall last = recordingReport("check-trampolines");
    ensureBound();
    std::vector<std::string> problems;
    Word report[kFields] = {};
    last(report);
    Word sequence = report[kSequence];
    for (int op = 0; op < kOperationCount; ++op) {
        const OperationInfo& info = operationInfo(op);
        const std::string where = HostRecords::fieldName(op) + " (operation " + std::to_string(op) + ", " + info.name + ")";
        for (int variant = 0; variant < 2; ++variant) {
            Word args[3] = {};
            trampolineArguments(op, variant, info, args);
            CallResult result;
            switch (info.argCount) {
            case 0: result = call(op, {}); break;
            case 1: result = call(op, {args[0]}); break;
            case 2: result = call(op, {args[0], args[1]}); break;
            default: result = call(op, {args[0], args[1], args[2]}); break;
            }
            for (Word& field : report) field = 0;
            const std::int32_t reached = last(report);
            if (report[kSequence] != sequence + 1) {
                problems.push_back(where + ": the call was not recorded");
                break;
            }
            sequence = report[kSequence];
            if (reached != op) {
                problems.push_back(where + " reached operation " + std::to_string(reached));
                break;
            }
            if (report[kInstance] != report[kInstances]) {
                problems.push_back(where + " reached instance " + std::to_string(report[kInstance]) + " of " +
                                   std::to_string(report[kInstances]) + ", not the newest");
            }
            if (static_cast<int>(report[kArgCount]) != info.argCount) {
                problems.push_back(where + " recorded " + std::to_string(report[kArgCount]) + " arguments");
            }
            for (int i = 0; i < info.argCount; ++i) {
                // 32-bit arguments: an index is compared as the signed value the host passed.
                const Word got = info.indexArgument ? static_cast<Word>(static_cast<std::uint32_t>(report[kArgA + i]))
                                                    : report[kArgA + i];
                if (got != args[i]) {
                    problems.push_back(where + ": argument " + std::to_string(i + 1) + " arrived as " + hex(got) +
                                       ", passed " + hex(args[i]));
                }
            }
            const std::int32_t index = static_cast<std::int32_t>(static_cast<std::uint32_t>(args[0]));
            switch (info.result) {
            case ResultKind::Bool:
                if (result.flag != recordedFlag(info, args)) {
                    problems.push_back(where + " answered " + (result.flag ? "true" : "false") + ", the plug-in " +
                                       (recordedFlag(info, args) ? "true" : "false"));
                }
                break;
            case ResultKind::Int: {
                const std::int32_t expected = op == 2 ? kRecordedCount : recordedType(index);
                if (result.number != expected) {
                    problems.push_back(where + " answered " + std::to_string(result.number) + ", the plug-in " +
                                       std::to_string(expected));
                }
                break;
            }
            case ResultKind::Text:
                if (result.text == nullptr || recordedName(index) != result.text) {
                    problems.push_back(where + " answered " +
                                       (result.text ? "\"" + std::string(result.text) + "\"" : std::string("null")) +
                                       ", the plug-in \"" + recordedName(index) + "\"");
                }
                break;
            case ResultKind::None: break;
            }
        }
    }
    if (!problems.empty()) fail(join(problems, "; "));
}

void Session::expectInstances(Word instances) {
    const LastRecordedCall last = recordingReport("expect-instances");
    Word report[kFields] = {};
    last(report);
    if (report[kInstances] != instances) {
        fail(std::to_string(report[kInstances]) + " instances were created, expected " + std::to_string(instances));
    }
}

void Session::checkGlStateAfterFrames(bool visible) {
    for (int lighting = 1; lighting >= 0; --lighting) {
        FrameCapture capture;
        drawFrame(0, lighting, &capture);
        const std::vector<std::string> problems = checkGlState(capture.before, capture.after, visible);
        if (!problems.empty()) {
            fail(std::string("after a ") + (visible ? "visible" : "hidden") + " frame with lighting " +
                 (lighting ? "on" : "off") + ": " + join(problems, "; "));
        }
    }
}

void Session::frameWithUnpackBuffer() {
    ensureGl();
    const unsigned buffer = bindUnpackBuffer();
    if (buffer == 0) fail("this OpenGL has no buffer objects to bind as a pixel-unpack buffer");
    unsigned boundAfter = 0;
    try {
        drawFrame(0);
        boundAfter = unpackBufferBinding();
    } catch (const StepFailure&) {
        deleteUnpackBuffer(buffer);
        throw;
    }
    deleteUnpackBuffer(buffer);
    if (boundAfter != buffer) {
        fail("the frame left pixel-unpack buffer " + std::to_string(boundAfter) + " bound; the host had bound " +
             std::to_string(buffer));
    }
}

void Session::countLists() {
    ensureGl();
    listBaseline = countLiveLists();
    textureBaseline = countLiveTextures();
    std::printf("standin_host: %ld live display lists, %ld live textures\n", listBaseline, textureBaseline);
}

void Session::expectListsStable() {
    ensureGl();
    if (listBaseline < 0) fail("no count to compare with: use count-lists first");
    const long live = countLiveLists();
    if (live != listBaseline) {
        fail(std::to_string(live) + " live display lists, " + std::to_string(listBaseline) +
             " at count-lists: " + (live > listBaseline ? "lists leak" : "lists went missing"));
    }
    const long textures = countLiveTextures();
    if (textures != textureBaseline) {
        fail(std::to_string(textures) + " live textures, " + std::to_string(textureBaseline) +
             " at count-lists: " + (textures > textureBaseline ? "textures leak" : "textures went missing"));
    }
}

void Session::expectLiveLists(long lists) {
    ensureGl();
    const long live = countLiveLists();
    if (live != lists) fail(std::to_string(live) + " live display lists, expected " + std::to_string(lists));
}

}  // namespace standin
