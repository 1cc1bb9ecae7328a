// What the overlay draws with. The overlay decides what is drawn where; a Graphics talks to the
// graphics API and to nothing else. The product's is OpenGL (overlay_draw.h); tests put
// recorders in its place, so that the overlay's logic builds and runs without GL.
#pragma once

#include <cstdint>

namespace overlay {

// Glyph display lists: one block of 256 names, one per byte value, so that every byte of a line
// names a list of the overlay's own. Bytes 32-255 hold the font's Windows-1252 glyphs; bytes 1-31
// are empty lists and draw nothing.
constexpr int kGlyphBlockSize = 256;
constexpr int kFirstGlyphChar = 32;
constexpr int kGlyphCount = kGlyphBlockSize - kFirstGlyphChar;

class Graphics {
public:
    // The drawing context of the calling thread's current rendering context; null when none is.
    virtual void* currentContext() = 0;
    // Makes a glyph block for `face` at a character height of `pixelHeight` pixels in the context
    // `drawingContext` (the current one); returns its first list, 0 when no block could be made.
    virtual std::uint32_t buildGlyphs(void* drawingContext, const char* face, int pixelHeight) = 0;
    // Deletes a block made by buildGlyphs, when a context is current to delete it from.
    virtual void deleteGlyphs(std::uint32_t firstList) = 0;

    // A frame: beginFrame saves the host state the frame changes and sets up the 640x480
    // overlay space, drawing in `colour`; drawLine draws `text` with the block at `firstList`,
    // from the point (x, y) of that space; endFrame gives the host its state back.
    virtual void beginFrame(const float colour[3]) = 0;
    virtual void drawLine(std::uint32_t firstList, float x, float y, const char* text) = 0;
    virtual void endFrame() = 0;

protected:
    ~Graphics() = default;
};

}  // namespace overlay
