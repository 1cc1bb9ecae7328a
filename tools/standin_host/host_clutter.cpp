#include "host_clutter.h"

#include <cstdint>

#include "gl_headers.h"
#include "platform_host.h"

#include <GL/glext.h>

namespace standin {

namespace {

// OpenGL beyond 1.1, from the one context the stand-in host has.
struct Procs {
    PFNGLACTIVETEXTUREPROC activeTexture;
    void(APIENTRY* clientActiveTexture)(GLenum);  // compatibility only: not in every glext.h
    PFNGLBLENDEQUATIONPROC blendEquation;
    PFNGLTEXIMAGE3DPROC texImage3D;
    PFNGLSECONDARYCOLOR3FPROC secondaryColor3f;
    PFNGLGENBUFFERSPROC genBuffers;
    PFNGLBINDBUFFERPROC bindBuffer;
    PFNGLBUFFERDATAPROC bufferData;
    PFNGLENABLEVERTEXATTRIBARRAYPROC enableVertexAttribArray;
    PFNGLDISABLEVERTEXATTRIBARRAYPROC disableVertexAttribArray;
    PFNGLVERTEXATTRIBPOINTERPROC vertexAttribPointer;
    PFNGLGETVERTEXATTRIBIVPROC getVertexAttribiv;
    PFNGLGENVERTEXARRAYSPROC genVertexArrays;
    PFNGLBINDVERTEXARRAYPROC bindVertexArray;
};

template <typename Function>
void load(Function& function, const char* name) {
    function = reinterpret_cast<Function>(glProc(name));
}

const Procs& procs() {
    static const Procs loaded = [] {
        Procs p = {};
        load(p.activeTexture, "glActiveTexture");
        load(p.clientActiveTexture, "glClientActiveTexture");
        load(p.blendEquation, "glBlendEquation");
        load(p.texImage3D, "glTexImage3D");
        load(p.secondaryColor3f, "glSecondaryColor3f");
        load(p.genBuffers, "glGenBuffers");
        load(p.bindBuffer, "glBindBuffer");
        load(p.bufferData, "glBufferData");
        load(p.enableVertexAttribArray, "glEnableVertexAttribArray");
        load(p.disableVertexAttribArray, "glDisableVertexAttribArray");
        load(p.vertexAttribPointer, "glVertexAttribPointer");
        load(p.getVertexAttribiv, "glGetVertexAttribiv");
        load(p.genVertexArrays, "glGenVertexArrays");
        load(p.bindVertexArray, "glBindVertexArray");
        return p;
    }();
    return loaded;
}

// The host's objects, made once: a 2D texture for each of units 0 and 1, a 3D texture that would
// win over any 2D one on unit 0, a buffer object and a vertex array object.
struct HostObjects {
    GLuint unit0 = 0, unit1 = 0, volume = 0, buffer = 0, vertexArray = 0;
};

// What the host's enabled arrays point at: plenty, so that a plug-in that drew from them would
// draw nonsense rather than read past the end.
float hostArray[16384];

void completeTexture(GLuint name, const GLubyte* rgba) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

const HostObjects& hostObjects() {
    static const HostObjects objects = [] {
        const Procs& p = procs();
        HostObjects made;
        glPushAttrib(GL_TEXTURE_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        static const GLubyte kMagentaGreen[16] = {255, 0, 255, 255, 0, 255, 0, 255, 0, 255, 0, 255, 255, 0, 255, 255};
        static const GLubyte kYellowBlue[16] = {255, 255, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255, 255, 255, 0, 255};
        glGenTextures(1, &made.unit0);
        completeTexture(made.unit0, kYellowBlue);
        glGenTextures(1, &made.unit1);
        completeTexture(made.unit1, kMagentaGreen);
        if (p.texImage3D != nullptr) {
            static const GLubyte kCyan[4] = {0, 255, 255, 255};
            glGenTextures(1, &made.volume);
            glBindTexture(GL_TEXTURE_3D, made.volume);
            glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            p.texImage3D(GL_TEXTURE_3D, 0, GL_RGBA, 1, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, kCyan);
        }
        glPopClientAttrib();
        glPopAttrib();
        for (float& value : hostArray) value = 0.75f;
        if (p.genBuffers != nullptr && p.bindBuffer != nullptr && p.bufferData != nullptr) {
            p.genBuffers(1, &made.buffer);
            p.bindBuffer(GL_ARRAY_BUFFER, made.buffer);
            p.bufferData(GL_ARRAY_BUFFER, 64, nullptr, GL_STATIC_DRAW);
            p.bindBuffer(GL_ARRAY_BUFFER, 0);
        }
        if (p.genVertexArrays != nullptr) p.genVertexArrays(1, &made.vertexArray);
        return made;
    }();
    return objects;
}

void selectUnit(GLenum unit) {
    if (procs().activeTexture != nullptr) procs().activeTexture(unit);
}

void selectClientUnit(GLenum unit) {
    if (procs().clientActiveTexture != nullptr) procs().clientActiveTexture(unit);
}

void add(GlState& state, const std::string& name, std::vector<double> values) {
    state.push_back({name, std::move(values)});
}

double enabled(GLenum capability) { return glIsEnabled(capability) ? 1.0 : 0.0; }

double integer(GLenum what) {
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

std::vector<double> integers(GLenum what, int count) {
    GLint values[4] = {};
    glGetIntegerv(what, values);
    return std::vector<double>(values, values + count);
}

double pointer(GLenum what) {
    GLvoid* value = nullptr;
    glGetPointerv(what, &value);
    return static_cast<double>(reinterpret_cast<std::uintptr_t>(value));
}

}  // namespace

void setClutteredState() {
    const Procs& p = procs();
    const HostObjects& objects = hostObjects();
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);

    // Unit 1 replaces every colour with its texture's; unit 0 has a 3D texture, which wins over
    // a 2D one, generated coordinates and a scaled texture matrix.
    selectUnit(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, objects.unit1);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    selectUnit(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, objects.unit0);
    glEnable(GL_TEXTURE_2D);
    if (objects.volume != 0) {
        glBindTexture(GL_TEXTURE_3D, objects.volume);
        glEnable(GL_TEXTURE_3D);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glEnable(GL_TEXTURE_GEN_S);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(3.0f, 5.0f, 1.0f);
    glMatrixMode(static_cast<GLenum>(matrixMode));
    glTexCoord4f(0.3f, 0.7f, 0.1f, 1.0f);
    selectUnit(GL_TEXTURE2);  // left active

    // Linear fog ending before it starts: the fog colour from the eye on.
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 1.0f);
    glFogf(GL_FOG_END, 0.0f);
    const GLfloat yellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    glFogfv(GL_FOG_COLOR, yellow);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ZERO);
    if (p.blendEquation != nullptr) p.blendEquation(GL_FUNC_REVERSE_SUBTRACT);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NEVER, 0.0f);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NEVER, 1, 0xFF);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_INVERT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    GLubyte stipple[128];
    for (int i = 0; i < 128; ++i) stipple[i] = (i / 4) % 2 == 0 ? 0x55 : 0xAA;
    glPolygonStipple(stipple);
    glEnable(GL_POLYGON_STIPPLE);
    const GLdouble nothing[4] = {0.0, 0.0, 0.0, -1.0};  // -w < 0: every point is cut away
    glClipPlane(GL_CLIP_PLANE0, nothing);
    glEnable(GL_CLIP_PLANE0);
    if (p.secondaryColor3f != nullptr) {
        glEnable(GL_COLOR_SUM);
        p.secondaryColor3f(1.0f, 0.0f, 0.0f);
    }

    // Arrays on, pointing into the host's memory; then an array buffer and a vertex array object
    // of the host's own bound over them.
    glVertexPointer(3, GL_FLOAT, 0, hostArray);
    glColorPointer(4, GL_FLOAT, 0, hostArray);
    glNormalPointer(GL_FLOAT, 0, hostArray);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    for (GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
        selectClientUnit(unit);
        glTexCoordPointer(2, GL_FLOAT, 0, hostArray);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (p.enableVertexAttribArray != nullptr && p.vertexAttribPointer != nullptr) {
        p.vertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, hostArray);
        p.enableVertexAttribArray(0);
    }
    if (objects.buffer != 0) p.bindBuffer(GL_ARRAY_BUFFER, objects.buffer);
    if (objects.vertexArray != 0) p.bindVertexArray(objects.vertexArray);
}

