#include "config/settings_reader.h"

#include <cstring>

#include "config/utf8_text.h"
#include "platform/platform.h"

namespace config {

namespace {

// The first bytes by which the platform's reader decides to decode the file itself: UTF-8,
// UTF-16LE and UTF-16BE byte-order marks. It reads any other file byte for byte.
bool startsWithByteOrderMark(const unsigned char* bytes, std::uint32_t length) {
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return true;
    return length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF));
}

}  // namespace

SettingsReader::SettingsReader() { std::memset(path, 0, sizeof path); }

int SettingsReader::setFilePath(const char* fileName) {
    if (fileName == nullptr || fileName[0] == '\0') return 0;
    if (std::strlen(fileName) >= sizeof path) return 0;
    std::strncpy(path, fileName, sizeof path);
    unsigned char start[3];
    const std::uint32_t length = platform::readSettingsFileStart(path, start, sizeof start);
    readerConverts = startsWithByteOrderMark(start, length);
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

bool SettingsReader::readText(const char* section, const char* key, char (&dst)[kTextFieldSize],
                              bool* convertedFromUtf8) const {
    std::int32_t size = kTextFieldSize;
    std::int32_t found = 0;
    readString(section, key, dst, &size, &found);
    // Text the platform's reader converted is Windows-1252 already: converting it again would take
    // "\xC3\xA9" (two characters) for one. A value cut at its limit may end in a piece of a sequence.
    const bool converted = found == 1 && !readerConverts && utf8ToWindows1252(dst, size == kTextFieldSize - 1);
    if (convertedFromUtf8 != nullptr) *convertedFromUtf8 = converted;
    return found == 1;
}

}  // namespace config
