// The glyph texture: a font's glyphs packed into one GL_ALPHA8 texture (glyph_atlas.h), with the
// glyph table the quads are made from.
#pragma once

#include <cstdint>

#include "overlay/gl/gl_features.h"
#include "overlay/glyph_atlas.h"
#include "overlay/graphics.h"

namespace overlay::gl {

class GlyphTexture {
public:
    // Makes the texture of the glyphs of `characters` in `font` and `style` in the current
    // context, no side larger than the context allows (or the tests' lever,
    // OSTRIVANE_TEST_MAX_TEXTURE_SIZE), notes their advances in `characters`, and measures the font
    // into `metrics` (may be null). Forgets the texture it held. Returns the texture's name; 0 when
    // it cannot be made: then the glyphs do not fit, and the lists draw them all.
    GLuint build(void* drawingContext, const platform::FontRequest& font, CharacterSet& characters,
                 const GlyphStyle& style, const GlFeatures& features, platform::GlyphMetrics* metrics);
    // Forgets the texture (it is not deleted: whoever owns the name does that).
    void forget();
    // Whether the texture is still the one made: a texture, which binds to GL_TEXTURE_2D, its level
    // 0 of the width, height and internal format it was given. Asks nothing that raises an error
    // for a name that is a 2D texture or no texture; leaves it bound on the active unit. A host that
    // made the name a texture of another target (1D, 3D, a cube map) gets an error from the bind.
    bool intact() const;
    // The filters and wraps the glyphs are drawn with, set again on the bound texture: a host may
    // have changed them on a name it did not make.
    void keepParameters(const GlFeatures& features) const;
    // Makes the texture again from the packed image kept since set-up, under a new name (the old
    // one is left to whoever holds it now). Returns the name; 0 when it cannot be made.
    GLuint remake(const GlFeatures& features);
    // Deletes the texture when it is still intact, and forgets it. The host's texture binding is
    // given back.
    void release();

    GLuint name() const { return texture; }
    bool smooth() const { return antialiased; }
    int width() const { return textureWidth; }
    int height() const { return textureHeight; }
    // Counts textures made, so that quads made from an earlier one are never drawn.
    std::uint32_t generation() const { return made; }
    const GlyphAtlas& glyphs() const { return atlas; }

private:
    GLuint upload(const GlFeatures& features);

    GLuint texture = 0;
    GLint internalFormat = 0;  // as the context stored it
    bool antialiased = false;
    int textureWidth = 1, textureHeight = 1;
    std::uint32_t made = 0;
    GlyphAtlas atlas;
};

}  // namespace overlay::gl
