// Settings text saved as UTF-8 (what current Windows editors write by default, without a
// byte-order mark) read as the Windows-1252 the glyphs are indexed by.
#pragma once

namespace config {

// When `text` is valid UTF-8 and holds at least one multi-byte sequence, converts it in place to
// Windows-1252: a character the code page has becomes its byte, any other '?'. Returns whether it
// converted. Other text, Windows-1252 text among it, is left as it is. A text that the reader cut
// at its limit (`cutAtLimit`) may end in a sequence the cut split; that piece is dropped.
bool utf8ToWindows1252(char* text, bool cutAtLimit);

// How many characters of `text` utf8ToWindows1252 would turn into '?'; 0 for text it leaves as
// it is.
int charactersOutsideWindows1252(const char* text, bool cutAtLimit);

}  // namespace config
