// Glyph lists from GDI fonts through wglUseFontBitmapsA.
#include "platform/platform.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>

#include "platform/glyph_bitmap.h"

namespace platform {

namespace {

// Glyph outlines as the font draws them, unscaled and unrotated.
const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// Wine's wglUseFontBitmapsA leaves the glyphs that have no bitmap (the space, the no-break space)
// as lists that draw nothing and do not move the raster position, so words run together. Those
// glyphs are compiled again as what Windows makes of them: an advance and nothing drawn.
void rebuildBlankGlyphs(HDC dc, DWORD first, DWORD count, DWORD base) {
    static const GLubyte kNoPixels[4] = {};
    for (DWORD i = 0; i < count; ++i) {
        GLYPHMETRICS metrics = {};
        const DWORD bitmapSize = GetGlyphOutlineA(dc, first + i, GGO_BITMAP, &metrics, 0, nullptr, &kIdentity);
        if (bitmapSize != 0) continue;  // a glyph with pixels, or one GDI cannot describe
        glNewList(base + i, GL_COMPILE);
        glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(metrics.gmCellIncX), static_cast<GLfloat>(metrics.gmCellIncY),
                 kNoPixels);
        glEndList();
    }
}

// The glyphs dilated by one pixel, from GDI's own 1-bit glyph bitmaps (the ones wglUseFontBitmapsA
// draws), placed to cover the plain glyphs with a pixel to spare and advancing as they do.
bool buildDilatedGlyphs(HDC dc, DWORD first, DWORD count, DWORD base) {
    BitmapScratch gdiScratch, plainScratch, grownScratch;
    bool ok = true;
    // The rows are packed to bytes here; the host's pixel-store state comes back with the pop.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    static const GLubyte kNoPixels[4] = {};
    for (DWORD i = 0; i < count; ++i) {
        GLYPHMETRICS metrics = {};
        const DWORD size = GetGlyphOutlineA(dc, first + i, GGO_BITMAP, &metrics, 0, nullptr, &kIdentity);
        const int width = static_cast<int>(metrics.gmBlackBoxX);
        const int height = static_cast<int>(metrics.gmBlackBoxY);
        bool drawn = false;
        unsigned char* gdiBits = size != GDI_ERROR && size != 0 ? gdiScratch.get(size) : nullptr;
        unsigned char* plain = gdiBits != nullptr ? plainScratch.get(bitmapBytes(width, height)) : nullptr;
        unsigned char* grown = plain != nullptr ? grownScratch.get(bitmapBytes(width + 2, height + 2)) : nullptr;
        if (grown != nullptr) {
            if (GetGlyphOutlineA(dc, first + i, GGO_BITMAP, &metrics, size, gdiBits, &kIdentity) != GDI_ERROR) {
                // GDI's rows run top down, each padded to 4 bytes; glBitmap's bottom up, to 1.
                const std::size_t gdiRow = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
                const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) / 8;
                std::memset(plain, 0, bitmapBytes(width, height));
                for (int y = 0; y < height && gdiRow * static_cast<std::size_t>(y + 1) <= size; ++y) {
                    std::memcpy(plain + static_cast<std::size_t>(height - 1 - y) * rowBytes, gdiBits + gdiRow * y, rowBytes);
                }
                dilateBitmap(plain, width, height, grown);
                glNewList(base + i, GL_COMPILE);
                glBitmap(width + 2, height + 2, static_cast<GLfloat>(1 - metrics.gmptGlyphOrigin.x),
                         static_cast<GLfloat>(height + 1 - metrics.gmptGlyphOrigin.y),
                         static_cast<GLfloat>(metrics.gmCellIncX), static_cast<GLfloat>(metrics.gmCellIncY),
                         grown);
                glEndList();
                drawn = true;
            }
        }
        if (!drawn) {
            // A blank glyph, or one GDI cannot describe: an advance and nothing drawn.
            if (size == GDI_ERROR) ok = false;
            glNewList(base + i, GL_COMPILE);
            glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(metrics.gmCellIncX), static_cast<GLfloat>(metrics.gmCellIncY),
                     kNoPixels);
            glEndList();
        }
    }
    glPopClientAttrib();
    return ok;
}

