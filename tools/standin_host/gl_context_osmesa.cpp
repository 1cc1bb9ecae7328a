// Offscreen context for native runs: OSMesa renders into a buffer of our own.
#include <GL/osmesa.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <malloc.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gl_headers.h"
#include "platform/platform.h"
#include "platform/windows_1252.h"
#include "platform_host.h"

namespace standin {

namespace {

class OsMesaContext : public GlContext {
public:
    ~OsMesaContext() override {
        if (osmesaContext != nullptr) {
            OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
            OSMesaDestroyContext(osmesaContext);
        }
    }

    bool create(int width, int height, std::string* error) {
        osmesaContext = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
        if (osmesaContext == nullptr) {
            *error = "OSMesa: cannot create a context";
            return false;
        }
        return resize(width, height, error);
    }

    bool resize(int width, int height, std::string* error) override {
        // OSMesa keeps the context (and its display lists) when it is made current on a new buffer.
        pixelBuffer.assign(static_cast<std::size_t>(width) * height * 4, 0);
        if (!OSMesaMakeCurrent(osmesaContext, pixelBuffer.data(), GL_UNSIGNED_BYTE, width, height)) {
            *error = "OSMesa: cannot make the context current at " + std::to_string(width) + "x" +
                     std::to_string(height);
            return false;
        }
        bufferWidth = width;
        bufferHeight = height;
        return true;
    }

    void endFrame() override { glFlush(); }

    Image read() override {
        glFinish();
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(bufferWidth) * bufferHeight * 4);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, bufferWidth, bufferHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glPopClientAttrib();
        return imageFromGlRows(rgba, bufferWidth, bufferHeight);
    }

    bool buildGlyphLists(const std::string& face, int pixelHeight, unsigned firstList, int firstChar,
                         int count) override {
        // The Windows-1252 characters, a list each at the byte's place.
        std::vector<std::uint32_t> characters;
        for (int i = 0; i < count; ++i) {
            const int byte = firstChar + i;
            const std::uint16_t code = byte < 256 ? platform::windows1252ToUnicode(static_cast<unsigned char>(byte)) : 0;
            characters.push_back(code != 0 ? code : static_cast<std::uint32_t>(byte));
        }
        return platform::buildGlyphLists(platform::currentDrawingContext(), platform::FontRequest{face.c_str(), nullptr, pixelHeight},
                                         characters.data(), count, firstList, platform::GlyphShape::Plain);
    }

    bool buildCharacterList(const std::string& face, int pixelHeight, unsigned list, std::uint32_t codePoint) override {
        return platform::buildGlyphLists(platform::currentDrawingContext(),
                                         platform::FontRequest{face.c_str(), nullptr, pixelHeight}, &codePoint, 1, list,
                                         platform::GlyphShape::Plain);
    }

    bool coverageGlyphs(const std::string& face, int pixelHeight, CoverageFont* font) override {
        return withFreeTypeFace(face, pixelHeight, [&](FT_Face ft) {
            font->levels = 255;
            for (int code = 32; code < 256; ++code) {
                CoverageGlyph& glyph = font->glyphs[code];
                glyph = CoverageGlyph();
                FT_UInt index = FT_Get_Char_Index(ft, platform::windows1252ToUnicode(static_cast<unsigned char>(code)));
                if (FT_Load_Glyph(ft, index, FT_LOAD_RENDER) != 0 && FT_Load_Glyph(ft, 0, FT_LOAD_RENDER) != 0) continue;
                const FT_Bitmap& bitmap = ft->glyph->bitmap;
                if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256) return false;
                glyph.width = static_cast<int>(bitmap.width);
                glyph.height = static_cast<int>(bitmap.rows);
                glyph.left = ft->glyph->bitmap_left;
                glyph.top = ft->glyph->bitmap_top;
                for (unsigned row = 0; row < bitmap.rows; ++row) {
                    const unsigned char* in = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
                    glyph.coverage.insert(glyph.coverage.end(), in, in + bitmap.width);
                }
            }
            return true;
        });
    }

    // FreeType's own measures of the font fontconfig picks: the hinted size's ascender and
    // descender, rounded outwards, and each glyph's hinted advance in whole pixels.
    bool fontMetrics(const std::string& face, int pixelHeight, FontMetrics* metrics) override {
        return withFreeTypeFace(face, pixelHeight, [&](FT_Face font) {
            metrics->ascent = static_cast<int>((font->size->metrics.ascender + 63) >> 6);
            metrics->descent = static_cast<int>((-font->size->metrics.descender + 63) >> 6);
            metrics->lineHeight = static_cast<int>((font->size->metrics.height + 63) >> 6);
            for (int code = 32; code < 256; ++code) {
                const FT_UInt glyph = FT_Get_Char_Index(font, platform::windows1252ToUnicode(static_cast<unsigned char>(code)));
                if (FT_Load_Glyph(font, glyph, FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
                    metrics->advance[code] = static_cast<int>((font->glyph->advance.x + 32) >> 6);
                }
            }
            return true;
        });
    }

    // Runs `use` on the font fontconfig picks for `face`, at `pixelHeight` pixels; false when
    // there is none or `use` fails.
    template <typename Use>
    static bool withFreeTypeFace(const std::string& face, int pixelHeight, Use use) {
        FcConfig* config = FcInitLoadConfigAndFonts();
        if (config == nullptr) return false;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        FcChar8* file = nullptr;
        int index = 0;
        bool done = false;
        FT_Library library = nullptr;
        if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FT_Init_FreeType(&library) == 0) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FT_Face font = nullptr;
            if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &font) == 0 &&
                FT_Set_Pixel_Sizes(font, 0, static_cast<FT_UInt>(pixelHeight)) == 0) {
                done = use(font);
            }
            FT_Done_FreeType(library);
        }
        if (match != nullptr) FcPatternDestroy(match);
        FcConfigDestroy(config);
        return done;
    }

private:
    OSMesaContext osmesaContext = nullptr;
    std::vector<std::uint8_t> pixelBuffer;
    int bufferWidth = 0;
    int bufferHeight = 0;
};

}  // namespace

void* glProc(const char* name) { return reinterpret_cast<void*>(OSMesaGetProcAddress(name)); }

std::unique_ptr<GlContext> createGlContext(int width, int height, std::string* error) {
    // The software renderer allocates and frees large buffers with every flush; kept on the heap
    // instead of mapped and unmapped each time, a long run of frames is several times faster.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    auto context = std::make_unique<OsMesaContext>();
    if (!context->create(width, height, error)) return nullptr;
    return context;
}

}  // namespace standin
