// The native builds' GL side of the glyphs: OSMesa's current context and its functions, and the
// tests' levers. The glyphs themselves come from portable_fonts.cpp and become lists in
// glyph_lists.cpp.
#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cstdlib>

namespace platform {

void* currentDrawingContext() { return static_cast<void*>(OSMesaGetCurrentContext()); }

void* glFunction(const char* name) {
    if (OSMesaGetCurrentContext() == nullptr) return nullptr;
    return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}

long environmentNumber(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return -1;
    long number = 0;
    for (; *value != '\0'; ++value) {
        if (*value < '0' || *value > '9' || number > 100000000L) return -1;
        number = number * 10 + (*value - '0');
    }
    return number;
}

}  // namespace platform
