// The settings file on every system: its bytes, read by the platform, are parsed once by the
// portable reader, and every value is looked up in that parse. The system's own profile reader is
// not used, so that a file reads the same everywhere and text keeps every character.
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/portable_ini.h"
#include "platform/settings_file.h"

namespace platform {
namespace {

IniDocument* loadDocument(const char* path) {
    if (!path) return nullptr;
    std::size_t length = 0;
    unsigned char* bytes = readSettingsBytes(path, &length);
    if (!bytes) return nullptr;
    IniDocument* document = parseIni(bytes, length);
    std::free(bytes);
    return document;
}

// The batch: one parse of one file, shared by the reads between begin and end. One global, as
// batches do not nest; settings must not be loaded on two threads at once.
struct Batch {
    bool active;
    char* path;
    bool loaded;  // the file has been read (document may still be null: missing)
    IniDocument* document;
};

Batch gBatch = {false, nullptr, false, nullptr};

// Calls `read` with the document of `path`: the batch's, or one parsed for this read alone.
template <typename Read>
auto withDocument(const char* path, Read read) {
    if (path && gBatch.active && gBatch.path && std::strcmp(gBatch.path, path) == 0) {
        if (!gBatch.loaded) {
            gBatch.document = loadDocument(path);
            gBatch.loaded = true;
        }
        return read(gBatch.document);
    }
    IniDocument* document = loadDocument(path);
    const auto result = read(document);
    freeIni(document);
    return result;
}

}  // namespace

std::uint32_t readSettingsValue(const char* path, const char* section, const char* key, char* dst,
                                std::uint32_t capacity) {
    if (!dst || capacity == 0) return 0;
    dst[0] = '\0';
    return withDocument(path, [&](const IniDocument* document) { return lookupIni(document, section, key, dst, capacity); });
}

std::uint32_t readSettingsText(const char* path, const char* section, const char* key, char* dst,
                               std::uint32_t capacity, TextRead* how) {
    if (how) *how = {};
    if (!dst || capacity == 0) return 0;
    dst[0] = '\0';
    return withDocument(path, [&](const IniDocument* document) {
        return lookupIniText(document, section, key, &decodeAnsiText, dst, capacity, how);
    });
}

bool settingsKeyExists(const char* path, const char* section, const char* key) {
    return withDocument(path, [&](const IniDocument* document) { return hasIniKey(document, section, key); });
}

void beginSettingsBatch(const char* path) {
    endSettingsBatch();
    gBatch.active = true;
    // Without memory for the path the batch stays empty and reads go to the file one by one.
    if (path) {
        const std::size_t length = std::strlen(path);
        gBatch.path = static_cast<char*>(std::malloc(length + 1));
        if (gBatch.path) std::memcpy(gBatch.path, path, length + 1);
    }
}

void endSettingsBatch() {
    freeIni(gBatch.document);
    std::free(gBatch.path);
    gBatch = {false, nullptr, false, nullptr};
}

}  // namespace platform
