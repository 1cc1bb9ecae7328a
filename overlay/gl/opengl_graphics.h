// The overlay drawn with OpenGL into the host's current rendering context.
#pragma once

#include "overlay/graphics.h"

namespace overlay {

// The product's Graphics: glyphs as one texture (or, where none can be made, as display lists),
// the host's state saved and restored around each frame. One object for the process.
Graphics& openGlGraphics();

}  // namespace overlay
