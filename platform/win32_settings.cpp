// Settings file of the Windows DLL: the system's profile reader, which is what the plug-in's users
// edit their settings against.
//
// Paths are UTF-8 here and go to the wide-character API, so that a file in a folder whose name the
// ANSI code page cannot spell (a Cyrillic user name on a Western system) is found. Values come back
// as GetPrivateProfileStringA gives them: it is the wide reader followed by a conversion to the
// ANSI code page, and that is what readSettingsValue does. A plain ASCII path, such as the
// relative one the plug-in reads first, names the same file either way.
#include <windows.h>

#include <cstdio>

#include "platform/platform.h"

namespace platform {
namespace {

// Wide text on the stack: frames look at the settings file, and frames allocate nothing.
constexpr int kWideCapacity = 1024;

// `utf8` as UTF-16 in `wide` (kWideCapacity units). False for null, invalid UTF-8 or text too long.
bool toWide(const char* utf8, WCHAR* wide) {
    if (!utf8) return false;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide, kWideCapacity) > 0;
}

// A section or key name in UTF-16 the way the ANSI reader converts it: from the ANSI code page.
bool ansiToWide(const char* ansi, WCHAR* wide) {
    if (!ansi) return false;
    return MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, kWideCapacity) > 0;
}

}  // namespace

std::uint32_t readSettingsValue(const char* path, const char* section, const char* key, char* dst,
                                std::uint32_t capacity) {
    if (!dst || capacity == 0) return 0;
    dst[0] = '\0';
    // A null section or key would make the reader list names instead of reading a value.
    WCHAR widePath[kWideCapacity], wideSection[kWideCapacity], wideKey[kWideCapacity];
    if (!toWide(path, widePath) || !ansiToWide(section, wideSection) || !ansiToWide(key, wideKey)) return 0;
    // The value in UTF-16 takes at most `capacity` units, terminator included, as the ANSI
    // reader's own buffer does. Larger requests than the stack holds are made at load time only.
    WCHAR stackValue[kWideCapacity];
    WCHAR* value = stackValue;
    if (capacity > static_cast<std::uint32_t>(kWideCapacity)) {
        value = static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(WCHAR)));
        if (!value) return 0;
    }
    const DWORD units = GetPrivateProfileStringW(wideSection, wideKey, L"", value, capacity, widePath);
    // With its terminator; a result that does not fit (never in a single-byte code page) is cut.
    int written = WideCharToMultiByte(CP_ACP, 0, value, static_cast<int>(units) + 1, dst, static_cast<int>(capacity),
                                      nullptr, nullptr);
    if (written == 0) {
        written = static_cast<int>(capacity);
        dst[capacity - 1] = '\0';
    }
    if (value != stackValue) HeapFree(GetProcessHeap(), 0, value);
    return static_cast<std::uint32_t>(written - 1);
}

bool settingsKeyExists(const char* path, const char* section, const char* key) {
    WCHAR widePath[kWideCapacity], wideSection[kWideCapacity], wideKey[kWideCapacity];
    if (!toWide(path, widePath) || !ansiToWide(section, wideSection) || !ansiToWide(key, wideKey)) return false;
    // The reader answers its default only for a key it does not find, so a default no file
    // holds tells the two apart.
    static const WCHAR kAbsent[] = L"\x01\x02" L"absent" L"\x02\x01";
    WCHAR value[sizeof kAbsent / sizeof kAbsent[0] + 1];
    GetPrivateProfileStringW(wideSection, wideKey, kAbsent, value, sizeof value / sizeof value[0], widePath);
    return lstrcmpW(value, kAbsent) != 0;
}

bool settingsFileReadable(const char* path) {
    WCHAR wide[kWideCapacity];
    // Opening would succeed for a path that the profile reader refuses.
    if (!toWide(path, wide) || lstrlenW(wide) >= MAX_PATH) return false;
    std::FILE* file = _wfopen(wide, L"r");
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
    if (!out) return false;
    WCHAR wide[kWideCapacity];
    if (!toWide(path, wide)) return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide, GetFileExInfoStandard, &data)) return false;
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
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&libraryFolderFile), &module)) {
        return false;
    }
    WCHAR modulePath[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameW(module, modulePath, MAX_PATH + 1);
    if (length == 0 || length >= MAX_PATH + 1) return false;  // none, or cut
    DWORD folderLength = length;
    while (folderLength > 0 && modulePath[folderLength - 1] != L'\\' && modulePath[folderLength - 1] != L'/') {
        --folderLength;
    }
    if (folderLength == 0) return false;
    const int folderBytes = WideCharToMultiByte(CP_UTF8, 0, modulePath, static_cast<int>(folderLength), out,
                                                static_cast<int>(capacity), nullptr, nullptr);
    const std::size_t nameLength = lstrlenA(fileName);
    if (folderBytes == 0 || folderBytes + nameLength >= capacity) return false;
    CopyMemory(out + folderBytes, fileName, nameLength + 1);
    return true;
}

// Batches serve readers that parse the file themselves; the profile reader is asked key by key.
// It keeps a parsed file until the file's write time changes, so a file saved again within the
// same time stamp (with another size) would read stale: the cache is flushed first.
void beginSettingsBatch(const char* path) {
    WCHAR wide[kWideCapacity];
    if (settingsFileReadable(path) && toWide(path, wide)) WritePrivateProfileStringW(nullptr, nullptr, nullptr, wide);
}

void endSettingsBatch() {}

}  // namespace platform
