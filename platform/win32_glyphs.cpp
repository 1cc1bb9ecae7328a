// Glyph lists from GDI fonts through wglUseFontBitmapsA.
#include "platform/platform.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/gl_pixel_store.h"
#include "platform/glyph_bitmap.h"
#include "platform/win32_fonts.h"

namespace platform {

namespace {

using gdi::kIdentity;
using gdi::SelectedFont;

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
    unpackBytesAsTheyAre();
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

// GDI's glyph bitmaps, top row first with rows padded to 4 bytes, as one byte a pixel, bottom row
// first: GGO_BITMAP's bits as 0 or 255, GGO_GRAY8_BITMAP's 65 levels (0-64) scaled to 0-255.
void unpackGdiGlyph(const unsigned char* gdi, DWORD size, UINT format, int width, int height, unsigned char* out) {
    const std::size_t rowBytes = format == GGO_BITMAP ? ((static_cast<std::size_t>(width) + 31) / 32) * 4
                                                      : (static_cast<std::size_t>(width) + 3) & ~static_cast<std::size_t>(3);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = out + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width);
        const unsigned char* in = gdi + rowBytes * static_cast<std::size_t>(y);
        const bool present = rowBytes * static_cast<std::size_t>(y + 1) <= size;
        for (int x = 0; x < width; ++x) {
            unsigned value = 0;
            if (present && format == GGO_BITMAP) {
                value = (in[x / 8] & (0x80u >> (x % 8))) != 0 ? 255u : 0u;
            } else if (present) {
                const unsigned level = in[x] > 64 ? 64u : in[x];
                value = (level * 255u + 32u) / 64u;
            }
            row[x] = static_cast<unsigned char>(value);
        }
    }
}

bool usableArguments(HDC dc, const char* face, int pixelHeight, int firstChar, int count) {
    return dc != nullptr && face != nullptr && pixelHeight > 0 && firstChar >= 0 && count >= 0;
}

}  // namespace

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

bool renderGlyphs(void* drawingContext, const char* face, int pixelHeight, int firstChar, int count,
                  GlyphRendering rendering, GlyphReceiver& receiver, GlyphMetrics* metrics) {
    HDC dc = static_cast<HDC>(drawingContext);
    if (!usableArguments(dc, face, pixelHeight, firstChar, count)) return false;
    SelectedFont font(dc, face, pixelHeight);
    if (!font.ok()) return false;
    // GGO_BITMAP is what wglUseFontBitmapsA compiles, glyph by glyph.
    const UINT format = rendering == GlyphRendering::Bitmap ? GGO_BITMAP : GGO_GRAY8_BITMAP;
    // Room for any glyph of the sizes the plug-in asks for, so that one call per glyph mostly does;
    // a glyph that needs more is asked for its size first.
    constexpr DWORD kUsualRoom = 64 * 1024;
    BitmapScratch gdiScratch, byteScratch;
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const UINT code = static_cast<UINT>(firstChar + i);
        GLYPHMETRICS glyph = {};
        unsigned char* gdi = gdiScratch.get(kUsualRoom);
        DWORD size = gdi != nullptr ? GetGlyphOutlineA(dc, code, format, &glyph, kUsualRoom, gdi, &kIdentity) : GDI_ERROR;
        if (size == GDI_ERROR) {
            size = GetGlyphOutlineA(dc, code, format, &glyph, 0, nullptr, &kIdentity);
            gdi = size != GDI_ERROR && size != 0 ? gdiScratch.get(size) : nullptr;
            if (gdi != nullptr && GetGlyphOutlineA(dc, code, format, &glyph, size, gdi, &kIdentity) == GDI_ERROR) {
                gdi = nullptr;
            }
        }
        GlyphImage image = {0, 0, 0, 0, static_cast<int>(glyph.gmCellIncX), nullptr};
        if (format != GGO_BITMAP) {
            // Antialiased glyphs advance as the 1-bit ones, by the 1-bit glyph's own metrics.
            GLYPHMETRICS plain = {};
            const DWORD found = GetGlyphOutlineA(dc, code, GGO_BITMAP, &plain, 0, nullptr, &kIdentity);
            image.advance = found != GDI_ERROR ? static_cast<int>(plain.gmCellIncX) : 0;
        }
        const int width = static_cast<int>(glyph.gmBlackBoxX);
        const int height = static_cast<int>(glyph.gmBlackBoxY);
        if (size == GDI_ERROR || (size != 0 && gdi == nullptr)) {
            ok = false;  // handed on without pixels
            image.advance = 0;
        } else if (size != 0) {
            unsigned char* bytes = byteScratch.get(static_cast<std::size_t>(width) * height);
            if (bytes != nullptr) {
                unpackGdiGlyph(gdi, size, format, width, height, bytes);
                image.width = width;
                image.height = height;
                // As wglUseFontBitmapsA places its bitmaps.
                image.xOrigin = -glyph.gmptGlyphOrigin.x;
                image.yOrigin = height - glyph.gmptGlyphOrigin.y;
                image.pixels = bytes;
            } else {
                ok = false;
            }
        }
        if (!receiver.receive(static_cast<int>(code), image)) return false;
    }
    if (metrics != nullptr) gdi::measureSelectedFont(dc, static_cast<DWORD>(firstChar), static_cast<DWORD>(count), metrics);
    return ok;
}

bool buildGlyphLists(void* drawingContext, const char* face, int pixelHeight, std::uint32_t firstList,
                     int firstChar, int count, GlyphShape shape, GlyphMetrics* metrics) {
    HDC dc = static_cast<HDC>(drawingContext);
    if (!usableArguments(dc, face, pixelHeight, firstChar, count)) return false;
    SelectedFont font(dc, face, pixelHeight);
    if (!font.ok()) return false;
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
    if (metrics != nullptr) gdi::measureSelectedFont(dc, first, n, metrics);
    // GL errors raised while building (Wine leaves one after empty glyphs) are not failures, and
    // the error flag belongs to the host, so it is left as it is.
    return built != FALSE;
}

}  // namespace platform
