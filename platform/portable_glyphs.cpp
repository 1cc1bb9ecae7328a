// The native builds' GL side of the glyphs: OSMesa's current context and its functions. The glyphs
// themselves come from portable_fonts.cpp and become lists in glyph_lists.cpp.
#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/osmesa.h>


namespace platform {

void* currentDrawingContext() { return static_cast<void*>(OSMesaGetCurrentContext()); }

void* glFunction(const char* name) {
    if (OSMesaGetCurrentContext() == nullptr) return nullptr;
    return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}


}  // namespace platform
