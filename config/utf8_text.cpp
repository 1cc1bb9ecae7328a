#include "config/utf8_text.h"

#include <cstring>

#include "platform/utf8.h"
#include "platform/windows_1252.h"

namespace config {

namespace {

// Whether `text` is converted: valid UTF-8 with a multi-byte sequence. *end gets where a sequence
// split by the reader's cut starts (null when none); *lacking the characters Windows-1252 lacks.
// A sequence split by the cut is dropped even in a text that has no other: it can only be the
// start of a character the reader did not pass on.
bool convertible(const unsigned char* text, bool cutAtLimit, const unsigned char** end, int* lacking) {
    bool multiByte = false;
    *end = nullptr;
    *lacking = 0;
    const unsigned char* const textEnd = text + std::strlen(reinterpret_cast<const char*>(text));
    for (const unsigned char* p = text; p != textEnd;) {
        const platform::Utf8Character c =
            platform::decodeUtf8(p, static_cast<std::size_t>(textEnd - p), platform::Utf8Errors::Reject);
        if (c.codePoint == platform::kNoCodePoint) {
            if (!(c.cutShort && cutAtLimit)) return false;
            *end = p;
            return true;
        }
        if (c.length > 1) {
            multiByte = true;
            if (platform::unicodeToWindows1252(c.codePoint) == 0) ++*lacking;
        }
        p += c.length;
    }
    return multiByte;
}

}  // namespace

bool utf8ToWindows1252(char* text, bool cutAtLimit) {
    auto* bytes = reinterpret_cast<unsigned char*>(text);
    // First only look: text that is not UTF-8 stays byte for byte.
    const unsigned char* end = nullptr;
    int lacking = 0;
    if (!convertible(bytes, cutAtLimit, &end, &lacking)) return false;

    const unsigned char* const stop = end != nullptr ? end : bytes + std::strlen(text);
    unsigned char* out = bytes;
    for (const unsigned char* p = bytes; p != stop;) {
        const platform::Utf8Character c =
            platform::decodeUtf8(p, static_cast<std::size_t>(stop - p), platform::Utf8Errors::Reject);
        p += c.length;
        if (c.length == 1) {
            *out++ = static_cast<unsigned char>(c.codePoint);
            continue;
        }
        const unsigned char converted = platform::unicodeToWindows1252(c.codePoint);
        *out++ = converted != 0 ? converted : '?';
    }
    *out = 0;
    return true;
}

}  // namespace config
