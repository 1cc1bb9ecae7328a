// Settings file of the native builds: the file is read whole and parsed by the portable reader,
// which answers like the Windows profile reader.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/portable_ini.h"

namespace platform {
namespace {

// Larger files read as missing. Generous: real settings files are a few kilobytes.
constexpr off_t kMaxSettingsFileBytes = 64 * 1024 * 1024;

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

// Reads and parses the file; null when it is missing, not a regular file, too large or unreadable,
// or when memory runs out.
IniDocument* loadDocument(const char* nativeFilePath) {
    struct stat info;
    const int descriptor = openRegularFile(nativeFilePath, &info);
    if (descriptor < 0) return nullptr;
    IniDocument* document = nullptr;
    if (info.st_size <= kMaxSettingsFileBytes) {
        const std::size_t size = static_cast<std::size_t>(info.st_size);
        unsigned char* bytes = static_cast<unsigned char*>(std::malloc(size ? size : 1));
        if (bytes) {
            // A file that shrinks while it is read is parsed as far as it went.
            std::size_t filled = 0;
            while (filled < size) {
                const ssize_t got = ::read(descriptor, bytes + filled, size - filled);
                if (got < 0 && errno == EINTR) continue;
                if (got <= 0) break;
                filled += static_cast<std::size_t>(got);
            }
            document = parseIni(bytes, filled);
            std::free(bytes);
        }
    }
    ::close(descriptor);
    return document;
}

// The batch: one parse of one file, shared by the reads between begin and end. One global, as
// batches do not nest; settings must not be loaded on two threads at once.
struct Batch {
    bool active;
    char* path;             // native form of the batch's path
    bool loaded;            // the file has been read (document may still be null: missing)
    IniDocument* document;
};

Batch gBatch = {false, nullptr, false, nullptr};

}  // namespace

std::uint32_t readSettingsValue(const char* path, const char* section, const char* key, char* dst,
                                std::uint32_t capacity) {
    if (!dst || capacity == 0) return 0;
    dst[0] = '\0';
    char* filePath = nativePath(path);
    if (!filePath) return 0;

    std::uint32_t written = 0;
    if (gBatch.active && gBatch.path && std::strcmp(gBatch.path, filePath) == 0) {
        if (!gBatch.loaded) {
            gBatch.document = loadDocument(filePath);
            gBatch.loaded = true;
        }
        written = lookupIni(gBatch.document, section, key, dst, capacity);
    } else {
        IniDocument* document = loadDocument(filePath);
        written = lookupIni(document, section, key, dst, capacity);
        freeIni(document);
    }
    std::free(filePath);
    return written;
}

bool settingsKeyExists(const char* path, const char* section, const char* key) {
    char* filePath = nativePath(path);
    if (!filePath) return false;
    IniDocument* document = loadDocument(filePath);
    const bool exists = hasIniKey(document, section, key);
    freeIni(document);
    std::free(filePath);
    return exists;
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

std::uint32_t readSettingsFileStart(const char* path, unsigned char* dst, std::uint32_t capacity) {
    if (!dst || capacity == 0) return 0;
    char* filePath = nativePath(path);
    if (!filePath) return 0;
    struct stat info;
    const int descriptor = openRegularFile(filePath, &info);
    std::free(filePath);
    if (descriptor < 0) return 0;
    std::uint32_t filled = 0;
    while (filled < capacity) {
        const ssize_t got = ::read(descriptor, dst + filled, capacity - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        filled += static_cast<std::uint32_t>(got);
    }
    ::close(descriptor);
    return filled;
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

void beginSettingsBatch(const char* path) {
    endSettingsBatch();
    gBatch.active = true;
    // Without memory for the path the batch stays empty and reads go to the file one by one.
    gBatch.path = nativePath(path);
}

void endSettingsBatch() {
    freeIni(gBatch.document);
    std::free(gBatch.path);
    gBatch = {false, nullptr, false, nullptr};
}

}  // namespace platform
