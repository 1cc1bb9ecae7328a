// The overlay drawn with OpenGL 1.1 in immediate mode into the host's current rendering context.
#pragma once

#include "overlay/graphics.h"

namespace overlay {

// The product's Graphics: glyph lists from the platform's font service, the host's state saved
// and restored around each frame. One object for the process; between beginFrame and endFrame it
// holds what it saved of the host's state.
Graphics& openGlGraphics();

}  // namespace overlay
