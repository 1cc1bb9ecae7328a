// Whether the system has a font face, each platform by its own means: GDI's font mapper on
// Windows, fontconfig elsewhere.
#pragma once

#include <string>

// True when `face` is a font of the system; otherwise `drawn` names the face text is drawn in.
bool systemHasFont(const char* face, std::string* drawn);
