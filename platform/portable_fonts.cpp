// Fonts for native builds, without GL: fontconfig picks the files, FreeType opens and measures them.
#include "platform/portable_fonts.h"

#include "platform/face_list.h"
#include "platform/glyph_bitmap.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace freetype {

namespace {

// Em height of `pixelHeight` pixels, or the nearest fixed size for a font that only has those.
bool setPixelHeight(FT_Face face, int pixelHeight) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) == 0) return true;
    if (face->num_fixed_sizes <= 0) return false;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
        const int d = face->available_sizes[i].height - pixelHeight;
        const int bestD = face->available_sizes[best].height - pixelHeight;
        if ((d < 0 ? -d : d) < (bestD < 0 ? -bestD : bestD)) best = i;
    }
    return FT_Select_Size(face, best) == 0;
}

bool loadGlyph(FT_Face face, FT_UInt glyph) {
    return FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0;
}

FcPattern* prepared(FcConfig* config, FcPattern* pattern) {
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

}  // namespace

Fonts::Fonts() {
    config = FcInitLoadConfigAndFonts();
    if (FT_Init_FreeType(&freeType) != 0) freeType = nullptr;
}

Fonts::~Fonts() {
    if (freeType != nullptr) FT_Done_FreeType(freeType);  // also frees the faces
    if (config != nullptr) FcConfigDestroy(config);
}

FcPattern* Fonts::matchFamily(const char* family) const {
    if (config == nullptr || family == nullptr) return nullptr;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return nullptr;
    // The name is a literal family, as GDI takes it: no fontconfig name syntax.
    if (family[0] != '\0') FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, prepared(config, pattern), &result);
    FcPatternDestroy(pattern);
    return match;
}

FcFontSet* Fonts::sortedFonts(FcPattern** pattern) const {
    *pattern = config != nullptr ? FcPatternCreate() : nullptr;
    if (*pattern == nullptr) return nullptr;
    FcResult result = FcResultNoMatch;
    return FcFontSort(config, prepared(config, *pattern), FcFalse, nullptr, &result);
}

FcPattern* Fonts::matchCharacter(FcFontSet* sorted, FcPattern* pattern, std::uint32_t codePoint) const {
    for (int i = 0; sorted != nullptr && i < sorted->nfont; ++i) {
        FcCharSet* has = nullptr;
        if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &has) == FcResultMatch &&
            FcCharSetHasChar(has, codePoint)) {
            return FcFontRenderPrepare(config, pattern, sorted->fonts[i]);
        }
    }
    return nullptr;
}

bool answersTo(const FcPattern* match, const char* family, char* firstName, std::size_t capacity) {
    if (firstName != nullptr && capacity > 0) firstName[0] = '\0';
    FcChar8* name = nullptr;
    for (int index = 0; FcPatternGetString(match, FC_FAMILY, index, &name) == FcResultMatch; ++index) {
        if (strcasecmp(reinterpret_cast<const char*>(name), family) == 0) return true;
        if (index == 0 && firstName != nullptr && capacity > 0) {
            std::strncpy(firstName, reinterpret_cast<const char*>(name), capacity - 1);
            firstName[capacity - 1] = '\0';
        }
    }
    return false;
}

bool SizedFace::open(FT_Library library, const FcPattern* match, int pixelHeight) {
    close();
    FcChar8* file = nullptr;
    int index = 0;
    if (library == nullptr || match == nullptr || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
        return false;
    }
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    const char* name = reinterpret_cast<const char*>(file);
    if (std::strlen(name) >= sizeof path) return false;
    if (FT_New_Face(library, name, index, &face) != 0) {
        face = nullptr;
        return false;
    }
    if (!setPixelHeight(face, pixelHeight)) {
        close();
        return false;
    }
    if (face->charmap == nullptr || face->charmap->encoding != FT_ENCODING_UNICODE) {
        symbolFont = FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0;
    }
    std::strcpy(path, name);
    return true;
}

void SizedFace::close() {
    if (face != nullptr) FT_Done_Face(face);
    face = nullptr;
    symbolFont = false;
    path[0] = '\0';
}

FT_UInt SizedFace::glyphOf(std::uint32_t codePoint) const {
    if (symbolFont) {
        // Symbol fonts are indexed by the byte itself, usually in the U+F0xx private range.
        if (codePoint > 0xFF) return 0;
        const FT_UInt glyph = FT_Get_Char_Index(face, 0xF000u | codePoint);
        return glyph != 0 ? glyph : FT_Get_Char_Index(face, codePoint);
    }
    return FT_Get_Char_Index(face, codePoint);
}

void SizedFace::measure(GlyphMetrics* metrics) const {
    metrics->ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    metrics->descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    metrics->lineHeight = static_cast<int>((face->size->metrics.height + 63) >> 6);
}

bool SizedFace::loadBitmapGlyph(FT_UInt glyph) const { return loadGlyph(face, glyph) || loadGlyph(face, 0); }

int SizedFace::loadedAdvance() const { return static_cast<int>((face->glyph->advance.x + 32) >> 6); }

