// The portable platform's fonts, inside platform/ only: the file fontconfig picks for a face name,
// opened with FreeType at a pixel height, and its glyphs loaded as the 1-bit glyph lists draw
// them. The glyph builders and measureFont both go through here, so what a tool measures is what
// the plug-in draws.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/platform.h"

namespace platform::freetype {

// The font file fontconfig chooses for a family name; falls back the way fontconfig does for
// unknown names. Owns its fontconfig state so that the host's is left alone.
class FontFile {
public:
    explicit FontFile(const char* family);
    ~FontFile();
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

    // Null when no font was found. Valid while this object lives.
    const char* path() const { return filePath; }
    int index() const { return faceIndex; }
    // fontconfig's match for the name, null when there is none.
    const FcPattern* matched() const { return match; }

private:
    FcConfig* fontConfig = nullptr;
    FcPattern* match = nullptr;
    const char* filePath = nullptr;
    int faceIndex = 0;
};

// A FreeType library of its own with one face loaded from a file.
class FreeTypeFace {
public:
    FreeTypeFace(const char* path, int index);
    ~FreeTypeFace();
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    FT_Face face() const { return loadedFace; }

private:
    FT_Library library = nullptr;
    FT_Face loadedFace = nullptr;
};

// The font of a face name at a pixel height, with its character map chosen, for as long as it
// lives.
class OpenFont {
public:
    OpenFont(const char* family, int pixelHeight);

    // Null when the font could not be opened at that size.
    FT_Face face() const { return usable ? font.face() : nullptr; }
    // The font's glyph for Windows-1252 character `c`: glyph 0, the missing-glyph shape, for
    // characters the font lacks and the codes 1252 leaves undefined, as GDI draws them.
    FT_UInt glyphOf(int c) const;

    // The ascent, descent and line height in whole pixels, rounded outwards, as FreeType gives a
    // hinted size's ascender, descender and height. Leaves the advances alone.
    void measure(GlyphMetrics* metrics) const;

    // Loads the glyph of character `c` as the 1-bit lists draw it (rendered, with the hinting
    // GDI's monochrome output resembles), or the missing glyph when it has none that loads; false
    // when not even that loads.
    bool loadBitmapGlyph(int c) const;

    // The advance of the glyph loaded last, in whole pixels as GDI's glyph metrics give it.
    int loadedAdvance() const;

private:
    FontFile file;
    FreeTypeFace font;
    bool symbolFont = false;
    bool usable = false;
};

}  // namespace platform::freetype
