// The Windows build's GL side of the glyphs: the current context's device context and functions.
// The glyphs themselves come from win32_fonts.cpp and become lists in glyph_lists.cpp.
#include "platform/platform.h"

#include <windows.h>

#include <cstdint>

namespace platform {

void* currentDrawingContext() { return static_cast<void*>(wglGetCurrentDC()); }

void* glFunction(const char* name) {
    PROC address = wglGetProcAddress(name);
    // Some drivers answer small numbers instead of null for what they lack.
    const auto value = reinterpret_cast<std::uintptr_t>(address);
    if (value <= 3 || value == static_cast<std::uintptr_t>(-1)) return nullptr;
    return reinterpret_cast<void*>(address);
}


}  // namespace platform
