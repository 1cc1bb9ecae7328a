// The characters the overlay can draw after a load: every character of the loaded pages and of the
// clock formats, and the printable characters of Windows-1252, so that any token value can be
// drawn. Sorted, each once, with what the font does with each: its advance, and whether no face
// has it (it is then drawn as the main face's missing-character shape). The glyphs are made for
// exactly these characters, and rows are measured by them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/display_settings.h"
#include "config/page_table.h"

namespace overlay {

class CharacterSet {
public:
    CharacterSet() = default;
    ~CharacterSet() { release(); }
    CharacterSet(const CharacterSet&) = delete;
    CharacterSet& operator=(const CharacterSet&) = delete;

    // Collects the characters of every page of `pages` and of the settings' clock formats (with
    // malloc, at set-up). False when memory runs out: the set then holds the printable characters
    // of Windows-1252 alone, or nothing.
    bool collect(const config::PageTable& pages, const config::DisplaySettings& settings);
    // Holds `codes` (any order; each kept once). False when memory runs out.
    bool assign(const std::uint32_t* codes, int codeCount);
    void release();

    int count() const { return size; }
    const std::uint32_t* codes() const { return characters; }
    // The character's index in the set, -1 when it is not in it.
    int indexOf(std::uint32_t codePoint) const;

    // What the glyph builder found, per character: its advance in window pixels, and whether no
    // face has it. Zero and false until glyphs are made.
    std::int16_t* advances() { return advanceOf; }
    bool* missing() { return missingOf; }
    std::int32_t advance(int index) const { return index >= 0 ? advanceOf[index] : 0; }
    bool isMissing(int index) const { return index >= 0 && missingOf[index]; }
    // Forgets the advances and the missing characters (the glyphs are gone).
    void forgetGlyphs();

    // The sum of the advances of the characters of `text` (UTF-8); characters not in the set
    // (control characters among them) draw nothing and do not advance.
    std::int32_t measure(const char* text) const;

private:
    std::uint32_t* characters = nullptr;
    std::int16_t* advanceOf = nullptr;
    bool* missingOf = nullptr;
    int size = 0;
};

// Whether a character is a control character, which draws nothing and does not advance.
constexpr bool drawsNothing(std::uint32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Decodes the character of UTF-8 `text` at *at and moves *at past it; ill-formed bytes give
// U+FFFD. *at must not be at the terminator.
std::uint32_t nextCharacter(const char* text, std::size_t* at);

}  // namespace overlay
