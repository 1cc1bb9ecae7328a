// A plug-in that overrides nothing: every operation answers the PluginBase default.
#include <new>

#include "exports.h"
#include "host/plugin_base.h"

TEST_PLUGIN_EXPORT std::int32_t OSTRIVANE_HOST_CALL getPluginVersion() { return host::kPluginInterfaceVersion; }

TEST_PLUGIN_EXPORT void OSTRIVANE_HOST_CALL initializePlugin(host::PluginHostRecord* record) {
    host::bindInstance(record, new (std::nothrow) host::PluginBase());
}
