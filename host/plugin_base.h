// The plug-in's side of the host boundary: the base class whose 25 operations the host reaches
// through trampolines, the one module-wide instance, and the binding that writes the trampolines
// into the host's record.
#pragma once

#include <cstdint>

#include "host/host_interface.h"

namespace host {

// Host arguments of the unnamed hooks: 32-bit values in the host's process, forwarded unchanged.
using HostArg = std::uintptr_t;

constexpr std::int32_t kPluginInterfaceVersion = 4;
constexpr int kOperationCount = 25;

// Every operation answers a harmless default, so a plug-in overrides only what it offers.
// The slot numbers are the operation numbers the host knows; the trampolines call by name.
class PluginBase {
public:
    PluginBase() = default;
    PluginBase(const PluginBase&) = delete;
    PluginBase& operator=(const PluginBase&) = delete;
    virtual ~PluginBase() = default;

    virtual bool runFunction(std::int32_t index);                 // 0
    virtual void releaseResources(HostArg value);                 // 1
    virtual std::int32_t functionCount();                         // 2
    virtual const char* functionName(std::int32_t index);         // 3
    virtual std::int32_t functionType(std::int32_t index);        // 4
    virtual bool hook5(HostArg a, HostArg b);                     // 5
    virtual void hook6(HostArg a);                                // 6
    virtual void hook7(HostArg a, HostArg b);                     // 7
    virtual bool hook8(HostArg a, HostArg b, HostArg c);          // 8
    virtual bool hook9(HostArg a, HostArg b, HostArg c);          // 9
    virtual bool hook10(HostArg a, HostArg b, HostArg c);         // 10
    virtual bool hook11(HostArg a, HostArg b, HostArg c);         // 11
    virtual bool hook12(HostArg a, HostArg b, HostArg c);         // 12
    virtual bool hook13(HostArg a, HostArg b, HostArg c);         // 13
    virtual bool hook14(HostArg a, HostArg b, HostArg c);         // 14
    virtual bool hook15(HostArg a, HostArg b);                    // 15
    virtual bool hook16(HostArg a, HostArg b);                    // 16
    virtual bool hook17(HostArg a, HostArg b);                    // 17
    virtual void hook18(HostArg a, HostArg b);                    // 18
    virtual bool hook19(HostArg a, HostArg b);                    // 19
    virtual bool hook20(HostArg a);                               // 20
    virtual bool hook21(HostArg a);                               // 21
    virtual bool hook22(HostArg a);                               // 22
    virtual bool hook23(HostArg a);                               // 23
    virtual bool drawFunction(std::int32_t index);                // 24
};

// The instance the trampolines call; null until bound. While it is null the trampolines answer
// the PluginBase defaults, so a host that calls them after a failed allocation is still served.
extern PluginBase* pluginInstance;

// Makes the plug-in's instance for `record`, or gives null when it cannot. host/ only declares it:
// the plug-in defines it, and the link joins it to the exported entries. It runs inside the
// host's call, so it must neither throw nor abort, whatever the allocator does.
PluginBase* createPluginInstance(PluginHostRecord* record);

// Makes `instance` (which may be null) the plug-in instance, then writes the trampolines of
// operations 0-4 into `record` and those of 5-24 into its extension table. A null record or a
// null extension table pointer is skipped rather than written through.
void bindInstance(PluginHostRecord* record, PluginBase* instance);

}  // namespace host
