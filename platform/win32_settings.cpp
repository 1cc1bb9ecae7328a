// Settings file of the Windows DLL: the system's profile reader, which is what the plug-in's users
// edit their settings against.
#include <windows.h>

#include <cstdio>

#include "platform/platform.h"

namespace platform {

std::uint32_t readSettingsValue(const char* path, const char* section, const char* key, char* dst,
                                std::uint32_t capacity) {
    if (!dst || capacity == 0) return 0;
    // A null section or key would make the reader list names instead of reading a value.
    if (!path || !section || !key) {
        dst[0] = '\0';
        return 0;
    }
    return GetPrivateProfileStringA(section, key, "", dst, capacity, path);
}

bool settingsFileReadable(const char* path) {
    if (!path) return false;
    std::FILE* file = std::fopen(path, "r");
    if (!file) return false;
    std::fclose(file);
    return true;
}

// Batches serve readers that parse the file themselves; the profile reader is asked key by key.
void beginSettingsBatch(const char*) {}

void endSettingsBatch() {}

}  // namespace platform
