// The Windows-1252 code page: the ANSI code page of the host's Windows, in which settings files
// are read and the glyph lists are indexed. Plain code, no system header: the core and both
// platform layers use it.
#pragma once

#include <cstdint>

namespace platform {

// The Unicode code point of a Windows-1252 byte, or 0 for the five bytes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) that the code page leaves undefined. Every byte outside 0x80-0x9F is its own code point.
std::uint16_t windows1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a code point, exactly: 0 when the code page has no such character
// (and for U+0000 and the five undefined bytes' C1 controls).
unsigned char unicodeToWindows1252(std::uint32_t codePoint);

}  // namespace platform
