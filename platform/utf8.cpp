#include "platform/utf8.h"

namespace platform {

Utf8Character decodeUtf8(const unsigned char* bytes, std::size_t available, Utf8Errors errors) {
    const unsigned lead = bytes[0];
    if (lead < 0x80) return {lead, 1, false};
    std::size_t trails = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trails = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trails = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trails = 3;
    } else {
        return {kNoCodePoint, 1, false};  // a trail byte, or a lead no sequence has
    }
    if (errors == Utf8Errors::LikeWindows && available < 1 + trails) return {kNoCodePoint, available, true};

    static const unsigned kLeadBits[4] = {0x7F, 0x1F, 0x0F, 0x07};
    std::uint32_t value = lead & kLeadBits[trails];
    for (std::size_t i = 1; i <= trails; ++i) {
        if (i >= available || bytes[i] == 0) return {kNoCodePoint, i, true};
        const unsigned bits = bytes[i] ^ 0x80u;
        if (bits >= 0x40) return {kNoCodePoint, i, false};
        value = (value << 6) | bits;
        // Overlong forms, surrogates and values past U+10FFFF are refused as soon as the bits
        // read so far show it, so that the ill-formed part ends where the Windows converter's does.
        const std::size_t left = trails - i;
        if (left == 2 && value < 0x10) return {kNoCodePoint, i + 1, false};
        if (left == 1) {
            if (value >= (0x110000 >> 6)) return {kNoCodePoint, i, false};
            if (value < 0x20 || (value >= (0xD800 >> 6) && value <= (0xDFFF >> 6))) return {kNoCodePoint, i + 1, false};
        }
        if (left == 0 && value < 0x80) return {kNoCodePoint, i + 1, false};
    }
    return {value, 1 + trails, false};
}

}  // namespace platform
