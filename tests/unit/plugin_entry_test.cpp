// The exported entries of the product: the version, and initializePlugin making the overlay and
// binding the host's record to it.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/host_interface.h"
#include "host/plugin_base.h"
#include "host_caller.h"

extern "C" std::int32_t OSTRIVANE_HOST_CALL getPluginVersion();
extern "C" void OSTRIVANE_HOST_CALL initializePlugin(host::PluginHostRecord* record);

namespace {

class PluginEntryTest : public ::testing::Test {
protected:
    void TearDown() override { host::bindInstance(nullptr, nullptr); }

    host::ExtensionTable table{};
    host::PluginHostRecord record{};
};

TEST_F(PluginEntryTest, VersionIsFourBeforeAndAfterBinding) {
    EXPECT_EQ(getPluginVersion(), 4);
    record.extensionTable = &table;
    initializePlugin(&record);
    EXPECT_EQ(getPluginVersion(), 4);
}

TEST_F(PluginEntryTest, SecondInitializeRebindsToANewOverlay) {
    record.extensionTable = &table;
    initializePlugin(&record);
    host::PluginBase* first = host::pluginInstance;
    ASSERT_NE(first, nullptr);
    Caller caller{record};
    EXPECT_EQ((caller.call<std::int32_t>(2)), 5);
    EXPECT_STREQ((caller.call<const char*, std::int32_t>(3, 0)), "Ostrivane Drawing Fn");
    caller.call<bool, std::int32_t>(0, 1);  // Switch: the first instance becomes visible

    initializePlugin(&record);
    EXPECT_NE(host::pluginInstance, first);
    // The new instance starts hidden: Switch on it must not have been seen.
    auto* overlay = static_cast<host::PluginBase*>(host::pluginInstance);
    EXPECT_STREQ(overlay->functionName(4), "Ostrivane Reload INI");
}

TEST_F(PluginEntryTest, NullRecordOrTableIsNeverWrittenThrough) {
    initializePlugin(nullptr);
    EXPECT_NE(host::pluginInstance, nullptr);
    record.extensionTable = nullptr;
    initializePlugin(&record);
    for (host::HostFunction f : record.operations) EXPECT_NE(f, nullptr);
}

}  // namespace
