#include "overlay/gl/host_state.h"

namespace overlay::gl {

namespace {

// Turns off what the host may have left on that changes text drawn as bitmaps or as quads:
// texturing on every unit, texture coordinate generation, fog, blending, the alpha, stencil
// and depth tests, a colour logic op, user clip planes, culling, stipple, polygon smoothing
// and a polygon mode other than fill. All of it is in the groups enter() pushed.
void neutralise(const GlFeatures& features) {
    static const GLenum kOff[] = {GL_DEPTH_TEST,   GL_FOG,            GL_BLEND,     GL_ALPHA_TEST,
                                  GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_CULL_FACE, GL_POLYGON_STIPPLE,
                                  GL_POLYGON_SMOOTH};
    for (GLenum capability : kOff) glDisable(capability);
    for (int plane = 0; plane < features.clipPlanes; ++plane) glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
    if (features.version >= 13) glDisable(kSampleAlphaToCoverage);
    if (features.version >= 14) glDisable(kColorSum);
    for (int unit = features.textureUnits - 1; unit >= 0; --unit) {
        features.selectUnit(unit);
        glDisable(GL_TEXTURE_1D);
        glDisable(GL_TEXTURE_2D);
        if (features.version >= 12) glDisable(kTexture3D);
        if (features.version >= 13) glDisable(kTextureCubeMap);
        if (features.rectangleTextures) glDisable(kTextureRectangle);
    }
    // Unit 0 stays active: the texture path draws with it.
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (features.blendEquation != nullptr) features.blendEquation(kFuncAdd);
}

}  // namespace

void HostState::enter(const GlFeatures& frameFeatures) {
    features = &frameFeatures;
    lightingWasOn = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // The scissor test and the colour mask are the host's to set: they apply to the overlay too.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT |
                 GL_LIST_BIT | GL_SCISSOR_BIT);
    // Mesa's pop leaves the colour sum off whatever it was: it is saved by hand.
    colourSumWasOn = features->version >= 14 && glIsEnabled(kColorSum);
    neutralise(*features);
}

void HostState::clipTo(const Viewport& view) const {
    int left = view.x, bottom = view.y, right = view.x + view.width, top = view.y + view.height;
    if (glIsEnabled(GL_SCISSOR_TEST)) {
        GLint scissor[4] = {};
        glGetIntegerv(GL_SCISSOR_BOX, scissor);
        left = left > scissor[0] ? left : scissor[0];
        bottom = bottom > scissor[1] ? bottom : scissor[1];
        right = right < scissor[0] + scissor[2] ? right : scissor[0] + scissor[2];
        top = top < scissor[1] + scissor[3] ? top : scissor[1] + scissor[3];
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(left, bottom, right > left ? right - left : 0, top > bottom ? top - bottom : 0);
}

void HostState::leave() {
    glPopAttrib();
    if (colourSumWasOn) glEnable(kColorSum);
    // The host draws on after us expecting the depth test on and the projection matrix selected,
    // whatever it had before the frame.
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    if (lightingWasOn) glEnable(GL_LIGHTING);
}

}  // namespace overlay::gl
