// Glyph lists from GDI fonts through wglUseFontBitmapsA.
#include "platform/platform.h"

#include <windows.h>

#include <GL/gl.h>

namespace platform {

namespace {

// Wine's wglUseFontBitmapsA leaves the glyphs that have no bitmap (the space, the no-break space)
// as lists that draw nothing and do not move the raster position, so words run together. Those
// glyphs are compiled again as what Windows makes of them: an advance and nothing drawn.
void rebuildBlankGlyphs(HDC dc, DWORD first, DWORD count, DWORD base) {
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    static const GLubyte kNoPixels[4] = {};
    for (DWORD i = 0; i < count; ++i) {
        GLYPHMETRICS metrics = {};
        const DWORD bitmapSize = GetGlyphOutlineA(dc, first + i, GGO_BITMAP, &metrics, 0, nullptr, &identity);
        if (bitmapSize != 0) continue;  // a glyph with pixels, or one GDI cannot describe
        glNewList(base + i, GL_COMPILE);
        glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(metrics.gmCellIncX), static_cast<GLfloat>(metrics.gmCellIncY),
                 kNoPixels);
        glEndList();
    }
}

}  // namespace

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
    rebuildBlankGlyphs(dc, first, n, base);
    // GL errors raised while building (Wine leaves one after empty glyphs) are not failures, and
    // the error flag belongs to the host, so it is left as it is.
    SelectObject(dc, previous);
    DeleteObject(font);
    return built != FALSE;
}

}  // namespace platform
