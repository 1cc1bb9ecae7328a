// The library's two exported entries.
#include "host/plugin_base.h"

#if defined(_WIN32)
#define OSTRIVANE_EXPORT __declspec(dllexport)
#else
#define OSTRIVANE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

OSTRIVANE_EXPORT std::int32_t OSTRIVANE_HOST_CALL getPluginVersion() { return host::kPluginInterfaceVersion; }

// Creates the plug-in's instance and binds the host's record to it. Every call makes a new
// instance and rebinds; the previous one stays allocated, unreached. If no instance can be made,
// the trampolines are still written and answer the harmless defaults.
OSTRIVANE_EXPORT void OSTRIVANE_HOST_CALL initializePlugin(host::PluginHostRecord* record) {
    host::bindInstance(record, host::createPluginInstance(record));
}

}  // extern "C"
