// The check's font lookup: whether the system has a font face, as the plug-in opens it.
#pragma once

#include <string>

#include "platform/platform.h"

// True when `face` (Windows-1252) is a font of the system; otherwise `drawn` names the face text is
// drawn in, in UTF-8.
inline bool systemHasFont(const char* face, std::string* drawn) {
    char name[256] = {};
    if (platform::hasFontFace(face, name, sizeof name)) return true;
    *drawn = name;
    return false;
}
