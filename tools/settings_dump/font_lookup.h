// Whether the system has a font face, each platform by its own means: GDI's font mapper on
// Windows, fontconfig elsewhere.
#pragma once

#include <string>

// True when `face` (Windows-1252) is a font of the system; otherwise `drawn` names the face text is
// drawn in, in UTF-8.
bool systemHasFont(const char* face, std::string* drawn);
