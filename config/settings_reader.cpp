#include "config/settings_reader.h"

#include <cstring>

#include "platform/platform.h"

namespace config {

SettingsReader::SettingsReader() { std::memset(path, 0, sizeof path); }

int SettingsReader::setFilePath(const char* fileName) {
    if (fileName == nullptr || fileName[0] == '\0') return 0;
    if (std::strlen(fileName) >= sizeof path) return 0;
    std::strncpy(path, fileName, sizeof path);
    return 1;
}

bool SettingsReader::fileReadable() const { return path[0] != '\0' && platform::settingsFileReadable(path); }

int SettingsReader::readString(const char* section, const char* key, char* dst, std::int32_t* size,
                               std::int32_t* found) const {
    if (found != nullptr) *found = 0;
    if (dst == nullptr || size == nullptr) return 0;

    const std::int32_t capacity = *size;
    if (capacity > 0) std::memset(dst, 0, static_cast<std::size_t>(capacity));
    char scratch[kTextFieldSize] = {};

    const std::uint32_t length =
        platform::readSettingsValue(path, section, key, scratch, static_cast<std::uint32_t>(sizeof scratch));
    const auto n = static_cast<std::int32_t>(length < sizeof scratch ? length : sizeof scratch - 1);
    *size = n;
    // Accept only what fits with its terminator, so the caller's text is always terminated.
    if (n > 0 && n < capacity) {
        std::memcpy(dst, scratch, static_cast<std::size_t>(n));
        if (found != nullptr) *found = 1;
        return 1;
    }
    return 0;
}

char* SettingsReader::readStringInto(const char* section, const char* key, char* dst, std::int32_t* size,
                                     std::int32_t* found) const {
    readString(section, key, dst, size, found);
    return dst;
}

std::int32_t SettingsReader::readInt(const char* section, const char* key, std::int32_t* value,
                                     std::int32_t* found) const {
    char text[kTextFieldSize];
    std::int32_t size = kTextFieldSize;
    readString(section, key, text, &size, found);
    // atol's rules, computed without overflow: digits past the range of 32 bits saturate.
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    long long magnitude = 0;
    while (*p >= '0' && *p <= '9') {
        if (magnitude <= 0x80000000LL) magnitude = magnitude * 10 + (*p - '0');
        ++p;
    }
    long long result = negative ? -magnitude : magnitude;
    if (result > 0x7FFFFFFFLL) result = 0x7FFFFFFFLL;
    if (result < -0x80000000LL) result = -0x80000000LL;
    const auto parsed = static_cast<std::int32_t>(result);
    if (value != nullptr) *value = parsed;
    return parsed;
}

bool SettingsReader::readText(const char* section, const char* key, char (&dst)[kTextBufferSize],
                              platform::TextRead* how) const {
    std::memset(dst, 0, sizeof dst);
    platform::readSettingsText(path, section, key, dst, sizeof dst, how);
    return dst[0] != '\0';
}

}  // namespace config
