// Settings file of the Windows DLL: the file's bytes (settings_file.cpp parses them with the
// portable reader, as natively) and the ANSI code page. The system's profile reader is not used: it
// decodes a file without a byte-order mark in the ANSI code page before anyone can tell UTF-8.
//
// Paths are UTF-8 here and go to the wide-character API, so that a file in a folder whose name the
// ANSI code page cannot spell (a Cyrillic user name on a Western system) is found. A plain ASCII
// path, such as the relative one the plug-in reads first, names the same file either way.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/portable_ini.h"
#include "platform/settings_file.h"

namespace platform {
namespace {

// Wide text on the stack: frames look at the settings file, and frames allocate nothing.
constexpr int kWideCapacity = 1024;

// `utf8` as UTF-16 in `wide` (kWideCapacity units). False for null, invalid UTF-8 or text too long.
bool toWide(const char* utf8, WCHAR* wide) {
    if (!utf8) return false;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide, kWideCapacity) > 0;
}

}  // namespace

unsigned char* readSettingsBytes(const char* path, std::size_t* length) {
    *length = 0;
    WCHAR wide[kWideCapacity];
    // The same paths as settingsFileReadable takes.
    if (!toWide(path, wide) || lstrlenW(wide) >= MAX_PATH) return nullptr;
    // Shared every way, so that an editor holding the file open does not turn the read away. A
    // directory does not open without backup semantics.
    HANDLE file = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    unsigned char* bytes = nullptr;
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
        static_cast<unsigned long long>(size.QuadPart) <= kMaxSettingsFileBytes) {
        const DWORD wanted = static_cast<DWORD>(size.QuadPart);
        bytes = static_cast<unsigned char*>(std::malloc(wanted ? wanted : 1));
        DWORD filled = 0;
        while (bytes && filled < wanted) {
            DWORD got = 0;
            if (!ReadFile(file, bytes + filled, wanted - filled, &got, nullptr) || got == 0) break;
            filled += got;
        }
        *length = filled;
    }
    CloseHandle(file);
    return bytes;
}

std::uint32_t ansiCodePage() { return GetACP(); }

std::size_t decodeAnsiText(const unsigned char* bytes, std::size_t length, std::uint32_t* out, std::size_t capacity) {
    const UINT page = GetACP();
    // Code page 1252 by the same table as natively: the system's own gives its five undefined
    // bytes C1 controls.
    if (page == 1252) return decodeWindows1252(bytes, length, out, capacity);
    std::size_t count = 0;
    std::size_t offset = 0;
    while (offset < length && count < capacity) {
        // One character at a time, so that a byte the code page leaves undefined costs only itself.
        const int size = IsDBCSLeadByteEx(page, bytes[offset]) && offset + 1 < length ? 2 : 1;
        WCHAR units[2];
        const int got = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes + offset),
                                            size, units, 2);
        std::uint32_t codePoint = kUndefinedCharacter;
        if (got == 1) {
            codePoint = units[0];
        } else if (got == 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF && units[1] >= 0xDC00 && units[1] <= 0xDFFF) {
            codePoint = 0x10000 + ((static_cast<std::uint32_t>(units[0]) - 0xD800) << 10) + (units[1] - 0xDC00);
        }
        offset += codePoint != kUndefinedCharacter ? static_cast<std::size_t>(size) : 1;
        // No ANSI code page holds a C1 control: one decoded as such is a byte the page leaves out.
        if (codePoint >= 0x80 && codePoint < 0xA0) codePoint = kUndefinedCharacter;
        if (out) out[count] = codePoint;
        ++count;
    }
    return count;
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

}  // namespace platform
