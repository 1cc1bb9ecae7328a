// The portable platform's fonts, inside platform/ only: fontconfig picks the files, FreeType opens
// them at a pixel height and loads their glyphs as the 1-bit glyph lists draw them. The glyph
// builders and measureFont both go through here, so what a tool measures is what the plug-in
// draws.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace platform::freetype {

// fontconfig's configuration and a FreeType library of our own, so that the host's are left alone.
class Fonts {
public:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    FT_Library library() const { return freeType; }
    // fontconfig's match for a family name (its substitute for a name it does not know; null when
    // there is none), to be destroyed with FcPatternDestroy.
    FcPattern* matchFamily(const char* family) const;
    // Every font, in fontconfig's order of preference for text with no family named (a sans-serif
    // first), and the pattern they were sorted for; to be destroyed by the caller.
    FcFontSet* sortedFonts(FcPattern** pattern) const;
    // The first of `sorted` that draws `codePoint`, prepared for `pattern`; null when none does.
    FcPattern* matchCharacter(FcFontSet* sorted, FcPattern* pattern, std::uint32_t codePoint) const;

private:
    FcConfig* config = nullptr;
    FT_Library freeType = nullptr;
};

// Whether a match answers to `family` (fontconfig lists the names a font answers to); when not,
// its first name goes to `firstName` (capacity bytes; may be null).
bool answersTo(const FcPattern* match, const char* family, char* firstName, std::size_t capacity);

// One face of a font file, at a pixel height, with its character map chosen.
class SizedFace {
public:
    SizedFace() = default;
    ~SizedFace() { close(); }
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;

    // Opens the file and face fontconfig's `match` names; false when it cannot be opened at that size.
    bool open(FT_Library library, const FcPattern* match, int pixelHeight);
    void close();
    bool isOpen() const { return face != nullptr; }
    FT_Face ftFace() const { return face; }
    const char* file() const { return path; }

    // The face's glyph for `codePoint`; 0 (the missing-character shape) when it has none.
    FT_UInt glyphOf(std::uint32_t codePoint) const;
    // The ascent, descent and line height in whole pixels, rounded outwards.
    void measure(GlyphMetrics* metrics) const;
    // Loads `glyph` as the 1-bit lists draw it (rendered, with the hinting GDI's monochrome output
    // resembles), or the missing-character shape when it does not load; false when neither does.
    bool loadBitmapGlyph(FT_UInt glyph) const;
    // The advance of the glyph loaded last, in whole pixels as GDI's glyph metrics give it.
    int loadedAdvance() const;

private:
    FT_Face face = nullptr;
    bool symbolFont = false;
    char path[1024] = {};
};

// The faces a FontRequest draws with: the main face, FONT_FALLBACK's faces in order (those the
// system has), then fontconfig's choice for each character the others lack, opened as characters
// ask for them.
class FaceChain {
public:
    explicit FaceChain(const FontRequest& font);
    ~FaceChain();
    FaceChain(const FaceChain&) = delete;
    FaceChain& operator=(const FaceChain&) = delete;

    // Whether the main face could be opened.
    bool usable() const { return faces[0].isOpen(); }
    const SizedFace& main() const { return faces[0]; }
    // The face that has a glyph for `codePoint`, and that glyph; null when no face has one.
    const SizedFace* faceFor(std::uint32_t codePoint, FT_UInt* glyph);

private:
    static constexpr int kMaxFaces = 24;  // the main face, fallbacks named in the file, the system's

    bool openMatch(FcPattern* match);

    Fonts fonts;
    int pixelHeight = 0;
    SizedFace faces[kMaxFaces];
    int faceCount = 0;
    // The system's fonts, sorted once, when a character first needs them.
    bool sortedOnce = false;
    FcPattern* sortPattern = nullptr;
    FcFontSet* sorted = nullptr;
};

}  // namespace platform::freetype
