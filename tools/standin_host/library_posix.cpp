#include <dlfcn.h>
#include <malloc.h>
#include <stdlib.h>
#include <time.h>

#include "platform_host.h"

namespace standin {

namespace {

class PosixLibrary : public PluginLibrary {
public:
    explicit PosixLibrary(void* handle) : loadedHandle(handle) {}
    // The library stays loaded: plug-ins are never unloaded by the host while it runs.
    void* symbol(const char* name) override { return dlsym(loadedHandle, name); }

private:
    void* loadedHandle;
};

}  // namespace

std::unique_ptr<PluginLibrary> loadPluginLibrary(const std::filesystem::path& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        *error = reason != nullptr ? reason : "unknown reason";
        return nullptr;
    }
    return std::make_unique<PosixLibrary>(handle);
}

std::uint32_t systemTick() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

void setEnvironment(const char* name, const char* value) {
    if (value == nullptr) {
        unsetenv(name);
    } else {
        setenv(name, value, 1);
    }
}

long processMemoryKb() {
    // Heap bytes in use, not the resident set: the allocator keeps freed memory, and the GL
    // driver's own pools move the resident set up and down by tens of megabytes.
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

}  // namespace standin
