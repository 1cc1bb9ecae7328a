#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/host_interface.h"
#include "host/plugin_base.h"
#include "host_caller.h"

namespace {

using host::HostArg;

// Records which operation was reached, with which arguments, and answers values derived from them.
class Recorder : public host::PluginBase {
public:
    int op = -1;
    std::vector<HostArg> args;

    bool note(int operation, std::vector<HostArg> a) {
        op = operation;
        args = std::move(a);
        return true;
    }
    bool runFunction(std::int32_t i) override { return note(0, {HostArg(i)}) && i != 99; }
    void releaseResources(HostArg v) override { note(1, {v}); }
    std::int32_t functionCount() override { return note(2, {}) ? 77 : 0; }
    const char* functionName(std::int32_t i) override { return note(3, {HostArg(i)}) ? "recorded" : nullptr; }
    std::int32_t functionType(std::int32_t i) override { return note(4, {HostArg(i)}) ? i + 1 : 0; }
    bool hook5(HostArg a, HostArg b) override { return note(5, {a, b}); }
    void hook6(HostArg a) override { note(6, {a}); }
    void hook7(HostArg a, HostArg b) override { note(7, {a, b}); }
    bool hook8(HostArg a, HostArg b, HostArg c) override { return note(8, {a, b, c}); }
    bool hook9(HostArg a, HostArg b, HostArg c) override { return note(9, {a, b, c}); }
    bool hook10(HostArg a, HostArg b, HostArg c) override { return note(10, {a, b, c}); }
    bool hook11(HostArg a, HostArg b, HostArg c) override { return note(11, {a, b, c}); }
    bool hook12(HostArg a, HostArg b, HostArg c) override { return note(12, {a, b, c}); }
    bool hook13(HostArg a, HostArg b, HostArg c) override { return note(13, {a, b, c}); }
    bool hook14(HostArg a, HostArg b, HostArg c) override { return note(14, {a, b, c}); }
    bool hook15(HostArg a, HostArg b) override { return note(15, {a, b}); }
    bool hook16(HostArg a, HostArg b) override { return note(16, {a, b}); }
    bool hook17(HostArg a, HostArg b) override { return note(17, {a, b}); }
    void hook18(HostArg a, HostArg b) override { note(18, {a, b}); }
    bool hook19(HostArg a, HostArg b) override { return note(19, {a, b}); }
    bool hook20(HostArg a) override { return note(20, {a}); }
    bool hook21(HostArg a) override { return note(21, {a}); }
    bool hook22(HostArg a) override { return note(22, {a}); }
    bool hook23(HostArg a) override { return note(23, {a}); }
    bool drawFunction(std::int32_t i) override { return note(24, {HostArg(i)}) && i != 99; }
};

constexpr int kArgCount[host::kOperationCount] = {1, 1, 0, 1, 1, 2, 1, 2, 3, 3, 3, 3, 3,
                                                  3, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1};

class HostBindingTest : public ::testing::Test {
protected:
    void TearDown() override { host::bindInstance(nullptr, nullptr); }

    host::ExtensionTable table{};
    host::PluginHostRecord record{};
};

TEST_F(HostBindingTest, EveryTrampolineReachesItsOwnOperationWithArgumentsUnchanged) {
    Recorder recorder;
    record.extensionTable = &table;
    host::bindInstance(&record, &recorder);
    Caller caller{record};
    for (int op = 0; op < host::kOperationCount; ++op) {
        const HostArg a = 0x1000u * op + 1, b = 0x1000u * op + 2, c = 0x1000u * op + 3;
        switch (kArgCount[op]) {
            case 0: EXPECT_EQ((caller.call<std::int32_t>(op)), 77); break;
            case 1:
                if (op == 3) {
                    EXPECT_STREQ((caller.call<const char*, std::int32_t>(op, std::int32_t(a))), "recorded");
                } else if (op == 4) {
                    EXPECT_EQ((caller.call<std::int32_t, std::int32_t>(op, std::int32_t(a))), std::int32_t(a) + 1);
                } else if (op == 0 || op == 24) {
                    EXPECT_TRUE((caller.call<bool, std::int32_t>(op, std::int32_t(a))));
                    EXPECT_FALSE((caller.call<bool, std::int32_t>(op, 99)));
                    caller.call<bool, std::int32_t>(op, std::int32_t(a));
                } else if (op == 1 || op == 6) {
                    caller.call<void, HostArg>(op, a);
                } else {
                    EXPECT_TRUE((caller.call<bool, HostArg>(op, a)));
                }
                break;
            case 2:
                if (op == 7 || op == 18) {
                    caller.call<void, HostArg, HostArg>(op, a, b);
                } else {
                    EXPECT_TRUE((caller.call<bool, HostArg, HostArg>(op, a, b)));
                }
                break;
            case 3: EXPECT_TRUE((caller.call<bool, HostArg, HostArg, HostArg>(op, a, b, c))); break;
        }
        EXPECT_EQ(recorder.op, op) << "slot of operation " << op;
        const std::vector<HostArg> expected = std::vector<HostArg>{a, b, c};
        EXPECT_EQ(recorder.args, std::vector<HostArg>(expected.begin(), expected.begin() + kArgCount[op]))
            << "arguments of operation " << op;
    }
}

TEST_F(HostBindingTest, SwappedExtensionFieldsCarryOperationsSeventeenAndSixteen) {
    Recorder recorder;
    record.extensionTable = &table;
    host::bindInstance(&record, &recorder);
    using Hook = bool(OSTRIVANE_HOST_CALL*)(HostArg, HostArg);
    reinterpret_cast<Hook>(table.operations[0x2C / 4])(1, 2);
    EXPECT_EQ(recorder.op, 17);
    reinterpret_cast<Hook>(table.operations[0x30 / 4])(1, 2);
    EXPECT_EQ(recorder.op, 16);
}

TEST_F(HostBindingTest, UnboundAndPlainPluginsAnswerTheDefaults) {
    host::PluginBase plain;
    record.extensionTable = &table;
    for (host::PluginBase* instance : {&plain, static_cast<host::PluginBase*>(nullptr)}) {
        host::bindInstance(&record, instance);
        Caller caller{record};
        EXPECT_TRUE((caller.call<bool, std::int32_t>(0, 3)));
        EXPECT_EQ((caller.call<std::int32_t>(2)), 1);
        EXPECT_STREQ((caller.call<const char*, std::int32_t>(3, 0)), "Dummy Plugin");
        EXPECT_STREQ((caller.call<const char*, std::int32_t>(3, 12345)), "Dummy Plugin");
        EXPECT_EQ((caller.call<std::int32_t, std::int32_t>(4, 1)), 0);
        EXPECT_FALSE((caller.call<bool, HostArg, HostArg>(5, 1, 2)));
        for (int op : {8, 9, 10, 11, 12, 13, 14}) EXPECT_TRUE((caller.call<bool, HostArg, HostArg, HostArg>(op, 1, 2, 3)));
        for (int op : {15, 16, 17, 19}) EXPECT_TRUE((caller.call<bool, HostArg, HostArg>(op, 1, 2)));
        for (int op : {20, 21, 22, 23}) EXPECT_TRUE((caller.call<bool, HostArg>(op, 1)));
        EXPECT_TRUE((caller.call<bool, std::int32_t>(24, 0)));
        caller.call<void, HostArg>(1, 0);
        caller.call<void, HostArg>(6, 0);
        caller.call<void, HostArg, HostArg>(7, 0, 0);
        caller.call<void, HostArg, HostArg>(18, 0, 0);
    }
}


}  // namespace
