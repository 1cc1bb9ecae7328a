#include "overlay/gl/gl_features.h"

#include <cstring>

#include "platform/platform.h"

namespace overlay::gl {

void GlFeatures::find() {
    *this = GlFeatures();
    const char* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (text != nullptr && text[0] >= '1' && text[0] <= '9' && text[1] == '.' && text[2] >= '0' && text[2] <= '9') {
        version = (text[0] - '0') * 10 + (text[2] - '0');
    }
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    rectangleTextures = version >= 31 || (extensions != nullptr && std::strstr(extensions, "_texture_rectangle") != nullptr);
    if (version >= 13) {
        activeTexture = reinterpret_cast<EnumFunction>(platform::glFunction("glActiveTexture"));
        clientActiveTexture = reinterpret_cast<EnumFunction>(platform::glFunction("glClientActiveTexture"));
        if (activeTexture == nullptr || clientActiveTexture == nullptr) {
            activeTexture = clientActiveTexture = nullptr;
        } else {
            GLint units = 1;
            glGetIntegerv(kMaxTextureUnits, &units);
            textureUnits = units > 1 ? units : 1;
            textureCoords = textureUnits;
            if (version >= 20) {
                glGetIntegerv(kMaxTextureCoords, &units);
                textureCoords = units > textureCoords ? units : textureCoords;
            }
        }
    }
    if (version >= 14) {
        blendEquation = reinterpret_cast<EnumFunction>(platform::glFunction("glBlendEquation"));
        multiDrawArrays = reinterpret_cast<MultiDrawFunction>(platform::glFunction("glMultiDrawArrays"));
    }
    if (version >= 15) bindBuffer = reinterpret_cast<BindFunction>(platform::glFunction("glBindBuffer"));
    if (version >= 20) {
        disableVertexAttribArray = reinterpret_cast<NameFunction>(platform::glFunction("glDisableVertexAttribArray"));
    }
    if (version >= 30) bindVertexArray = reinterpret_cast<NameFunction>(platform::glFunction("glBindVertexArray"));
    GLint planes = 0;
    glGetIntegerv(GL_MAX_CLIP_PLANES, &planes);
    clipPlanes = planes > 0 ? planes : 0;
    GLint dims[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
    const GLint largest = dims[0] < dims[1] ? dims[0] : dims[1];
    while (viewportSide * 2 <= largest && viewportSide < (1 << 15)) viewportSide *= 2;
}

}  // namespace overlay::gl
