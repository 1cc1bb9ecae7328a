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
    // fopen would open a path that the profile reader refuses.
    if (!path || lstrlenA(path) >= MAX_PATH) return false;
    std::FILE* file = std::fopen(path, "r");
    if (!file) return false;
    std::fclose(file);
    return true;
}

std::uint32_t readSettingsFileStart(const char* path, unsigned char* dst, std::uint32_t capacity) {
    if (!path || !dst || capacity == 0) return 0;
    // Shared every way, so that an editor holding the file open does not turn the read away.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD got = 0;
    if (!ReadFile(file, dst, capacity, &got, nullptr)) got = 0;
    CloseHandle(file);
    return got;
}

bool settingsFileStamp(const char* path, FileStamp* out) {
    if (!path || !out) return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    out->writeTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                     data.ftLastWriteTime.dwLowDateTime;
    out->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool libraryFolderFile(const char* fileName, char* out, std::uint32_t capacity) {
    if (!fileName || !out || capacity == 0) return false;
    HMODULE module = nullptr;
    // The module that holds this function: the plug-in's DLL, whatever the host's own is.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&libraryFolderFile), &module)) {
        return false;
    }
    char modulePath[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(module, modulePath, sizeof modulePath);
    if (length == 0 || length >= sizeof modulePath) return false;  // none, or cut
    DWORD folderLength = length;
    while (folderLength > 0 && modulePath[folderLength - 1] != '\\' && modulePath[folderLength - 1] != '/') --folderLength;
    if (folderLength == 0) return false;
    const std::size_t nameLength = lstrlenA(fileName);
    if (folderLength + nameLength >= capacity) return false;
    CopyMemory(out, modulePath, folderLength);
    CopyMemory(out + folderLength, fileName, nameLength + 1);
    return true;
}

// Batches serve readers that parse the file themselves; the profile reader is asked key by key.
// It keeps a parsed file until the file's write time changes, so a file saved again within the
// same time stamp (with another size) would read stale: the cache is flushed first.
void beginSettingsBatch(const char* path) {
    if (settingsFileReadable(path)) WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
}

void endSettingsBatch() {}

}  // namespace platform
