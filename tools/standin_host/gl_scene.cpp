#include "gl_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "gl_headers.h"
#include "host_clutter.h"
#include "smooth_oracle.h"

namespace standin {

namespace {

void perspectiveProjection(int width, int height) {
    const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.1 * aspect, 0.1 * aspect, -0.1, 0.1, 0.2, 200.0);
}

void cameraModelView() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(24.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, -5.0f, -16.0f);
    glRotatef(35.0f, 0.0f, 1.0f, 0.0f);
}

void drawFloorGrid() {
    glBegin(GL_LINES);
    for (int i = -12; i <= 12; ++i) {
        const float v = static_cast<float>(i);
        if (i == 0) continue;
        glColor3f(0.44f, 0.44f, 0.46f);
        glVertex3f(v, 0.0f, -12.0f);
        glVertex3f(v, 0.0f, 12.0f);
        glVertex3f(-12.0f, 0.0f, v);
        glVertex3f(12.0f, 0.0f, v);
    }
    glColor3f(0.62f, 0.30f, 0.30f);
    glVertex3f(-12.0f, 0.0f, 0.0f);
    glVertex3f(12.0f, 0.0f, 0.0f);
    glColor3f(0.30f, 0.36f, 0.62f);
    glVertex3f(0.0f, 0.0f, -12.0f);
    glVertex3f(0.0f, 0.0f, 12.0f);
    glEnd();
}

void add(GlState& state, const char* name, std::vector<double> values) {
    state.push_back({name, std::move(values)});
}

void addBoolean(GlState& state, const char* name, GLenum capability) {
    add(state, name, {glIsEnabled(capability) ? 1.0 : 0.0});
}

void addIntegers(GlState& state, const char* name, GLenum what, int count) {
    GLint values[16] = {};
    glGetIntegerv(what, values);
    add(state, name, std::vector<double>(values, values + count));
}

void addFloats(GlState& state, const char* name, GLenum what, int count) {
    GLfloat values[16] = {};
    glGetFloatv(what, values);
    add(state, name, std::vector<double>(values, values + count));
}

std::string describe(const std::vector<double>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%g", i == 0 ? "" : " ", values[i]);
        text += number;
    }
    return text;
}

const GlStateValue* find(const GlState& state, const std::string& name) {
    for (const GlStateValue& value : state) {
        if (value.name == name) return &value;
    }
    return nullptr;
}

}  // namespace

