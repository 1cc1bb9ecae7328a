#include "platform/windows_1252.h"

namespace platform {

namespace {

// 0x80-0x9F; zero marks the five codes the page leaves undefined.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::uint16_t windows1252ToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

unsigned char unicodeToWindows1252(std::uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint < 0x100)) return static_cast<unsigned char>(codePoint);
    for (unsigned index = 0; index < 32; ++index) {
        if (kHighControls[index] != 0 && kHighControls[index] == codePoint) return static_cast<unsigned char>(0x80 + index);
    }
    return 0;
}

}  // namespace platform
