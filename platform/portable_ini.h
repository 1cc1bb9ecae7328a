// A settings-file reader that answers like the Windows profile reader (GetPrivateProfileStringA
// with an empty default, under the Windows-1252 ANSI code page), for native builds.
//
// The whole file is parsed once into an index of sections and keys; lookups then walk that index.
// What the Windows reader does, and this one copies:
//  - Encoding comes from the first bytes: EF BB BF is UTF-8, FF FE UTF-16LE, FE FF UTF-16BE (the
//    mark is skipped); anything else is ANSI, where each byte is one character.
//  - Lines end at every CR and LF. Lines are trimmed of 09-0D, 1A (Ctrl-Z) and 20; blank lines are
//    skipped. There are no comments, escapes or continuations.
//  - A line starting with '[' that holds a ']' is a header; its name lies between the '[' and the
//    last ']', trimmed. Anything else is a key line: name before the first '=', value after it.
//  - Names match without regard to the case of A-Z (other letters must match exactly) and are cut
//    at a NUL, as are values. The first section of a name is the only one searched; the first key
//    of a name wins.
//  - A value wrapped in one pair of equal quotes loses them; values are cut to fit the buffer.
//  - Unicode text comes back in Windows-1252 with the system's best-fit substitutes, '?' otherwise.
// That is the reader's answer for names and numbers (lookupIni). Text that is drawn is read by the
// same rules but every character whole, as UTF-8 (lookupIniText).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace platform {

struct IniDocument;

// Parses `length` bytes of a settings file. The bytes are not kept. Returns null only when memory
// runs out (or the input is 2 GiB or more); an empty input gives a document without keys.
IniDocument* parseIni(const unsigned char* bytes, std::size_t length);

// Frees a document from parseIni. Null is allowed.
void freeIni(IniDocument* document);

// Looks up `key` in `section` like GetPrivateProfileStringA(section, key, "", dst, capacity): writes
// at most capacity - 1 characters and a terminator into `dst` and returns the number written, so a
// cut value gives capacity - 1. Capacity 0 writes nothing. A null document, section or key reads
// as a missing key: 0 and "".
std::uint32_t lookupIni(const IniDocument* document, const char* section, const char* key, char* dst,
                        std::uint32_t capacity);

// True when `section` holds a line for `key`, even one with an empty value or without '='.
bool hasIniKey(const IniDocument* document, const char* section, const char* key);

// Decodes text in an ANSI code page, as platform::decodeAnsiText does.
using AnsiDecoder = std::size_t (*)(const unsigned char* bytes, std::size_t length, std::uint32_t* out,
                                    std::size_t capacity);

// Code page 1252 by the code page's own table, the same on every system; its five undefined bytes
// give kUndefinedCharacter.
std::size_t decodeWindows1252(const unsigned char* bytes, std::size_t length, std::uint32_t* out, std::size_t capacity);

// Looks up `key` in `section` as lookupIni does, and gives its value as text, as
// platform::readSettingsText describes: one pair of equal quotes taken off, then at most
// kMaxTextCharacters characters in UTF-8, none split, in `capacity` bytes with the terminator.
// Text of a file without a byte-order mark that is not UTF-8 goes through `decode` (null: code
// page 1252). Returns the bytes written; `how` may be null.
std::uint32_t lookupIniText(const IniDocument* document, const char* section, const char* key, AnsiDecoder decode,
                            char* dst, std::uint32_t capacity, TextRead* how);

// Names and values as visitIniLines gives them: at most 259 characters, in UTF-8.
constexpr std::uint32_t kIniTextSize = kMaxTextCharacters * 4 + 1;

// One header or key line of a document, as a check of the file sees it. Names and values are text
// as lookupIniText reads it.
struct IniLine {
    bool header;                 // a section header; otherwise a key line
    std::uint32_t line;          // 1-based, counting CR LF as one line end
    const char* name;            // the section's or the key's name, cut to 259 characters
    std::uint32_t nameLength;    // its length in the file
    bool hasValue;               // key lines: the line holds '='
    const char* value;           // key lines: the value as text, quotes taken off
    std::uint32_t valueLength;   // key lines: the value's length in the file, quotes included
    bool quoted;                 // key lines: the reader takes a pair of quotes off the value
    TextRead read;               // key lines: how the value was read
};

// Calls `visit` for every header and key line, in file order (keys before the first header come
// first, under no header); text that is not UTF-8 goes through `decode`. Stops, returning false,
// when `visit` returns false.
bool visitIniLines(const IniDocument* document, AnsiDecoder decode, bool (*visit)(const IniLine& line, void* context),
                   void* context);

}  // namespace platform