void drawBackground(const Background& background, int width, int height) {
    // Every frame starts from single-level matrix stacks, whatever the last one left.
    for (GLenum mode : {GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        const GLenum depthQuery = mode == GL_PROJECTION ? GL_PROJECTION_STACK_DEPTH : GL_MODELVIEW_STACK_DEPTH;
        GLint depth = 1;
        glGetIntegerv(depthQuery, &depth);
        for (; depth > 1; --depth) glPopMatrix();
    }
    glViewport(0, 0, width, height);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glListBase(0);
    glClearDepth(0.25);
    if (!background.viewport) {
        glClearColor(background.red, background.green, background.blue, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glColor3f(0.30f, 0.31f, 0.33f);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glColor3f(0.56f, 0.57f, 0.60f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    perspectiveProjection(width, height);
    cameraModelView();
    drawFloorGrid();
}

void setSceneState(int width, int height) {
    perspectiveProjection(width, height);
    cameraModelView();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glListBase(0);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void setDistinctiveState(bool lighting) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    // A raster position and colour of our own, set with plain matrices so that it is valid.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(0.9f, 0.1f, 0.3f, 1.0f);
    glRasterPos2f(0.25f, -0.5f);
    glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
    // Both stacks one level deep, with matrices no plug-in would produce by accident.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-3.0, 5.0, -2.0, 7.0, -4.0, 9.0);
    glRotatef(11.0f, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.5f, -1.25f, 0.75f);
    glRotatef(-33.0f, 0.3f, 1.0f, 0.2f);
    glScalef(1.5f, 0.5f, 2.0f);
    glListBase(7);
    // A feedback buffer of the host's, which it fills in feedback passes of its own.
    static GLfloat hostFeedback[64];
    glFeedbackBuffer(64, GL_3D_COLOR, hostFeedback);
    if (lighting) {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
    }
}

namespace {

bool atRight(Corner corner) { return corner == Corner::TopRight || corner == Corner::BottomRight; }
bool atTop(Corner corner) { return corner == Corner::TopLeft || corner == Corner::TopRight; }

// The window position of a point of the 640x480 space (z 0), set as the raster position
// (glWindowPos, OpenGL 1.4): a point on the space's edge is inside it, and draws, whatever GL's clipping of
// glRasterPos makes of its rounding there. It is where a move from the viewport's corner lands,
// which GL adds in single precision.
void setWindowRaster(double x, double y) {
    using WindowPosFunction = void(APIENTRY*)(GLfloat, GLfloat, GLfloat);
#ifdef _WIN32
    const WindowPosFunction windowPos =
        reinterpret_cast<WindowPosFunction>(reinterpret_cast<void (*)()>(wglGetProcAddress("glWindowPos3f")));
    if (windowPos == nullptr) return;
#else
    const WindowPosFunction windowPos = glWindowPos3f;
#endif
    GLint view[4] = {};
    glGetIntegerv(GL_VIEWPORT, view);
    const volatile float moveX = static_cast<float>(x * view[2] / 640.0);
    const volatile float moveY = static_cast<float>(y * view[3] / 480.0);
    const volatile float windowX = static_cast<float>(view[0]) + moveX;
    const volatile float windowY = static_cast<float>(view[1]) + moveY;
    windowPos(windowX, windowY, 0.5f);  // z 0 of the space: the middle of the depth range
}

// The overlay's own space, 640x480 over the viewport, and the raster position a line starts from
// there: its point, with X and Y measured from its corner's edges; for a line in pixels the
// viewport's bottom-left corner, where GL always has a raster position.
void setLineRaster(const OracleLine& line) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (line.pixels) {
        glRasterPos2f(0.0f, 0.0f);
    } else {
        const float x = atRight(line.corner) ? 640.0f - line.x : line.x;
        const float y = atTop(line.corner) ? 480.0f - line.y : line.y;
        glRasterPos2f(x, y);
        GLint valid = GL_FALSE;
        glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
        if (!valid && x >= 0.0f && x <= 640.0f && y >= 0.0f && y <= 480.0f) setWindowRaster(x, y);
    }
}

struct RasterPosition {
    bool valid = false;
    double x = 0.0, y = 0.0;  // window coordinates
};

RasterPosition currentRasterPosition() {
    GLint valid = GL_FALSE;
    GLfloat position[4] = {};
    glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    return {valid == GL_TRUE, position[0], position[1]};
}

void drawOracleText(const OracleLine& line, const float colour[3], int dx, int dy) {
    static const GLubyte kNoPixels[4] = {};
    const LinePlacement& placed = line.placement;
    glColor3f(colour[0], colour[1], colour[2]);
    setLineRaster(line);
    if (placed.dx + dx != 0 || placed.dy + dy != 0) {
        glBitmap(0, 0, 0, 0, static_cast<GLfloat>(placed.dx + dx), static_cast<GLfloat>(placed.dy + dy), kNoPixels);
    }
    glCallLists(static_cast<GLsizei>(line.bytes.size()), GL_UNSIGNED_BYTE, line.bytes.data());
}

}  // namespace

void measureOracleLine(OracleLine& line, unsigned listBase, int ascent, int descent) {
    LinePlacement& placed = line.placement;
    placed = LinePlacement();
    setLineRaster(line);
    const RasterPosition point = currentRasterPosition();
    // GL draws nothing from an invalid raster position, however far the glyphs would move it.
    if (!point.valid) return;
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_LIST_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glListBase(listBase);
    glCallLists(static_cast<GLsizei>(line.bytes.size()), GL_UNSIGNED_BYTE, line.bytes.data());
    glPopAttrib();
    const RasterPosition end = currentRasterPosition();
    placed.shown = true;
    placed.advance = static_cast<int>(std::lround(end.x - point.x));
    const bool right = atRight(line.corner);
    const bool top = atTop(line.corner);
    if (line.pixels) {
        // Whole pixels from the viewport's edges, the viewport as GL holds it.
        GLint view[4] = {};
        glGetIntegerv(GL_VIEWPORT, view);
        const int x = static_cast<int>(line.x), y = static_cast<int>(line.y);
        placed.dx = right ? view[2] - x - placed.advance : x;
        placed.dy = top ? view[3] - y - ascent : line.onDescent ? y + descent : y;
    } else {
        placed.dx = right ? -placed.advance : 0;
        placed.dy = top ? -ascent : line.onDescent ? descent : 0;
    }
    // A bitmap's pixels start at the whole pixel below the raster position, which Mesa finds
    // with an allowance of 1e-4 for a position a rounding error short of a whole pixel.
    placed.start = static_cast<int>(std::floor(point.x + 1e-4)) + placed.dx;
    placed.baseline = static_cast<int>(std::floor(point.y + 1e-4)) + placed.dy;
}

void drawOracleLines(const std::vector<OracleLine>& lines, unsigned listBase, const float colour[3],
                     const OracleStyle& style, int width, int height) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    int clip[4] = {0, 0, width, height};
    if (style.host.scissor) std::copy(style.host.scissorBox, style.host.scissorBox + 4, clip);
    // Lines in pixels show only what lies in the viewport.
    bool inPixels = false;
    for (const OracleLine& line : lines) inPixels = inPixels || line.pixels;
    if (inPixels) {
        const int view[4] = {style.host.viewport ? style.host.viewportBox[0] : 0,
                             style.host.viewport ? style.host.viewportBox[1] : 0,
                             style.host.viewport ? style.host.viewportBox[2] : width,
                             style.host.viewport ? style.host.viewportBox[3] : height};
        const int left = std::max(clip[0], view[0]), bottom = std::max(clip[1], view[1]);
        const int right = std::min(clip[0] + clip[2], view[0] + view[2]);
        const int top = std::min(clip[1] + clip[3], view[1] + view[3]);
        clip[0] = left;
        clip[1] = bottom;
        clip[2] = std::max(0, right - left);
        clip[3] = std::max(0, top - bottom);
    }
    if (style.host.scissor || inPixels) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(clip[0], clip[1], clip[2], clip[3]);
    }
    if (style.box) {
        // In window pixels.
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(style.boxColour[0], style.boxColour[1], style.boxColour[2], style.boxAlpha);
        glRecti(style.boxLeft, style.boxBottom, style.boxRight, style.boxTop);
        glDisable(GL_BLEND);
    }
    if (style.host.viewport) {
        glViewport(style.host.viewportBox[0], style.host.viewportBox[1], style.host.viewportBox[2],
                   style.host.viewportBox[3]);
    }
    if (style.smooth != nullptr) {
        drawSmoothLines(lines, colour, style, width, height);
        // The raster position and colour the glyph lists leave: after the last line's text.
        glColor3f(colour[0], colour[1], colour[2]);
        if (!lines.empty()) moveRasterPastLine(lines.back(), listBase);
    } else {
        glListBase(listBase);
        // Lines GL shows no point for draw nothing, but set the raster position as the overlay's do.
        for (const OracleLine& line : lines) {
            const int reach = style.stroke;
            if (style.shadow == OracleShadow::Drop) drawOracleText(line, style.shadowColour, reach, -reach);
            if (style.shadow == OracleShadow::Outline) {
                for (int dy = -reach; dy <= reach; ++dy) {
                    for (int dx = -reach; dx <= reach; ++dx) drawOracleText(line, style.shadowColour, dx, dy);
                }
            }
            drawOracleText(line, colour, 0, 0);
        }
    }
    if (style.rasterAfter != nullptr) *style.rasterAfter = captureRaster();
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
}

void measureListAdvances(unsigned listBase, int* advances) {
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT | GL_VIEWPORT_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (int c = 32; c < 256; ++c) {
        glRasterPos2f(-1.0f, 0.0f);
        const RasterPosition start = currentRasterPosition();
        glCallList(listBase + static_cast<unsigned>(c));
        advances[c] = static_cast<int>(std::lround(currentRasterPosition().x - start.x));
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void moveRasterPastLine(const OracleLine& line, unsigned listBase) {
    static const GLubyte kNoPixels[4] = {};
    const LinePlacement& placed = line.placement;
    setLineRaster(line);
    if (placed.dx != 0 || placed.dy != 0) {
        glBitmap(0, 0, 0, 0, static_cast<GLfloat>(placed.dx), static_cast<GLfloat>(placed.dy), kNoPixels);
    }
    // Glyph by glyph, as the lists move it: single-precision sums round on the way.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_LIST_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glListBase(listBase);
    glCallLists(static_cast<GLsizei>(line.bytes.size()), GL_UNSIGNED_BYTE, line.bytes.data());
    glPopAttrib();
}

RasterState captureRaster() {
    RasterState raster;
    GLint valid = 0;
    glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    raster.valid = valid != 0;
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster.position);
    glGetFloatv(GL_CURRENT_RASTER_COLOR, raster.rasterColour);
    glGetFloatv(GL_CURRENT_COLOR, raster.colour);
    return raster;
}

GlState captureGlState() {
    GlState state;
    addBoolean(state, "GL_LIGHTING", GL_LIGHTING);
    addBoolean(state, "GL_LIGHT0", GL_LIGHT0);
    addBoolean(state, "GL_DEPTH_TEST", GL_DEPTH_TEST);
    addBoolean(state, "GL_BLEND", GL_BLEND);
    addBoolean(state, "GL_TEXTURE_2D", GL_TEXTURE_2D);
    addBoolean(state, "GL_CULL_FACE", GL_CULL_FACE);
    addBoolean(state, "GL_SCISSOR_TEST", GL_SCISSOR_TEST);
    addBoolean(state, "GL_ALPHA_TEST", GL_ALPHA_TEST);
    addBoolean(state, "GL_TEXTURE_1D", GL_TEXTURE_1D);
    addBoolean(state, "GL_FOG", GL_FOG);
    addBoolean(state, "GL_POLYGON_STIPPLE", GL_POLYGON_STIPPLE);
    addIntegers(state, "GL_BLEND_SRC", GL_BLEND_SRC, 1);
    addIntegers(state, "GL_BLEND_DST", GL_BLEND_DST, 1);
    addIntegers(state, "GL_POLYGON_MODE", GL_POLYGON_MODE, 2);
    addIntegers(state, "GL_MATRIX_MODE", GL_MATRIX_MODE, 1);
    addIntegers(state, "GL_PROJECTION_STACK_DEPTH", GL_PROJECTION_STACK_DEPTH, 1);
    addIntegers(state, "GL_MODELVIEW_STACK_DEPTH", GL_MODELVIEW_STACK_DEPTH, 1);
    addFloats(state, "GL_PROJECTION_MATRIX", GL_PROJECTION_MATRIX, 16);
    addFloats(state, "GL_MODELVIEW_MATRIX", GL_MODELVIEW_MATRIX, 16);
    addIntegers(state, "GL_LIST_BASE", GL_LIST_BASE, 1);
    addIntegers(state, "GL_FEEDBACK_BUFFER_SIZE", GL_FEEDBACK_BUFFER_SIZE, 1);
    addIntegers(state, "GL_FEEDBACK_BUFFER_TYPE", GL_FEEDBACK_BUFFER_TYPE, 1);
    addIntegers(state, "GL_RENDER_MODE", GL_RENDER_MODE, 1);
    GLvoid* feedback = nullptr;
    glGetPointerv(GL_FEEDBACK_BUFFER_POINTER, &feedback);
    add(state, "GL_FEEDBACK_BUFFER_POINTER", {static_cast<double>(reinterpret_cast<std::uintptr_t>(feedback))});
    addIntegers(state, "GL_ATTRIB_STACK_DEPTH", GL_ATTRIB_STACK_DEPTH, 1);
    addIntegers(state, "GL_CLIENT_ATTRIB_STACK_DEPTH", GL_CLIENT_ATTRIB_STACK_DEPTH, 1);
    addIntegers(state, "GL_UNPACK_ALIGNMENT", GL_UNPACK_ALIGNMENT, 1);
    addIntegers(state, "GL_UNPACK_ROW_LENGTH", GL_UNPACK_ROW_LENGTH, 1);
    addIntegers(state, "GL_UNPACK_LSB_FIRST", GL_UNPACK_LSB_FIRST, 1);
    addIntegers(state, "GL_UNPACK_SWAP_BYTES", GL_UNPACK_SWAP_BYTES, 1);
    addIntegers(state, "GL_VIEWPORT", GL_VIEWPORT, 4);
    addIntegers(state, "GL_DEPTH_FUNC", GL_DEPTH_FUNC, 1);
    addIntegers(state, "GL_DEPTH_WRITEMASK", GL_DEPTH_WRITEMASK, 1);
    addFloats(state, "GL_CURRENT_COLOR", GL_CURRENT_COLOR, 4);
    addFloats(state, "GL_CURRENT_RASTER_POSITION", GL_CURRENT_RASTER_POSITION, 4);
    addFloats(state, "GL_CURRENT_RASTER_COLOR", GL_CURRENT_RASTER_COLOR, 4);
    addIntegers(state, "GL_CURRENT_RASTER_POSITION_VALID", GL_CURRENT_RASTER_POSITION_VALID, 1);
    captureClutterState(state);
    return state;
}

std::vector<std::string> checkGlState(const GlState& before, const GlState& after, bool visible) {
    std::vector<std::string> problems;
    if (visible) {
        const GlStateValue* depth = find(after, "GL_DEPTH_TEST");
        if (depth == nullptr || depth->values[0] != 1.0) {
            problems.push_back("GL_DEPTH_TEST is off after a visible frame; the host needs it on");
        }
        const GlStateValue* mode = find(after, "GL_MATRIX_MODE");
        if (mode == nullptr || mode->values[0] != GL_PROJECTION) {
            problems.push_back("GL_MATRIX_MODE is " + (mode ? describe(mode->values) : std::string("?")) +
                               " after a visible frame, not GL_PROJECTION (" + std::to_string(GL_PROJECTION) +
                               ")");
        }
    }
    for (const GlStateValue& old : before) {
        const std::string& name = old.name;
        if (visible && (name == "GL_DEPTH_TEST" || name == "GL_MATRIX_MODE" || name == "GL_CURRENT_COLOR" ||
                        name == "GL_CURRENT_RASTER_POSITION" || name == "GL_CURRENT_RASTER_COLOR" ||
                        name == "GL_CURRENT_RASTER_POSITION_VALID")) {
            continue;
        }
        const GlStateValue* now = find(after, name);
        if (now == nullptr || now->values != old.values) {
            problems.push_back(name + " changed from " + describe(old.values) + " to " +
                               (now ? describe(now->values) : std::string("?")));
        }
    }
    return problems;
}

namespace {

// The buffer-object entry points (OpenGL 1.5): exported natively, asked of the driver on Windows.
struct BufferFunctions {
    PFNGLGENBUFFERSPROC generate = nullptr;
    PFNGLBINDBUFFERPROC bind = nullptr;
    PFNGLBUFFERDATAPROC data = nullptr;
    PFNGLDELETEBUFFERSPROC remove = nullptr;
};

#ifdef _WIN32
template <typename Function>
void driverFunction(const char* name, Function* function) {
    // Through a generic function pointer, which every function pointer converts to and from.
    *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}
#endif

BufferFunctions bufferFunctions() {
    BufferFunctions functions;
#ifdef _WIN32
    driverFunction("glGenBuffers", &functions.generate);
    driverFunction("glBindBuffer", &functions.bind);
    driverFunction("glBufferData", &functions.data);
    driverFunction("glDeleteBuffers", &functions.remove);
#else
    functions = {glGenBuffers, glBindBuffer, glBufferData, glDeleteBuffers};
#endif
    return functions;
}

}  // namespace

unsigned bindUnpackBuffer() {
    const BufferFunctions gl = bufferFunctions();
    if (gl.generate == nullptr || gl.bind == nullptr || gl.data == nullptr || gl.remove == nullptr) return 0;
    GLuint buffer = 0;
    gl.generate(1, &buffer);
    gl.bind(GL_PIXEL_UNPACK_BUFFER, buffer);
    const std::vector<GLubyte> setBits(4096, 0xFF);
    gl.data(GL_PIXEL_UNPACK_BUFFER, static_cast<GLsizeiptr>(setBits.size()), setBits.data(), GL_STATIC_DRAW);
    return buffer;
}

unsigned unpackBufferBinding() {
    GLint buffer = 0;
    glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &buffer);
    return static_cast<unsigned>(buffer);
}

void deleteUnpackBuffer(unsigned buffer) {
    const BufferFunctions gl = bufferFunctions();
    if (gl.bind == nullptr || gl.remove == nullptr) return;
    gl.bind(GL_PIXEL_UNPACK_BUFFER, 0);
    const GLuint name = buffer;
    gl.remove(1, &name);
}

long countLiveLists() {
    // Names are never reused by Mesa, so the next free name bounds every live one.
    const GLuint probe = glGenLists(1);
    if (probe != 0) glDeleteLists(probe, 1);
    const GLuint bound = probe + 1024 > 100000 ? probe + 1024 : 100000;
    long live = 0;
    for (GLuint name = 1; name <= bound; ++name) {
        if (glIsList(name)) ++live;
    }
    return live;
}

}  // namespace standin
