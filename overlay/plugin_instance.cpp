// The plug-in's one instance, made for the exported initializePlugin.
#include <cstdlib>
#include <new>

#include "host/plugin_base.h"
#include "overlay/gl/opengl_graphics.h"
#include "overlay/overlay_plugin.h"

static_assert(alignof(overlay::OverlayPlugin) <= alignof(std::max_align_t), "malloc's alignment suffices");

// The memory comes from malloc and the object is built in it, because operator new, even the
// nothrow form, goes through the C++ runtime's exception machinery, which itself allocates and
// aborts the host's process when that fails too. The constructor allocates nothing.
host::PluginBase* host::createPluginInstance(PluginHostRecord* record) {
    void* memory = std::malloc(sizeof(overlay::OverlayPlugin));
    if (memory == nullptr) return nullptr;
    auto* instance = ::new (memory) overlay::OverlayPlugin(overlay::openGlGraphics());
    instance->attachHost(record);
    return instance;
}
