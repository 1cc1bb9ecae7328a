#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// GetProcessMemoryInfo from KERNEL32 (K32GetProcessMemoryInfo) rather than psapi.dll.
#define PSAPI_VERSION 2
#include <psapi.h>

#include "platform_host.h"

namespace standin {

namespace {

class Win32Library : public PluginLibrary {
public:
    explicit Win32Library(HMODULE module) : loadedModule(module) {}
    // The library stays loaded: plug-ins are never unloaded by the host while it runs.
    void* symbol(const char* name) override {
        return reinterpret_cast<void*>(GetProcAddress(loadedModule, name));
    }

private:
    HMODULE loadedModule;
};

std::string systemMessage(DWORD code) {
    WCHAR text[512] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                   text, sizeof text / sizeof text[0], nullptr);
    char utf8[4 * 512] = {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), utf8, sizeof utf8, nullptr, nullptr);
    std::string message(utf8, bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return "error " + std::to_string(code) + (message.empty() ? "" : ": " + message);
}

}  // namespace

std::unique_ptr<PluginLibrary> loadPluginLibrary(const std::filesystem::path& path, std::string* error) {
    // No error boxes: a missing dependency must come back as an error, not a dialog.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryW(path.c_str());
    const DWORD code = GetLastError();
    SetErrorMode(previousMode);
    if (module == nullptr) {
        *error = systemMessage(code);
        return nullptr;
    }
    return std::make_unique<Win32Library>(module);
}

std::uint32_t systemTick() { return static_cast<std::uint32_t>(GetTickCount()); }

void setEnvironment(const char* name, const char* value) { SetEnvironmentVariableA(name, value); }

long processMemoryKb() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        return -1;
    }
    // Some systems leave PrivateUsage at 0; the commit charge is the same quantity.
    const SIZE_T bytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    return bytes != 0 ? static_cast<long>(bytes / 1024) : -1;
}

}  // namespace standin
