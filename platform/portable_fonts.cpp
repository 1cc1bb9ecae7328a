// Fonts for native builds, without GL: fontconfig picks the file, FreeType opens and measures it.
#include "platform/portable_fonts.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "platform/windows_1252.h"

namespace platform {

namespace freetype {

namespace {

// The Unicode code point of a 1252 character, or 0 when there is none.
FT_ULong unicodeOf(int c) {
    if (c < 0 || c > 0xFF) return 0;
    return windows1252ToUnicode(static_cast<unsigned char>(c));
}

FT_UInt glyphIndexOf(FT_Face face, bool symbolFont, int c) {
    if (symbolFont) {
        // Symbol fonts are indexed by the byte itself, usually in the U+F0xx private range.
        if (c < 0 || c > 0xFF) return 0;
        const FT_UInt glyph = FT_Get_Char_Index(face, 0xF000u | static_cast<FT_ULong>(c));
        return glyph != 0 ? glyph : FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
    }
    const FT_ULong code = unicodeOf(c);
    if (code == 0 && c != 0) return 0;
    return FT_Get_Char_Index(face, code);
}

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

}  // namespace

FontFile::FontFile(const char* family) {
    fontConfig = FcInitLoadConfigAndFonts();
    if (fontConfig == nullptr) return;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return;
    // The name is a literal family, as GDI takes it: no fontconfig name syntax.
    if (family[0] != '\0') {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    }
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(fontConfig, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    match = FcFontMatch(fontConfig, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return;
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    filePath = reinterpret_cast<const char*>(file);
    faceIndex = index;
}

FontFile::~FontFile() {
    if (match != nullptr) FcPatternDestroy(match);
    if (fontConfig != nullptr) FcConfigDestroy(fontConfig);
}

FreeTypeFace::FreeTypeFace(const char* path, int index) {
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return;
    }
    if (path == nullptr || FT_New_Face(library, path, index, &loadedFace) != 0) loadedFace = nullptr;
}

FreeTypeFace::~FreeTypeFace() {
    // Also frees the face.
    if (library != nullptr) FT_Done_FreeType(library);
}

OpenFont::OpenFont(const char* family, int pixelHeight) : file(family), font(file.path(), file.index()) {
    FT_Face ft = font.face();
    if (file.path() == nullptr || ft == nullptr || !setPixelHeight(ft, pixelHeight)) return;
    if (ft->charmap == nullptr || ft->charmap->encoding != FT_ENCODING_UNICODE) {
        symbolFont = FT_Select_Charmap(ft, FT_ENCODING_MS_SYMBOL) == 0;
    }
    usable = true;
}

FT_UInt OpenFont::glyphOf(int c) const { return glyphIndexOf(font.face(), symbolFont, c); }

void OpenFont::measure(GlyphMetrics* metrics) const {
    const FT_Face ft = font.face();
    metrics->ascent = static_cast<int>((ft->size->metrics.ascender + 63) >> 6);
    metrics->descent = static_cast<int>((-ft->size->metrics.descender + 63) >> 6);
    metrics->lineHeight = static_cast<int>((ft->size->metrics.height + 63) >> 6);
}

bool OpenFont::loadBitmapGlyph(int c) const { return loadGlyph(font.face(), glyphOf(c)) || loadGlyph(font.face(), 0); }

int OpenFont::loadedAdvance() const { return static_cast<int>((font.face()->glyph->advance.x + 32) >> 6); }

}  // namespace freetype

bool measureFont(const char* face, int pixelHeight, GlyphMetrics* out) {
    if (face == nullptr || pixelHeight <= 0 || out == nullptr) return false;
    const freetype::OpenFont font(face, pixelHeight);
    if (font.face() == nullptr) return false;
    *out = GlyphMetrics{};
    font.measure(out);
    for (int c = kFirstDrawnCharacter; c < 256; ++c) {
        out->advance[c] = static_cast<std::int16_t>(font.loadBitmapGlyph(c) ? font.loadedAdvance() : 0);
    }
    return true;
}

bool hasFontFace(const char* face, char* drawnFace, std::uint32_t capacity) {
    if (face == nullptr || drawnFace == nullptr || capacity == 0) return true;
    drawnFace[0] = '\0';
    const freetype::FontFile file(face);
    if (file.matched() == nullptr) return true;
    // The match lists the family names its font answers to, the one it is known by first.
    FcChar8* family = nullptr;
    for (int index = 0; FcPatternGetString(file.matched(), FC_FAMILY, index, &family) == FcResultMatch; ++index) {
        const char* name = reinterpret_cast<const char*>(family);
        if (strcasecmp(name, face) == 0) return true;
        if (index == 0) {
            std::strncpy(drawnFace, name, capacity - 1);
            drawnFace[capacity - 1] = '\0';
        }
    }
    return false;
}

int displayDpi(void*) {
    const char* lever = std::getenv("OSTRIVANE_TEST_DPI");
    if (lever == nullptr || *lever == '\0') return 96;
    long number = 0;
    for (const char* c = lever; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || number > 100000000L) return 96;
        number = number * 10 + (*c - '0');
    }
    return static_cast<int>(number);
}

}  // namespace platform