// A pixel-unpack buffer the host left bound, set aside while glyphs are built: with one bound,
// glBitmap (wglUseFontBitmapsA's too) reads the buffer at the bitmap's address instead of the
// bitmap, and the glyphs come out blank or garbled.
class UnpackBufferAside {
public:
    UnpackBufferAside() {
        // Asked only of a GL that has such buffers, so that no error is left in the host's context.
        if (!hasPixelBuffers()) return;
        GLint bound = 0;
        glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &bound);
        if (bound == 0) return;
        bindBuffer = bindBufferFunction();
        if (bindBuffer == nullptr) return;
        hostBuffer = static_cast<GLuint>(bound);
        bindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    }
    ~UnpackBufferAside() {
        if (hostBuffer != 0) bindBuffer(GL_PIXEL_UNPACK_BUFFER, hostBuffer);
    }
    UnpackBufferAside(const UnpackBufferAside&) = delete;
    UnpackBufferAside& operator=(const UnpackBufferAside&) = delete;

private:
    static bool hasPixelBuffers() {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        if (version == nullptr) return false;
        const char* dot = std::strchr(version, '.');
        const int major = std::atoi(version);
        const int minor = dot != nullptr ? std::atoi(dot + 1) : 0;
        if (major > 2 || (major == 2 && minor >= 1)) return true;
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        return extensions != nullptr && std::strstr(extensions, "GL_ARB_pixel_buffer_object") != nullptr;
    }

    static PFNGLBINDBUFFERPROC bindBufferFunction() {
        PROC function = wglGetProcAddress("glBindBuffer");
        if (function == nullptr) function = wglGetProcAddress("glBindBufferARB");
        // Through a generic function pointer, which every function pointer converts to and from.
        return reinterpret_cast<PFNGLBINDBUFFERPROC>(reinterpret_cast<void (*)()>(function));
    }

    PFNGLBINDBUFFERPROC bindBuffer = nullptr;
    GLuint hostBuffer = 0;
};

void measureGlyphs(HDC dc, DWORD first, DWORD count, GlyphMetrics* out) {
    TEXTMETRICA text = {};
    if (GetTextMetricsA(dc, &text)) {
        out->ascent = static_cast<int>(text.tmAscent);
        out->descent = static_cast<int>(text.tmDescent);
        out->lineHeight = static_cast<int>(text.tmHeight + text.tmExternalLeading);
    }
    // The advances of the glyph bitmaps the lists are made from, which are how far the lists move
    // the raster position: GGO_METRICS (and GetCharABCWidths) can answer a pixel more or less for
    // the same glyph.
    for (DWORD i = 0; i < count && first + i < 256; ++i) {
        GLYPHMETRICS metrics = {};
        const DWORD result = GetGlyphOutlineA(dc, first + i, GGO_BITMAP, &metrics, 0, nullptr, &kIdentity);
        out->advance[first + i] = result == GDI_ERROR ? 0 : static_cast<std::int16_t>(metrics.gmCellIncX);
    }
}

}  // namespace

void* currentDrawingContext() { return static_cast<void*>(wglGetCurrentDC()); }

bool buildGlyphLists(void* drawingContext, const char* face, int pixelHeight, std::uint32_t firstList,
                     int firstChar, int count, GlyphShape shape, GlyphMetrics* metrics) {
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
    BOOL built = FALSE;
    const UnpackBufferAside unpackBufferAside;
    if (shape == GlyphShape::Dilated) {
        built = buildDilatedGlyphs(dc, first, n, base) ? TRUE : FALSE;
    } else {
        built = wglUseFontBitmapsA(dc, first, n, base);
        // Some drivers reject the first call on a fresh context and accept the same call again.
        if (!built) built = wglUseFontBitmapsA(dc, first, n, base);
        rebuildBlankGlyphs(dc, first, n, base);
    }
    if (metrics != nullptr) measureGlyphs(dc, first, n, metrics);
    // GL errors raised while building (Wine leaves one after empty glyphs) are not failures, and
    // the error flag belongs to the host, so it is left as it is.
    SelectObject(dc, previous);
    DeleteObject(font);
    return built != FALSE;
}

}  // namespace platform
