// The Windows build's GL side of the glyphs: the current context's device context and functions,
// and the tests' levers. The glyphs themselves come from win32_fonts.cpp and become lists in
// glyph_lists.cpp.
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

long environmentNumber(const char* name) {
    char value[16];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value) return -1;
    long number = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (value[i] < '0' || value[i] > '9' || number > 100000000L) return -1;
        number = number * 10 + (value[i] - '0');
    }
    return number;
}

}  // namespace platform
