// Glyph lists from GDI fonts through wglUseFontBitmapsA.
#include "platform/platform.h"

#include <windows.h>

namespace platform {

void* currentDrawingContext() { return static_cast<void*>(wglGetCurrentDC()); }

bool buildGlyphLists(void* drawingContext, const char* face, int pixelHeight, std::uint32_t firstList,
                     int firstChar, int count) {
    HDC dc = static_cast<HDC>(drawingContext);
    if (dc == nullptr || face == nullptr || pixelHeight <= 0 || firstChar < 0 || count < 0) {
        return false;
    }
    // A negative height asks for the character (em) height rather than the cell height.
    HFONT font = CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face);
    if (font == nullptr) return false;
    HGDIOBJ previous = SelectObject(dc, font);
    if (previous == nullptr || previous == HGDI_ERROR) {
        DeleteObject(font);
        return false;
    }
    const DWORD first = static_cast<DWORD>(firstChar);
    const DWORD n = static_cast<DWORD>(count);
    const DWORD base = static_cast<DWORD>(firstList);
    BOOL built = wglUseFontBitmapsA(dc, first, n, base);
    // Some drivers reject the first call on a fresh context and accept the same call again.
    if (!built) built = wglUseFontBitmapsA(dc, first, n, base);
    // GL errors raised while building (Wine leaves one after empty glyphs) are not failures, and
    // the error flag belongs to the host, so it is left as it is.
    SelectObject(dc, previous);
    DeleteObject(font);
    return built != FALSE;
}

}  // namespace platform
