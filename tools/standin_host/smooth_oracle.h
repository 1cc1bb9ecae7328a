// The oracle for antialiased text: the system's own coverage glyphs blended over the picture on
// the CPU, channel by channel, glyph by glyph, as c * a + picture * (1 - a) rounded to 8 bits.
#pragma once

#include <vector>

#include "gl_scene.h"

namespace standin {

// Draws `lines` over what the framebuffer holds, each line's shadow or outline first (the
// outline being the coverage grown by a pixel: the largest of the 3 x 3 pixels around), placed by
// the oracle's own measures: a line starts at the window pixel below its point of the 640x480
// space in the viewport, moved by (dx, dy), when the point lies in the space; its glyphs advance
// by style.advances.
void drawSmoothLines(const std::vector<OracleLine>& lines, const float colour[3], const OracleStyle& style, int width,
                     int height);

}  // namespace standin
