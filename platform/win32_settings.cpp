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

bool settingsKeyExists(const char* path, const char* section, const char* key) {
    if (!path || !section || !key) return false;
    // The reader answers its default only for a key it does not find, so a default no file
    // holds tells the two apart.
    static const char kAbsent[] = "\x01\x02" "absent" "\x02\x01";
    char value[sizeof kAbsent + 1];
    GetPrivateProfileStringA(section, key, kAbsent, value, sizeof value, path);
    return lstrcmpA(value, kAbsent) != 0;
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
