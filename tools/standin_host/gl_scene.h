// What the host draws itself: the background of a frame, the state it leaves for the plug-in,
// the oracle text, and the GL state and display-list checks around a plug-in call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct Background {
    bool viewport = false;       // grey gradient with a floor grid, like a modelling viewport
    float red = 0.0f, green = 0.0f, blue = 0.0f;  // plain colour
};

// Sets the viewport to the whole framebuffer and draws the background. The depth buffer is left
// at 0.25 everywhere, as if scene geometry stood in front of the overlay's plane: text drawn with
// the depth test still on does not show.
void drawBackground(const Background& background, int width, int height);

// The state the host leaves when it calls the drawing function, after drawing its scene:
// perspective projection and a camera model-view, model-view matrix mode, lighting and the depth
// test on, white current colour, list base 0.
void setSceneState(int width, int height);

// The distinctive state of a GL state check; `lighting` chooses whether lighting is on.
void setDistinctiveState(bool lighting);

// The corner an oracle position is measured from: X runs in from its side of the viewport, Y in
// from its edge.
enum class Corner { BottomLeft, TopLeft, TopRight, BottomRight };

// Where the oracle found a line, in window pixels: GL's own answer, not a formula.
struct LinePlacement {
    bool shown = false;  // the line's point gave a valid raster position, so GL draws it
    int dx = 0, dy = 0;  // whole pixels from that point to the start of the line's baseline
    int start = 0;       // the column the line starts in, and the row its baseline lies on
    int baseline = 0;
    int advance = 0;     // how far its glyphs move the raster position
};

// One line of oracle text: its point (x, y) measured from `corner`'s edges, in the 640x480 space
// stretched over the viewport or in window pixels. At a top corner the point is the line's top,
// at a right corner its end, at a bottom corner with `onDescent` its descent; otherwise the start
// of its baseline.
struct OracleLine {
    Corner corner = Corner::BottomLeft;
    bool onDescent = false;
    bool pixels = false;
    float x = 0.0f;
    float y = 0.0f;
    std::string bytes;  // Windows-1252 characters
    LinePlacement placement;  // filled in by measureOracleLine
};

// Places `line` by asking GL where its point lands in the current viewport (the raster position
// and whether it is valid) and how far its glyphs, the lists at listBase + c, move the raster
// position; at a top corner the baseline goes `ascent` pixels below the point, on a descent
// `descent` pixels above it. Draws nothing: the
// colour channels are masked while the glyphs are measured.
void measureOracleLine(OracleLine& line, unsigned listBase, int ascent, int descent);

enum class OracleShadow { None, Drop, Outline };

// The viewport and scissor box a host sets for its frames (window pixels); the oracle draws its
// text with them too. Without them: the whole framebuffer, no scissor test.
struct HostFrame {
    bool viewport = false;
    int viewportBox[4] = {0, 0, 0, 0};
    bool scissor = false;
    int scissorBox[4] = {0, 0, 0, 0};
};

// The raster position and colours a frame leaves.
struct RasterState {
    bool valid = false;
    float position[4] = {};
    float rasterColour[4] = {};
    float colour[4] = {};
};
RasterState captureRaster();

// How far each glyph list listBase + c (c 32-255) moves the raster position, read from GL after
// calling it; `advances` has 256 entries.
void measureListAdvances(unsigned listBase, int* advances);

// Sets the raster position where drawing `line` with the glyph lists at listBase leaves it,
// drawing nothing.
void moveRasterPastLine(const OracleLine& line, unsigned listBase);

// A font's antialiased glyphs, as the system draws them by its own means: coverage from 0 to
// `levels`, one byte a pixel, top row first; `left` and `top` are the glyph's first column and
// top row from the pen (x right, y up, the row above the baseline being 0).
struct CoverageGlyph {
    int width = 0, height = 0, left = 0, top = 0;
    std::vector<unsigned char> coverage;
};
struct CoverageFont {
    int levels = 255;
    CoverageGlyph glyphs[256];
};

// How the oracle's lines look beyond their colour: a shadow or outline, and a box behind them.
struct OracleStyle {
    OracleShadow shadow = OracleShadow::None;
    float shadowColour[3] = {0.0f, 0.0f, 0.0f};
    bool box = false;
    float boxColour[3] = {0.0f, 0.0f, 0.0f};
    float boxAlpha = 0.0f;
    int stroke = 1;  // pixels: the drop shadow's offset, the outline's reach
    int boxLeft = 0, boxBottom = 0, boxRight = 0, boxTop = 0;  // window pixels, right and top exclusive
    HostFrame host;
    // Antialiased text: these glyphs blended over the picture with their coverage, advancing by
    // `advances` (256 entries), instead of the glyph lists.
    const CoverageFont* smooth = nullptr;
    const int* advances = nullptr;
    RasterState* rasterAfter = nullptr;  // gets the raster state the lines leave, when not null
};

// Draws the measured lines that GL shows, in the lighting- and depth-test-free state the overlay
// promises, the colour set before each raster position, the glyph list of character c at
// listBase + c. The box is a rectangle of window pixels blended over the picture, a drop shadow
// the same text `stroke` pixels right and down, an outline the same text at every offset up to
// `stroke` pixels around it: the glyphs dilated by `stroke` pixels. With style.smooth the text is blended in by the
// oracle itself (smooth_oracle.cpp).
void drawOracleLines(const std::vector<OracleLine>& lines, unsigned listBase, const float colour[3],
                     const OracleStyle& style, int width, int height);

// A named snapshot of the GL state a plug-in may not disturb.
struct GlStateValue {
    std::string name;
    std::vector<double> values;
};
using GlState = std::vector<GlStateValue>;

GlState captureGlState();

// Differences between the states before and after a plug-in frame, as messages. With `visible`,
// the frame must leave the depth test on and the matrix mode GL_PROJECTION, and may change the
// current colour and raster position; otherwise nothing may change.
std::vector<std::string> checkGlState(const GlState& before, const GlState& after, bool visible);

// A buffer object of set bytes bound to GL_PIXEL_UNPACK_BUFFER, as a host may leave one bound:
// while it is, glBitmap reads the buffer at the bitmap's address instead of the bitmap. 0 when GL
// has no buffer objects.
unsigned bindUnpackBuffer();
// The buffer bound to GL_PIXEL_UNPACK_BUFFER now (0: none).
unsigned unpackBufferBinding();
// Unbinds GL_PIXEL_UNPACK_BUFFER and deletes `buffer`.
void deleteUnpackBuffer(unsigned buffer);

// The number of live display lists, found with glIsList over every name up to a bound beyond
// the highest name handed out so far.
long countLiveLists();

}  // namespace standin
