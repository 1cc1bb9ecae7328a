// Decoding UTF-8, one character at a time: for the settings reader, which decodes a file with a
// UTF-8 byte-order mark the way Windows does, and for rows saved as UTF-8 without one, which are
// converted only when they are valid. Plain code, like the code page.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

constexpr std::uint32_t kNoCodePoint = 0xFFFFFFFFu;

// What to make of bytes that are not well-formed UTF-8 (a stray trail byte, an overlong form, a
// surrogate, a value past U+10FFFF, a sequence cut short).
enum class Utf8Errors {
    // Only say so: the text is not UTF-8.
    Reject,
    // As the Windows converter does: the ill-formed part becomes one character (U+FFFD) and
    // decoding resumes at the first byte that cannot belong to it, so C0 AF and E0 80 80 each give
    // two, F4 90 80 80 three; a sequence that the end of the input cuts short swallows that end.
    LikeWindows,
};

struct Utf8Character {
    std::uint32_t codePoint;  // kNoCodePoint when the bytes are ill-formed
    std::size_t length;       // bytes used (at least 1); under Reject, those read before the fault
    bool cutShort;            // the input ended inside a sequence that was well-formed up to there
};

// Decodes the character that starts at bytes[0]; `available` (at least 1) bytes may be read.
Utf8Character decodeUtf8(const unsigned char* bytes, std::size_t available, Utf8Errors errors);

}  // namespace platform