FaceChain::FaceChain(const FontRequest& font) : pixelHeight(font.pixelHeight) {
    if (font.face == nullptr || font.pixelHeight <= 0) return;
    FcPattern* match = fonts.matchFamily(font.face);
    if (!openMatch(match)) return;
    // The fallbacks the file names, those the system has, in order.
    const char* at = font.fallbacks != nullptr ? font.fallbacks : "";
    char name[256];
    while (faceCount < kMaxFaces && nextFaceName(&at, name, sizeof name)) {
        FcPattern* fallback = fonts.matchFamily(name);
        if (fallback != nullptr && answersTo(fallback, name, nullptr, 0)) {
            openMatch(fallback);
        } else if (fallback != nullptr) {
            FcPatternDestroy(fallback);
        }
    }
}

FaceChain::~FaceChain() {
    for (SizedFace& face : faces) face.close();  // before the library they belong to
    if (sorted != nullptr) FcFontSetDestroy(sorted);
    if (sortPattern != nullptr) FcPatternDestroy(sortPattern);
}

// Opens the face of `match` (and destroys the match); false when it cannot be opened.
bool FaceChain::openMatch(FcPattern* match) {
    if (match == nullptr) return false;
    bool opened = false;
    if (faceCount < kMaxFaces && faces[faceCount].open(fonts.library(), match, pixelHeight)) {
        ++faceCount;
        opened = true;
    }
    FcPatternDestroy(match);
    return opened;
}

const SizedFace* FaceChain::faceFor(std::uint32_t codePoint, FT_UInt* glyph) {
    for (int index = 0; index < faceCount; ++index) {
        const FT_UInt found = faces[index].glyphOf(codePoint);
        if (found != 0) {
            *glyph = found;
            return &faces[index];
        }
    }
    if (faceCount == 0 || faceCount >= kMaxFaces) return nullptr;
    // The system's choice for the character, unless it is a file already open.
    if (!sortedOnce) {
        sorted = fonts.sortedFonts(&sortPattern);
        sortedOnce = true;
    }
    FcPattern* match = fonts.matchCharacter(sorted, sortPattern, codePoint);
    if (match == nullptr) return nullptr;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        for (int index = 0; index < faceCount; ++index) {
            if (std::strcmp(faces[index].file(), reinterpret_cast<const char*>(file)) == 0) {
                FcPatternDestroy(match);
                return nullptr;
            }
        }
    }
    if (!openMatch(match)) return nullptr;
    const SizedFace& opened = faces[faceCount - 1];
    *glyph = opened.glyphOf(codePoint);
    return *glyph != 0 ? &opened : nullptr;
}

}  // namespace freetype

bool hasFontFace(const char* face, char* drawnFace, std::uint32_t capacity) {
    if (face == nullptr || drawnFace == nullptr || capacity == 0) return true;
    drawnFace[0] = '\0';
    const freetype::Fonts fonts;
    FcPattern* match = fonts.matchFamily(face);
    if (match == nullptr) return true;
    const bool has = freetype::answersTo(match, face, drawnFace, capacity);
    if (has) drawnFace[0] = '\0';
    FcPatternDestroy(match);
    return has;
}

}  // namespace platform

namespace platform {

namespace {

// A rendered glyph as one byte a pixel, rows bottom up: 1-bit pixels as 0 or 255, grey levels
// scaled to 0-255, or with `oneBit` cut to 0 or 255 at half coverage. False for pixel formats it
// cannot read.
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

bool renderGlyphs(void*, const FontRequest& font, const std::uint32_t* characters, int count,
                  GlyphRendering rendering, GlyphReceiver& receiver, GlyphMetrics* metrics) {
    if (font.face == nullptr || font.pixelHeight <= 0 || count < 0 || (count > 0 && characters == nullptr)) return false;
    freetype::FaceChain chain(font);
    if (!chain.usable()) return false;
    if (metrics != nullptr) chain.main().measure(metrics);
    BitmapScratch scratch;
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        GlyphImage image = {0, 0, 0, 0, 0, nullptr, false};
        FT_UInt glyph = 0;
        const freetype::SizedFace* face = chain.faceFor(characters[i], &glyph);
        if (face == nullptr) {
            // No face has it: the main face's missing-character shape.
            face = &chain.main();
            glyph = 0;
            image.missing = true;
        }
        const FT_Face ft = face->ftFace();
        bool loaded = face->loadBitmapGlyph(glyph);
        // The advances of the 1-bit glyphs, whatever the rendering.
        if (loaded) image.advance = face->loadedAdvance();
        if (loaded && rendering == GlyphRendering::Coverage) {
            // FreeType's normal antialiased rendering, with its normal hinting.
            loaded = FT_Load_Glyph(ft, glyph, FT_LOAD_RENDER) == 0 || FT_Load_Glyph(ft, 0, FT_LOAD_RENDER) == 0;
        }
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
        if (!receiver.receive(i, image)) return false;
    }
    return ok;
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

// Native builds have no display: 96, or the tests' lever.
int displayDpi(void*) {
    const long lever = environmentNumber("OSTRIVANE_TEST_DPI");
    return lever >= 0 ? static_cast<int>(lever) : 96;
}

}  // namespace platform
