// Text, which the settings give in UTF-8, in the Windows-1252 the glyphs are still indexed by.
#pragma once

namespace config {

// When `text` is valid UTF-8 and holds at least one multi-byte sequence, converts it in place to
// Windows-1252: a character the code page has becomes its byte, any other '?'. Returns whether it
// converted. Other text, Windows-1252 text among it, is left as it is. A text that the reader cut
// at its limit (`cutAtLimit`) may end in a sequence the cut split; that piece is dropped.
bool utf8ToWindows1252(char* text, bool cutAtLimit);

}  // namespace config
