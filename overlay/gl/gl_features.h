// What the context offers beyond OpenGL 1.1, as far as the drawing needs it: asked for at set-up,
// in the context the glyphs are made in, and used by every frame after.
#pragma once

#include "overlay/gl/gl_api.h"

namespace overlay::gl {

struct GlFeatures {
    int version = 11;  // major * 10 + minor
    EnumFunction activeTexture = nullptr;
    EnumFunction clientActiveTexture = nullptr;
    EnumFunction blendEquation = nullptr;
    BindFunction bindBuffer = nullptr;
    NameFunction bindVertexArray = nullptr;
    NameFunction disableVertexAttribArray = nullptr;
    MultiDrawFunction multiDrawArrays = nullptr;
    int textureUnits = 1;   // units with texturing enables
    int textureCoords = 1;  // units with texture coordinate arrays
    int clipPlanes = 0;
    bool rectangleTextures = false;
    int viewportSide = 4096;  // a power of two no larger than the largest viewport

    // Asks the current context.
    void find();

    void selectUnit(int unit) const {
        if (activeTexture != nullptr) activeTexture(kTexture0 + static_cast<GLenum>(unit));
    }
    void selectClientUnit(int unit) const {
        if (clientActiveTexture != nullptr) clientActiveTexture(kTexture0 + static_cast<GLenum>(unit));
    }
};

}  // namespace overlay::gl
