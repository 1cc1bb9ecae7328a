#include "config/utf8_text.h"

#include <cstdint>

#include "platform/windows_1252.h"

namespace config {

namespace {

// The length of the well-formed sequence at `p` and its code point, or 0 when there is none
// (a stray trail byte, an overlong form, a surrogate, a value past U+10FFFF, or a cut sequence).
// `incomplete` tells a sequence that is well-formed so far but ends with the text.
int decodeSequence(const unsigned char* p, std::uint32_t* codePoint, bool* incomplete) {
    *incomplete = false;
    const unsigned lead = p[0];
    int length = 0;
    std::uint32_t value = 0;
    std::uint32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (p[i] == 0) {
            *incomplete = true;
            return 0;
        }
        if ((p[i] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (p[i] & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *codePoint = value;
    return length;
}

// Whether `text` is converted: valid UTF-8 with a multi-byte sequence. *end gets where a sequence
// split by the reader's cut starts (null when none); *lacking the characters Windows-1252 lacks.
bool convertible(const unsigned char* text, bool cutAtLimit, const unsigned char** end, int* lacking) {
    bool multiByte = false;
    *end = nullptr;
    *lacking = 0;
    for (const unsigned char* p = text; *p != 0;) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        std::uint32_t codePoint = 0;
        bool incomplete = false;
        const int length = decodeSequence(p, &codePoint, &incomplete);
        if (length == 0) {
            if (!(incomplete && cutAtLimit)) return false;
            *end = p;
            break;
        }
        multiByte = true;
        if (platform::unicodeToWindows1252(codePoint) == 0) ++*lacking;
        p += length;
    }
    return multiByte;
}

}  // namespace

int charactersOutsideWindows1252(const char* text, bool cutAtLimit) {
    const unsigned char* end = nullptr;
    int lacking = 0;
    return convertible(reinterpret_cast<const unsigned char*>(text), cutAtLimit, &end, &lacking) ? lacking : 0;
}

bool utf8ToWindows1252(char* text, bool cutAtLimit) {
    auto* bytes = reinterpret_cast<unsigned char*>(text);
    // First only look: text that is not UTF-8 stays byte for byte.
    const unsigned char* end = nullptr;
    int lacking = 0;
    if (!convertible(bytes, cutAtLimit, &end, &lacking)) return false;

    unsigned char* out = bytes;
    for (const unsigned char* p = bytes; *p != 0 && p != end;) {
        if (*p < 0x80) {
            *out++ = *p++;
            continue;
        }
        std::uint32_t codePoint = 0;
        bool incomplete = false;
        p += decodeSequence(p, &codePoint, &incomplete);
        const unsigned char converted = platform::unicodeToWindows1252(codePoint);
        *out++ = converted != 0 ? converted : '?';
    }
    *out = 0;
    return true;
}

}  // namespace config