void clearClutteredState() {
    const Procs& p = procs();
    if (p.bindVertexArray != nullptr) p.bindVertexArray(0);
    if (p.bindBuffer != nullptr) p.bindBuffer(GL_ARRAY_BUFFER, 0);
    if (p.disableVertexAttribArray != nullptr) p.disableVertexAttribArray(0);
    for (GLenum unit : {GL_TEXTURE1, GL_TEXTURE0}) {
        selectClientUnit(unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    if (p.secondaryColor3f != nullptr) {
        glDisable(GL_COLOR_SUM);
        p.secondaryColor3f(0.0f, 0.0f, 0.0f);
    }
    glDisable(GL_CLIP_PLANE0);
    glDisable(GL_POLYGON_STIPPLE);
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_COPY);
    glDisable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0xFF);
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    if (p.blendEquation != nullptr) p.blendEquation(GL_FUNC_ADD);
    glDisable(GL_FOG);
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    selectUnit(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    selectUnit(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_3D);
    glDisable(GL_TEXTURE_GEN_S);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_3D, 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(static_cast<GLenum>(matrixMode));
}

void captureClutterState(GlState& state) {
    const Procs& p = procs();
    add(state, "GL_ACTIVE_TEXTURE", {integer(GL_ACTIVE_TEXTURE)});
    add(state, "GL_CLIENT_ACTIVE_TEXTURE", {integer(GL_CLIENT_ACTIVE_TEXTURE)});
    const GLint active = static_cast<GLint>(integer(GL_ACTIVE_TEXTURE));
    for (int unit = 0; unit < 4 && p.activeTexture != nullptr; ++unit) {
        const std::string name = "unit " + std::to_string(unit) + " ";
        selectUnit(GL_TEXTURE0 + static_cast<GLenum>(unit));
        add(state, name + "GL_TEXTURE_2D", {enabled(GL_TEXTURE_2D)});
        add(state, name + "GL_TEXTURE_3D", {enabled(GL_TEXTURE_3D)});
        add(state, name + "GL_TEXTURE_CUBE_MAP", {enabled(GL_TEXTURE_CUBE_MAP)});
        add(state, name + "GL_TEXTURE_GEN_S", {enabled(GL_TEXTURE_GEN_S)});
        add(state, name + "GL_TEXTURE_BINDING_2D", {integer(GL_TEXTURE_BINDING_2D)});
        add(state, name + "GL_TEXTURE_BINDING_3D", {integer(GL_TEXTURE_BINDING_3D)});
        GLint mode = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        add(state, name + "GL_TEXTURE_ENV_MODE", {static_cast<double>(mode)});
        GLfloat matrix[16] = {};
        glGetFloatv(GL_TEXTURE_MATRIX, matrix);
        add(state, name + "GL_TEXTURE_MATRIX", std::vector<double>(matrix, matrix + 16));
    }
    selectUnit(static_cast<GLenum>(active));
    GLfloat texCoord[4] = {};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    add(state, "GL_CURRENT_TEXTURE_COORDS (active unit)", std::vector<double>(texCoord, texCoord + 4));
    add(state, "GL_FOG_MODE", {integer(GL_FOG_MODE)});
    add(state, "GL_BLEND_EQUATION", {integer(GL_BLEND_EQUATION)});
    add(state, "GL_ALPHA_TEST_FUNC", {integer(GL_ALPHA_TEST_FUNC)});
    add(state, "GL_STENCIL_TEST", {enabled(GL_STENCIL_TEST)});
    add(state, "GL_STENCIL_FUNC", {integer(GL_STENCIL_FUNC)});
    add(state, "GL_COLOR_LOGIC_OP", {enabled(GL_COLOR_LOGIC_OP)});
    add(state, "GL_LOGIC_OP_MODE", {integer(GL_LOGIC_OP_MODE)});
    add(state, "GL_CULL_FACE_MODE", {integer(GL_CULL_FACE_MODE)});
    add(state, "GL_CLIP_PLANE0", {enabled(GL_CLIP_PLANE0)});
    add(state, "GL_COLOR_SUM", {enabled(GL_COLOR_SUM)});
    add(state, "GL_SCISSOR_BOX", integers(GL_SCISSOR_BOX, 4));
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    add(state, "GL_COLOR_WRITEMASK", {1.0 * mask[0], 1.0 * mask[1], 1.0 * mask[2], 1.0 * mask[3]});
    add(state, "GL_VERTEX_ARRAY_BINDING", {integer(GL_VERTEX_ARRAY_BINDING)});
    // The arrays of the default vertex array object, which the host's own hides.
    const GLint vertexArray = static_cast<GLint>(integer(GL_VERTEX_ARRAY_BINDING));
    if (vertexArray != 0) p.bindVertexArray(0);
    add(state, "GL_ARRAY_BUFFER_BINDING", {integer(GL_ARRAY_BUFFER_BINDING)});
    add(state, "GL_VERTEX_ARRAY", {enabled(GL_VERTEX_ARRAY), pointer(GL_VERTEX_ARRAY_POINTER)});
    add(state, "GL_COLOR_ARRAY", {enabled(GL_COLOR_ARRAY), pointer(GL_COLOR_ARRAY_POINTER)});
    add(state, "GL_NORMAL_ARRAY", {enabled(GL_NORMAL_ARRAY), pointer(GL_NORMAL_ARRAY_POINTER)});
    const GLint clientActive = static_cast<GLint>(integer(GL_CLIENT_ACTIVE_TEXTURE));
    for (int unit = 0; unit < 2 && p.clientActiveTexture != nullptr; ++unit) {
        selectClientUnit(GL_TEXTURE0 + static_cast<GLenum>(unit));
        add(state, "unit " + std::to_string(unit) + " GL_TEXTURE_COORD_ARRAY",
            {enabled(GL_TEXTURE_COORD_ARRAY), pointer(GL_TEXTURE_COORD_ARRAY_POINTER)});
    }
    selectClientUnit(static_cast<GLenum>(clientActive));
    if (p.getVertexAttribiv != nullptr) {
        GLint attribute = 0;
        p.getVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &attribute);
        add(state, "generic attribute array 0", {static_cast<double>(attribute)});
    }
    if (vertexArray != 0) p.bindVertexArray(static_cast<GLuint>(vertexArray));
}

long countLiveTextures() {
    // A bound beyond the next name handed out covers every live one.
    GLuint probe = 0;
    glGenTextures(1, &probe);
    if (probe != 0) glDeleteTextures(1, &probe);
    const GLuint bound = probe + 1024 > 20000 ? probe + 1024 : 20000;
    long live = 0;
    for (GLuint name = 1; name <= bound; ++name) {
        if (glIsTexture(name)) ++live;
    }
    return live;
}

}  // namespace standin
