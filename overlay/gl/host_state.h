// The host's GL state around a frame: what the frame changes is saved, whatever the host left on
// that would change the text, its shadow or the box is turned off, and all of it is given back
// after the frame, with the two settings the host counts on. One object, used once a frame:
// enter() before anything is drawn, leave() after.
#pragma once

#include "overlay/gl/gl_features.h"
#include "overlay/row_layout.h"

namespace overlay::gl {

class HostState {
public:
    // Saves lighting, both matrices and the attribute groups the frame touches, and turns off
    // what would change the drawing. The matrix mode is left at GL_MODELVIEW.
    void enter(const GlFeatures& features);
    // Cuts what the frame draws at `view`'s edges, inside the host's scissor box if it set one.
    void clipTo(const Viewport& view) const;
    // Gives the host its state back, except that the depth test is on and the projection matrix
    // is selected, as the host draws on expecting.
    void leave();

private:
    const GlFeatures* features = nullptr;
    GLboolean lightingWasOn = GL_FALSE;
    bool colourSumWasOn = false;
};

}  // namespace overlay::gl
