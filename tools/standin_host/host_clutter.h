// What a careless host leaves on when it calls the plug-in: texturing on several units with
// complete textures bound, fog, blending that hides everything, alpha, stencil and clip tests
// that pass nothing, a colour logic op, wireframe, culling, stipple, secondary colour, and client
// arrays enabled with the host's own pointers. None of it may change the overlay, and all of it
// must be the host's again after the frame.
#pragma once

#include "gl_scene.h"

namespace standin {

// Sets the cluttered state over whatever the host set before. The stencil buffer is cleared to 0.
void setClutteredState();

// Takes it all away again, so that the host's own drawing is as before.
void clearClutteredState();

// Adds to `state` the settings the cluttered state changes that captureGlState leaves out (units,
// texture bindings and environment, fog, tests, logic op, arrays and their pointers, buffers).
void captureClutterState(GlState& state);

// The number of live texture names, found with glIsTexture over every name up to a bound beyond
// the highest one handed out so far.
long countLiveTextures();

}  // namespace standin
