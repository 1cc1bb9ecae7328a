// Glyph lists for native builds: fontconfig picks the font file, FreeType renders each glyph as a
// 1-bit bitmap, and OSMesa's GL compiles it into a glBitmap list, the way wglUseFontBitmapsA does.
#define GL_GLEXT_PROTOTYPES 1
#include "platform/platform.h"
#include "platform/glyph_bitmap.h"
#include "platform/portable_fonts.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include "platform/gl_pixel_store.h"

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

using freetype::OpenFont;

// Copies a rendered glyph into `dst` as glBitmap wants it: rows bottom-up, most significant bit
// first, each row padded to whole bytes. False for pixel formats it cannot read.
bool packBitmap(const FT_Bitmap& src, unsigned char* dst) {
    const unsigned rows = src.rows;
    const unsigned width = src.width;
    const std::size_t rowBytes = (width + 7u) / 8u;
    const std::size_t stride = static_cast<std::size_t>(src.pitch < 0 ? -src.pitch : src.pitch);
    for (unsigned y = 0; y < rows; ++y) {
        // y counts rows from the top of the glyph image.
        const std::size_t memoryRow = src.pitch < 0 ? rows - 1u - y : y;
        const unsigned char* in = src.buffer + memoryRow * stride;
        unsigned char* out = dst + static_cast<std::size_t>(rows - 1u - y) * rowBytes;
        switch (src.pixel_mode) {
            case FT_PIXEL_MODE_MONO:
                std::memcpy(out, in, rowBytes);
                break;
            case FT_PIXEL_MODE_GRAY:
            case FT_PIXEL_MODE_BGRA: {
                const bool bgra = src.pixel_mode == FT_PIXEL_MODE_BGRA;
                const unsigned threshold = bgra ? 128u : (src.num_grays > 1 ? src.num_grays / 2u : 1u);
                std::memset(out, 0, rowBytes);
                for (unsigned x = 0; x < width; ++x) {
                    const unsigned value = bgra ? in[x * 4u + 3u] : in[x];
                    if (value >= threshold) out[x / 8u] |= static_cast<unsigned char>(0x80u >> (x % 8u));
                }
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

// Compiles the list for the glyph that is loaded in `face`, in `shape`; *advance gets its advance.
bool compileGlyph(const OpenFont& font, GLuint list, GlyphShape shape, BitmapScratch& scratch, BitmapScratch& grown,
                  int* advancePixels) {
    const FT_GlyphSlot slot = font.face()->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    *advancePixels = font.loadedAdvance();
    const GLfloat advance = static_cast<GLfloat>(*advancePixels);
    const unsigned char* bits = nullptr;
    int width = static_cast<int>(bitmap.width);
    int height = static_cast<int>(bitmap.rows);
    int left = slot->bitmap_left;  // from the pen position to the bitmap's left column
    int top = slot->bitmap_top;    // from the baseline up to the bitmap's top row
    bool packed = true;
    if (width > 0 && height > 0 && bitmap.buffer != nullptr) {
        unsigned char* dst = scratch.get(bitmapBytes(width, height));
        packed = dst != nullptr && packBitmap(bitmap, dst);
        if (packed) bits = dst;
        if (packed && shape == GlyphShape::Dilated) {
            unsigned char* outline = grown.get(bitmapBytes(width + 2, height + 2));
            packed = outline != nullptr;
            bits = nullptr;
            if (packed) {
                dilateBitmap(dst, width, height, outline);
                bits = outline;
                width += 2;
                height += 2;
                left -= 1;
                top += 1;
            }
        }
    }
    glNewList(list, GL_COMPILE);
    if (bits != nullptr) {
        glBitmap(width, height, static_cast<GLfloat>(-left), static_cast<GLfloat>(height - top), advance, 0.0f, bits);
    } else {
        // Blank glyphs such as the space still move the raster position.
        glBitmap(0, 0, 0.0f, 0.0f, advance, 0.0f, nullptr);
    }
    glEndList();
    return packed;
}

// A rendered glyph as one byte a pixel, rows bottom up: 1-bit pixels as 0 or 255, grey levels
// scaled to 0-255, or with `oneBit` cut to 0 or 255 where packBitmap cuts them. False for pixel
// formats it cannot read.
bool unpackGlyph(const FT_Bitmap& src, bool oneBit, unsigned char* out) {
    const unsigned rows = src.rows;
    const unsigned width = src.width;
    const std::size_t stride = static_cast<std::size_t>(src.pitch < 0 ? -src.pitch : src.pitch);
    const unsigned levels = src.num_grays > 1 ? src.num_grays - 1u : 255u;
    for (unsigned y = 0; y < rows; ++y) {
        const std::size_t memoryRow = src.pitch < 0 ? rows - 1u - y : y;
        const unsigned char* in = src.buffer + memoryRow * stride;
        unsigned char* row = out + static_cast<std::size_t>(rows - 1u - y) * width;
        for (unsigned x = 0; x < width; ++x) {
            unsigned value = 0;
            switch (src.pixel_mode) {
                case FT_PIXEL_MODE_MONO: value = (in[x / 8u] & (0x80u >> (x % 8u))) != 0 ? 255u : 0u; break;
                case FT_PIXEL_MODE_GRAY: value = (in[x] * 255u + levels / 2u) / levels; break;
                case FT_PIXEL_MODE_BGRA: value = in[x * 4u + 3u]; break;
                default: return false;
            }
            if (oneBit && src.pixel_mode == FT_PIXEL_MODE_GRAY) {
                value = in[x] >= (src.num_grays > 1 ? src.num_grays / 2u : 1u) ? 255u : 0u;
            } else if (oneBit) {
                value = value >= 128u ? 255u : 0u;
            }
            row[x] = static_cast<unsigned char>(value > 255u ? 255u : value);
        }
    }
    return true;
}

}  // namespace

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

bool renderGlyphs(void* drawingContext, const char* face, int pixelHeight, int firstChar, int count,
                  GlyphRendering rendering, GlyphReceiver& receiver, GlyphMetrics* metrics) {
    if (drawingContext == nullptr || face == nullptr || pixelHeight <= 0 || firstChar < 0 || count < 0 ||
        count > 0x7FFFFFFF - firstChar) {
        return false;
    }
    OpenFont font(face, pixelHeight);
    const FT_Face ft = font.face();
    if (ft == nullptr) return false;
    if (metrics != nullptr) font.measure(metrics);
    BitmapScratch scratch;
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        const int c = firstChar + i;
        GlyphImage image = {0, 0, 0, 0, 0, nullptr};
        bool loaded = font.loadBitmapGlyph(c);
        // The advances of the 1-bit glyphs, whatever the rendering.
        if (loaded) image.advance = font.loadedAdvance();
        if (loaded && rendering == GlyphRendering::Coverage) {
            // FreeType's normal antialiased rendering, with its normal hinting.
            loaded = FT_Load_Glyph(ft, font.glyphOf(c), FT_LOAD_RENDER) == 0 ||
                     FT_Load_Glyph(ft, 0, FT_LOAD_RENDER) == 0;
        }
        if (metrics != nullptr && c < 256) metrics->advance[c] = static_cast<std::int16_t>(image.advance);
        const FT_Bitmap& bitmap = ft->glyph->bitmap;
        if (!loaded) {
            ok = false;
        } else if (bitmap.width > 0 && bitmap.rows > 0 && bitmap.buffer != nullptr) {
            unsigned char* bytes = scratch.get(static_cast<std::size_t>(bitmap.width) * bitmap.rows);
            if (bytes != nullptr && unpackGlyph(bitmap, rendering == GlyphRendering::Bitmap, bytes)) {
                image.width = static_cast<int>(bitmap.width);
                image.height = static_cast<int>(bitmap.rows);
                image.xOrigin = -ft->glyph->bitmap_left;
                image.yOrigin = image.height - ft->glyph->bitmap_top;
                image.pixels = bytes;
            } else {
                ok = false;
            }
        }
        if (!receiver.receive(c, image)) ok = false;
    }
    return ok;
}

bool buildGlyphLists(void* drawingContext, const char* face, int pixelHeight, std::uint32_t firstList,
                     int firstChar, int count, GlyphShape shape, GlyphMetrics* metrics) {
    if (drawingContext == nullptr || face == nullptr || pixelHeight <= 0 || firstChar < 0 ||
        count < 0 || count > 0x7FFFFFFF - firstChar || OSMesaGetCurrentContext() == nullptr) {
        return false;
    }
    OpenFont font(face, pixelHeight);
    if (font.face() == nullptr) return false;
    if (metrics != nullptr) font.measure(metrics);

    BitmapScratch scratch;
    BitmapScratch grown;
    bool ok = true;
    // The glyph rows are byte-packed; the host's pixel-store state, including a bound unpack
    // buffer, comes back with the pop.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    GLint unpackBuffer = 0;
    glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer);
    if (unpackBuffer != 0) glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    unpackBytesAsTheyAre();
    for (int i = 0; i < count; ++i) {
        const GLuint list = static_cast<GLuint>(firstList + static_cast<std::uint32_t>(i));
        if (!font.loadBitmapGlyph(firstChar + i)) {
            // Leaves a list that draws nothing and does not move, so a string still draws.
            glNewList(list, GL_COMPILE);
            glEndList();
            if (metrics != nullptr && firstChar + i < 256) metrics->advance[firstChar + i] = 0;
            ok = false;
            continue;
        }
        int advance = 0;
        if (!compileGlyph(font, list, shape, scratch, grown, &advance)) ok = false;
        if (metrics != nullptr && firstChar + i < 256) metrics->advance[firstChar + i] = static_cast<std::int16_t>(advance);
    }
    glPopClientAttrib();
    return ok;
}

}  // namespace platform
