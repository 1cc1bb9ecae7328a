// Glyph display lists for both platforms, compiled from renderGlyphs' 1-bit glyphs: each list one
// glBitmap, placed and advancing as the glyph says, the way the system's font-to-list services
// compile GDI's and FreeType's monochrome glyphs.
#include "platform/platform.h"

#if defined(_WIN32)
#include <windows.h>
#endif
#include <GL/gl.h>

#include <cstring>

#include "platform/gl_pixel_store.h"
#include "platform/glyph_bitmap.h"

namespace platform {

namespace {

constexpr GLenum kPixelUnpackBuffer = 0x88EC;
constexpr GLenum kPixelUnpackBufferBinding = 0x88EF;
#if !defined(APIENTRY)
#define APIENTRY
#endif
using BindBufferFunction = void(APIENTRY*)(GLenum, GLuint);

// A pixel-unpack buffer the host left bound, set aside while the lists are compiled: with one
// bound, glBitmap reads the buffer at the bitmap's address instead of the bitmap.
class UnpackBufferAside {
public:
    UnpackBufferAside() {
        // Asked only of a GL that has such buffers, so that no error is left in the host's context.
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const bool buffers = version != nullptr && (version[0] > '2' || (version[0] == '2' && version[2] >= '1'));
        if (!buffers) return;
        GLint bound = 0;
        glGetIntegerv(kPixelUnpackBufferBinding, &bound);
        if (bound == 0) return;
        bindBuffer = reinterpret_cast<BindBufferFunction>(glFunction("glBindBuffer"));
        if (bindBuffer == nullptr) return;
        hostBuffer = static_cast<GLuint>(bound);
        bindBuffer(kPixelUnpackBuffer, 0);
    }
    ~UnpackBufferAside() {
        if (hostBuffer != 0) bindBuffer(kPixelUnpackBuffer, hostBuffer);
    }
    UnpackBufferAside(const UnpackBufferAside&) = delete;
    UnpackBufferAside& operator=(const UnpackBufferAside&) = delete;

private:
    BindBufferFunction bindBuffer = nullptr;
    GLuint hostBuffer = 0;
};

class ListCompiler final : public GlyphReceiver {
public:
    ListCompiler(GLuint first, GlyphShape glyphShape, std::int16_t* advanceOut, bool* missingOut)
        : firstList(first), shape(glyphShape), advances(advanceOut), missing(missingOut) {}

    bool receive(int index, const GlyphImage& image) override {
        static const GLubyte kNoPixels[4] = {};
        if (advances != nullptr) advances[index] = static_cast<std::int16_t>(image.advance);
        if (missing != nullptr) missing[index] = image.missing;
        const GLuint list = firstList + static_cast<GLuint>(index);
        int width = image.width, height = image.height;
        int xOrigin = image.xOrigin, yOrigin = image.yOrigin;
        const unsigned char* bits = nullptr;
        if (width > 0 && height > 0 && image.pixels != nullptr) {
            unsigned char* packed = plain.get(bitmapBytes(width, height));
            if (packed != nullptr) {
                // One byte a pixel to glBitmap's rows: most significant bit first, bottom row first.
                const std::size_t rowBytes = static_cast<std::size_t>((width + 7) / 8);
                std::memset(packed, 0, bitmapBytes(width, height));
                for (int y = 0; y < height; ++y) {
                    for (int x = 0; x < width; ++x) {
                        if (image.pixels[static_cast<std::size_t>(y) * width + x] >= 128) {
                            packed[static_cast<std::size_t>(y) * rowBytes + x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
                        }
                    }
                }
                bits = packed;
                if (shape == GlyphShape::Dilated) {
                    unsigned char* outline = grown.get(bitmapBytes(width + 2, height + 2));
                    if (outline != nullptr) dilateBitmap(packed, width, height, outline);
                    bits = outline;
                    width += 2;
                    height += 2;
                    xOrigin += 1;
                    yOrigin += 1;
                }
            }
        }
        glNewList(list, GL_COMPILE);
        if (bits != nullptr) {
            glBitmap(width, height, static_cast<GLfloat>(xOrigin), static_cast<GLfloat>(yOrigin),
                     static_cast<GLfloat>(image.advance), 0.0f, bits);
        } else {
            // A blank glyph, or one that could not be made: an advance and nothing drawn. Mesa drops
            // a bitmap of no size given null, so it gets a pointer.
            glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(image.advance), 0.0f, kNoPixels);
        }
        glEndList();
        return true;
    }

private:
    GLuint firstList;
    GlyphShape shape;
    std::int16_t* advances;
    bool* missing;
    BitmapScratch plain, grown;
};

}  // namespace

bool buildGlyphLists(void* drawingContext, const FontRequest& font, const std::uint32_t* characters, int count,
                     std::uint32_t firstList, GlyphShape shape, GlyphMetrics* metrics, std::int16_t* advances,
                     bool* missing) {
    if (drawingContext == nullptr || currentDrawingContext() == nullptr || firstList == 0) return false;
    // The glyph rows are byte-packed; the host's pixel-store state comes back with the pop.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    const UnpackBufferAside unpackBufferAside;
    unpackBytesAsTheyAre();
    ListCompiler compiler(static_cast<GLuint>(firstList), shape, advances, missing);
    const bool ok = renderGlyphs(drawingContext, font, characters, count, GlyphRendering::Bitmap, compiler, metrics);
    glPopClientAttrib();
    return ok;
}

}  // namespace platform
