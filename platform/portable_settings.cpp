// Settings file of the native builds: the file's bytes (settings_file.cpp parses them), and the
// ANSI code page, which is Windows-1252 unless a test sets another.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/portable_ini.h"
#include "platform/settings_file.h"

namespace platform {
namespace {

// The plug-in writes paths the Windows way; returns a malloc'ed copy with '/' separators, or null.
char* nativePath(const char* path) {
    if (!path) return nullptr;
    const std::size_t length = std::strlen(path);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) return nullptr;
    for (std::size_t index = 0; index <= length; ++index) copy[index] = path[index] == '\\' ? '/' : path[index];
    return copy;
}

// Opens `path` for reading if it is a regular file; -1 otherwise. Non-blocking, so that a FIFO
// left where the file should be cannot hang the caller before it is turned away.
int openRegularFile(const char* path, struct stat* info) {
    const int descriptor = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return -1;
    if (::fstat(descriptor, info) != 0 || !S_ISREG(info->st_mode)) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

}  // namespace

unsigned char* readSettingsBytes(const char* path, std::size_t* length) {
    *length = 0;
    char* filePath = nativePath(path);
    if (!filePath) return nullptr;
    struct stat info;
    const int descriptor = openRegularFile(filePath, &info);
    std::free(filePath);
    if (descriptor < 0) return nullptr;
    unsigned char* bytes = nullptr;
    if (static_cast<unsigned long long>(info.st_size) <= kMaxSettingsFileBytes) {
        const std::size_t size = static_cast<std::size_t>(info.st_size);
        bytes = static_cast<unsigned char*>(std::malloc(size ? size : 1));
        std::size_t filled = 0;
        while (bytes && filled < size) {
            const ssize_t got = ::read(descriptor, bytes + filled, size - filled);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            filled += static_cast<std::size_t>(got);
        }
        *length = filled;
    }
    ::close(descriptor);
    return bytes;
}

std::uint32_t ansiCodePage() {
    // Tests stand in for a system set to another code page.
    const char* page = std::getenv("OSTRIVANE_TEST_CODE_PAGE");
    const long number = page != nullptr ? std::strtol(page, nullptr, 10) : 0;
    return number > 0 && number < 65536 ? static_cast<std::uint32_t>(number) : 1252;
}

std::size_t decodeAnsiText(const unsigned char* bytes, std::size_t length, std::uint32_t* out, std::size_t capacity) {
    const std::uint32_t page = ansiCodePage();
    char name[16];
    std::snprintf(name, sizeof name, "CP%u", static_cast<unsigned>(page));
    iconv_t converter = page == 1252 ? reinterpret_cast<iconv_t>(-1) : iconv_open("UTF-32LE", name);
    if (converter == reinterpret_cast<iconv_t>(-1)) return decodeWindows1252(bytes, length, out, capacity);
    std::size_t count = 0;
    std::size_t offset = 0;
    while (offset < length && count < capacity) {
        // One character at a time, so that a byte the code page leaves undefined costs only itself.
        unsigned char decoded[4];
        char* input = const_cast<char*>(reinterpret_cast<const char*>(bytes + offset));
        char* output = reinterpret_cast<char*>(decoded);
        std::size_t inputLeft = length - offset;
        std::size_t outputLeft = sizeof decoded;
        std::uint32_t codePoint = kUndefinedCharacter;
        const std::size_t result = iconv(converter, &input, &inputLeft, &output, &outputLeft);
        if (outputLeft == 0) {
            codePoint = decoded[0] | (decoded[1] << 8) | (decoded[2] << 16) | (static_cast<std::uint32_t>(decoded[3]) << 24);
            offset = length - inputLeft;
        } else {
            (void)result;
            ++offset;  // undefined, or a lead byte cut short: the byte alone
        }
        // No ANSI code page holds a C1 control: one decoded as such is a byte the page leaves out.
        if (codePoint >= 0x80 && codePoint < 0xA0) codePoint = kUndefinedCharacter;
        if (out) out[count] = codePoint;
        ++count;
    }
    iconv_close(converter);
    return count;
}

bool settingsFileReadable(const char* path) {
    char* filePath = nativePath(path);
    if (!filePath) return false;
    struct stat info;
    const int descriptor = openRegularFile(filePath, &info);
    std::free(filePath);
    if (descriptor < 0) return false;
    ::close(descriptor);
    return true;
}

bool settingsFileStamp(const char* path, FileStamp* out) {
    if (!path || !out) return false;
    // Converted on the stack: frames call this, and frames allocate nothing.
    char filePath[4096];
    const std::size_t length = std::strlen(path);
    if (length >= sizeof filePath) return false;
    for (std::size_t index = 0; index <= length; ++index) filePath[index] = path[index] == '\\' ? '/' : path[index];
    struct stat info;
    if (::stat(filePath, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    out->writeTime = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                     static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
    out->size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool libraryFolderFile(const char* fileName, char* out, std::uint32_t capacity) {
    if (!fileName || !out || capacity == 0) return false;
    // The object that holds this function: the plug-in's shared library, or a tool's program.
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&libraryFolderFile), &info) == 0) return false;
    const char* library = info.dli_fname;
    // The loader names a program by what it was started as, which may be a path relative to a
    // folder that is no longer the current one, or a name without a folder: the kernel knows its
    // full path.
    char program[4096];
    if (!library || library[0] != '/') {
        const ssize_t length = ::readlink("/proc/self/exe", program, sizeof program - 1);
        if (length <= 0) return false;
        program[length] = '\0';
        const char* started = library != nullptr && std::strrchr(library, '/') ? std::strrchr(library, '/') + 1 : library;
        const char* running = std::strrchr(program, '/') + 1;
        if (library == nullptr || std::strcmp(started, running) == 0) library = program;
    }
    if (!std::strchr(library, '/')) return false;
    const char* slash = std::strrchr(library, '/');
    const std::size_t folderLength = static_cast<std::size_t>(slash - library) + 1;
    const std::size_t nameLength = std::strlen(fileName);
    if (folderLength + nameLength >= capacity) return false;
    std::memcpy(out, library, folderLength);
    std::memcpy(out + folderLength, fileName, nameLength + 1);
    return true;
}

}  // namespace platform
