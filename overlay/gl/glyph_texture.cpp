#include "overlay/gl/glyph_texture.h"

#include "platform/gl_pixel_store.h"

namespace overlay::gl {

namespace {

// The tests' lever for the glyph lists: a largest texture side below the context's own. 1 forces
// the lists; unset leaves the context's limit.
constexpr char kTextureLimitVariable[] = "OSTRIVANE_TEST_MAX_TEXTURE_SIZE";

}  // namespace

GLuint GlyphTexture::build(void* drawingContext, const platform::FontRequest& font, CharacterSet& characters,
                           const GlyphStyle& style, const GlFeatures& features, platform::GlyphMetrics* metrics) {
    forget();  // its glyph table is about to be overwritten
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    const long testLimit = platform::environmentNumber(kTextureLimitVariable);
    if (testLimit >= 0 && testLimit < limit) limit = static_cast<GLint>(testLimit);
    const platform::GlyphRendering rendering =
        style.smooth ? platform::GlyphRendering::Coverage : platform::GlyphRendering::Bitmap;
    platform::GlyphMetrics measured = {};
    if (!atlas.begin(characters, style.outline) ||
        !platform::renderGlyphs(drawingContext, font, characters.codes(), characters.count(), rendering, atlas,
                                &measured) ||
        !atlas.pack(limit)) {
        atlas.releasePixels();
        return 0;
    }
    // The packed image is kept, to make the texture again from it.
    const GLuint name = upload(features);
    if (name == 0) {
        atlas.releasePixels();
        return 0;
    }
    if (metrics != nullptr) *metrics = measured;
    texture = name;
    antialiased = style.smooth;
    textureWidth = atlas.imageWidth();
    textureHeight = atlas.imageHeight();
    ++made;
    return name;
}

void GlyphTexture::forget() { texture = 0; }

bool GlyphTexture::intact() const {
    if (texture == 0 || glIsTexture(texture) == GL_FALSE) return false;
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint bound = 0, width = 0, height = 0, format = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (static_cast<GLuint>(bound) != texture) return false;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return width == textureWidth && height == textureHeight && format == internalFormat;
}

void GlyphTexture::keepParameters(const GlFeatures& features) const {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const GLint wrap = features.version >= 12 ? static_cast<GLint>(kClampToEdge) : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

GLuint GlyphTexture::remake(const GlFeatures& features) {
    texture = atlas.image() != nullptr ? upload(features) : 0;
    return texture;
}

void GlyphTexture::release() {
    glPushAttrib(GL_TEXTURE_BIT);
    const bool ours = intact();
    glPopAttrib();
    if (ours) glDeleteTextures(1, &texture);
    texture = 0;
    atlas.releasePixels();
}

// The packed glyphs as a texture of the context; 0 when it cannot hold them. The host's texture
// binding, unpack and transfer state come back as they were.
GLuint GlyphTexture::upload(const GlFeatures& features) {
    const GLsizei width = atlas.imageWidth();
    const GLsizei height = atlas.imageHeight();
    glPushAttrib(GL_TEXTURE_BIT | GL_PIXEL_MODE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    features.selectUnit(0);
    if (features.bindBuffer != nullptr && features.version >= 21) {
        GLint unpackBuffer = 0;
        glGetIntegerv(kPixelUnpackBufferBinding, &unpackBuffer);
        if (unpackBuffer != 0) features.bindBuffer(kPixelUnpackBuffer, 0);
    }
    platform::unpackBytesAsTheyAre();
    glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    glPixelTransferf(GL_ALPHA_SCALE, 1.0f);
    glPixelTransferf(GL_ALPHA_BIAS, 0.0f);
    // A texture the context cannot hold is turned away by its proxy, and one it failed to store
    // has no width: both without reading the error flag, which is the host's.
    GLint fits = 0;
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_ALPHA8, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, nullptr);
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &fits);
    GLuint name = 0;
    if (fits == width) glGenTextures(1, &name);
    if (name != 0) {
        glBindTexture(GL_TEXTURE_2D, name);
        keepParameters(features);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, atlas.image());
        GLint stored = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &stored);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
        if (stored != width) {
            glDeleteTextures(1, &name);
            name = 0;
        }
    }
    glPopClientAttrib();
    glPopAttrib();
    return name;
}

}  // namespace overlay::gl
