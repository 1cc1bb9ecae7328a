// A plug-in that records every operation the host reaches, for the trampoline test: each
// instance overrides all 25 operations, records (operation, arguments) and answers a value
// derived from the arguments, so the host can tell that the right operation got its arguments
// and that the answer came back unchanged.
//
// Answers: runFunction and drawFunction: the index is odd; functionCount: 0x12345678;
// functionName(i): "recorded <i>"; functionType(i): -3i - 7; bool hooks: the sum of the
// arguments is odd.
//
// Faulty variants for the host's own tests: RECORDING_SWAP_16_17 writes operations 16 and 17 into
// each other's fields; RECORDING_CALLEE_POPS (32-bit) puts a runFunction that removes its own
// argument into field 0x00.
#include <cstdio>
#include <new>
#include <utility>

#include "exports.h"
#include "host/plugin_base.h"

namespace {

using host::HostArg;

// lastRecordedCall's report, one word each.
enum Field { kOperation, kArgA, kArgB, kArgC, kArgCount, kInstance, kSequence, kInstances, kFields };

struct Recording {
    std::int32_t operation = -1;
    HostArg args[3] = {0, 0, 0};
    int argCount = 0;
    int instance = 0;
    unsigned long sequence = 0;
};

Recording last;
int instancesCreated = 0;

HostArg indexWord(std::int32_t index) { return static_cast<HostArg>(static_cast<std::uint32_t>(index)); }

class Recorder : public host::PluginBase {
public:
    explicit Recorder(int id) : instanceId(id) {}

    bool runFunction(std::int32_t index) override {
        record(0, 1, indexWord(index));
        return (index & 1) != 0;
    }
    void releaseResources(HostArg value) override { record(1, 1, value); }
    std::int32_t functionCount() override {
        record(2, 0);
        return 0x12345678;
    }
    const char* functionName(std::int32_t index) override {
        record(3, 1, indexWord(index));
        std::snprintf(name, sizeof name, "recorded %d", static_cast<int>(index));
        return name;
    }
    std::int32_t functionType(std::int32_t index) override {
        record(4, 1, indexWord(index));
        return -3 * index - 7;
    }
    bool hook5(HostArg a, HostArg b) override { return record(5, 2, a, b); }
    void hook6(HostArg a) override { record(6, 1, a); }
    void hook7(HostArg a, HostArg b) override { record(7, 2, a, b); }
    bool hook8(HostArg a, HostArg b, HostArg c) override { return record(8, 3, a, b, c); }
    bool hook9(HostArg a, HostArg b, HostArg c) override { return record(9, 3, a, b, c); }
    bool hook10(HostArg a, HostArg b, HostArg c) override { return record(10, 3, a, b, c); }
    bool hook11(HostArg a, HostArg b, HostArg c) override { return record(11, 3, a, b, c); }
    bool hook12(HostArg a, HostArg b, HostArg c) override { return record(12, 3, a, b, c); }
    bool hook13(HostArg a, HostArg b, HostArg c) override { return record(13, 3, a, b, c); }
    bool hook14(HostArg a, HostArg b, HostArg c) override { return record(14, 3, a, b, c); }
    bool hook15(HostArg a, HostArg b) override { return record(15, 2, a, b); }
    bool hook16(HostArg a, HostArg b) override { return record(16, 2, a, b); }
    bool hook17(HostArg a, HostArg b) override { return record(17, 2, a, b); }
    void hook18(HostArg a, HostArg b) override { record(18, 2, a, b); }
    bool hook19(HostArg a, HostArg b) override { return record(19, 2, a, b); }
    bool hook20(HostArg a) override { return record(20, 1, a); }
    bool hook21(HostArg a) override { return record(21, 1, a); }
    bool hook22(HostArg a) override { return record(22, 1, a); }
    bool hook23(HostArg a) override { return record(23, 1, a); }
    bool drawFunction(std::int32_t index) override {
        record(24, 1, indexWord(index));
        return (index & 1) != 0;
    }

private:
    // Records the call; answers whether the sum of the arguments is odd.
    bool record(std::int32_t operation, int argCount, HostArg a = 0, HostArg b = 0, HostArg c = 0) {
        last.operation = operation;
        last.args[0] = a;
        last.args[1] = b;
        last.args[2] = c;
        last.argCount = argCount;
        last.instance = instanceId;
        ++last.sequence;
        return ((a + b + c) & 1) != 0;
    }

    int instanceId;
    char name[32] = {};
};

// Earlier instances stay allocated, as in the real plug-in, and reachable from here.
constexpr int kKeptInstances = 64;
Recorder* keptInstances[kKeptInstances] = {};

}  // namespace

TEST_PLUGIN_EXPORT std::int32_t OSTRIVANE_HOST_CALL getPluginVersion() { return host::kPluginInterfaceVersion; }

#if defined(RECORDING_CALLEE_POPS) && defined(__i386__)
// Removes its own argument on return, which the host's callers do not expect.
bool __attribute__((stdcall)) runFunctionCalleePops(std::int32_t index) {
    return host::pluginInstance->runFunction(index);
}
#endif

TEST_PLUGIN_EXPORT void OSTRIVANE_HOST_CALL initializePlugin(host::PluginHostRecord* record) {
    Recorder* instance = new (std::nothrow) Recorder(++instancesCreated);
    if (instancesCreated <= kKeptInstances) keptInstances[instancesCreated - 1] = instance;
    host::bindInstance(record, instance);
#ifdef RECORDING_SWAP_16_17
    // Faulty variant: operations 16 and 17 in the order of their numbers, not the host's.
    std::swap(record->extensionTable->operations[11], record->extensionTable->operations[12]);
#endif
#if defined(RECORDING_CALLEE_POPS) && defined(__i386__)
    record->operations[0] = reinterpret_cast<host::HostFunction>(&runFunctionCalleePops);
#endif
}

// Writes the last recorded call into out[0..7] (see Field) and returns its operation number,
// or -1 before any call.
TEST_PLUGIN_EXPORT std::int32_t OSTRIVANE_HOST_CALL lastRecordedCall(HostArg* out) {
    out[kOperation] = indexWord(last.operation);
    out[kArgA] = last.args[0];
    out[kArgB] = last.args[1];
    out[kArgC] = last.args[2];
    out[kArgCount] = static_cast<HostArg>(last.argCount);
    out[kInstance] = static_cast<HostArg>(last.instance);
    out[kSequence] = static_cast<HostArg>(last.sequence);
    out[kInstances] = static_cast<HostArg>(instancesCreated);
    return last.operation;
}
