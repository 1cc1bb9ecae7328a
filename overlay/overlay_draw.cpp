// The overlay's OpenGL: glyphs as one texture (or, where none can be made, as display lists), the
// state each frame saves, neutralises and restores, and the rows drawn as textured quads with the
// pixels the glyph lists would draw.
//
// [SECTION] GL beyond 1.1      what the frame asks of newer contexts, found at set-up
// [SECTION] Glyphs             texture or lists, made and deleted
// [SECTION] Frames             state, box, rows from the texture, rows from the lists
#include "overlay/overlay_draw.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "overlay/gl_api.h"
#include "overlay/glyph_atlas.h"
#include "platform/gl_pixel_store.h"

namespace overlay {

namespace {

// A raster move by whole pixels: a bitmap of no size, with a pointer, since Mesa drops a
// zero-size bitmap given null.
const GLubyte kNoPixels[4] = {};

// glBitmap puts a bitmap's lower left pixel at the floor of the raster position less its origin.
// Mesa adds this much first, so that a position a rounding error below a whole pixel counts as
// on it; the quads follow the same rule to land on the same pixels.
constexpr float kBitmapEpsilon = 0.0001f;

// The tests' lever for the glyph lists: a largest texture side below the context's own. 1 forces
// the lists; unset leaves the context's limit.
constexpr char kTextureLimitVariable[] = "OSTRIVANE_TEST_MAX_TEXTURE_SIZE";

// The most glyphs a row draws: its text is at most a line buffer less its terminator; and the
// room a row has: its shadow's or outline's quads, then its text's.
constexpr int kMaxRowQuads = 1023;
constexpr int kSlotQuads = 2 * kMaxRowQuads;

// ---- [SECTION] GL beyond 1.1 ---------------------------------------------------------------------

// Names of OpenGL 1.2-3.1 that the Windows gl.h (1.1) lacks.
constexpr GLenum kGlTexture0 = 0x84C0;
constexpr GLenum kGlMaxTextureUnits = 0x84E2;
constexpr GLenum kGlMaxTextureCoords = 0x8871;
constexpr GLenum kGlTexture3D = 0x806F;
constexpr GLenum kGlTextureCubeMap = 0x8513;
constexpr GLenum kGlTextureRectangle = 0x84F5;
constexpr GLenum kGlColorSum = 0x8458;
constexpr GLenum kGlSampleAlphaToCoverage = 0x809E;
constexpr GLenum kGlSecondaryColorArray = 0x845E;
constexpr GLenum kGlFogCoordArray = 0x8457;
constexpr GLenum kGlArrayBuffer = 0x8892;
constexpr GLenum kGlPixelUnpackBuffer = 0x88EC;
constexpr GLenum kGlPixelUnpackBufferBinding = 0x88EF;
constexpr GLenum kGlVertexArrayBinding = 0x85B5;
constexpr GLenum kGlFuncAdd = 0x8006;
constexpr GLenum kGlClampToEdge = 0x812F;

#if !defined(APIENTRY)
#define APIENTRY
#endif
using EnumFunction = void(APIENTRY*)(GLenum);
using BindFunction = void(APIENTRY*)(GLenum, GLuint);
using NameFunction = void(APIENTRY*)(GLuint);
using MultiDrawFunction = void(APIENTRY*)(GLenum, const GLint*, const GLsizei*, GLsizei);

// What the context offers beyond OpenGL 1.1, as far as the frame needs it. Asked for at set-up,
// in the context the glyphs are made in.
struct GlFeatures {
    int version = 11;  // major * 10 + minor
    EnumFunction activeTexture = nullptr;
    EnumFunction clientActiveTexture = nullptr;
    EnumFunction blendEquation = nullptr;
    BindFunction bindBuffer = nullptr;
    NameFunction bindVertexArray = nullptr;
    NameFunction disableVertexAttribArray = nullptr;
    MultiDrawFunction multiDrawArrays = nullptr;
    int textureUnits = 1;   // units with texturing enables
    int textureCoords = 1;  // units with texture coordinate arrays
    int clipPlanes = 0;
    bool rectangleTextures = false;
    int viewportSide = 4096;  // a power of two no larger than the largest viewport

    void find() {
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
                glGetIntegerv(kGlMaxTextureUnits, &units);
                textureUnits = units > 1 ? units : 1;
                textureCoords = textureUnits;
                if (version >= 20) {
                    glGetIntegerv(kGlMaxTextureCoords, &units);
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

    void selectUnit(int unit) const {
        if (activeTexture != nullptr) activeTexture(kGlTexture0 + static_cast<GLenum>(unit));
    }
    void selectClientUnit(int unit) const {
        if (clientActiveTexture != nullptr) clientActiveTexture(kGlTexture0 + static_cast<GLenum>(unit));
    }
};

// ---- Display lists --------------------------------------------------------------------------------

std::uint32_t buildListBlock(void* drawingContext, const char* face, int pixelHeight, platform::GlyphShape shape,
                             platform::GlyphMetrics* metrics) {
    const GLuint base = glGenLists(kGlyphBlockSize);
    if (base == 0) return 0;
    // Control bytes name empty lists of the block: they draw nothing and move nothing.
    for (int code = 0; code < kFirstGlyphChar; ++code) {
        glNewList(base + static_cast<GLuint>(code), GL_COMPILE);
        glEndList();
    }
    platform::buildGlyphLists(drawingContext, face, pixelHeight, base + static_cast<GLuint>(kFirstGlyphChar),
                              kFirstGlyphChar, kGlyphCount, shape, metrics);
    return base;
}

class OpenGlGraphics final : public Graphics {
public:
    void* currentContext() override { return platform::currentDrawingContext(); }

    // ---- [SECTION] Glyphs -------------------------------------------------------------------------

    GlyphBlocks buildGlyphs(void* drawingContext, const char* face, int pixelHeight, const GlyphStyle& style,
                            platform::GlyphMetrics* metrics) override {
        features.find();
        GlyphBlocks glyphs;
        glyphs.texture = buildTexture(drawingContext, face, pixelHeight, style, metrics);
        if (glyphs.texture != 0) return glyphs;
        glyphs.glyphs = buildListBlock(drawingContext, face, pixelHeight, platform::GlyphShape::Plain, metrics);
        if (style.outline && glyphs.glyphs != 0) {
            glyphs.outline = buildListBlock(drawingContext, face, pixelHeight, platform::GlyphShape::Dilated, nullptr);
        }
        return glyphs;
    }

    void deleteGlyphs(const GlyphBlocks& glyphs) override {
        if (glyphs.texture != 0 && glyphs.texture == texture) forgetTexture();
        // Without a current context there is nothing to delete them from.
        if (platform::currentDrawingContext() == nullptr) return;
        if (glyphs.texture != 0) {
            const GLuint name = glyphs.texture;
            glDeleteTextures(1, &name);
        }
        if (glyphs.glyphs != 0) glDeleteLists(glyphs.glyphs, kGlyphBlockSize);
        if (glyphs.outline != 0) glDeleteLists(glyphs.outline, kGlyphBlockSize);
    }

    // ---- [SECTION] Frames -------------------------------------------------------------------------

    Viewport beginFrame(const TextLook& textLook) override {
        look = textLook;
        rowCount = 0;
        lightingWasOn = glIsEnabled(GL_LIGHTING);
        glDisable(GL_LIGHTING);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        loadOverlaySpace();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        // Whatever the host left on that would change the text, the shadow or the box goes back
        // with the pop at the end of the frame. The scissor test and the colour mask are the
        // host's to set: they apply to the overlay too.
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT |
                     GL_LIST_BIT | GL_SCISSOR_BIT);
        // Mesa's pop leaves the colour sum off whatever it was: it is saved by hand.
        colourSumWasOn = features.version >= 14 && glIsEnabled(kGlColorSum);
        neutraliseHostState();
        glColor3f(look.colour[0], look.colour[1], look.colour[2]);
        GLint box[4] = {0, 0, 640, 480};
        glGetIntegerv(GL_VIEWPORT, box);
        view = {box[0], box[1], box[2] > 0 ? box[2] : 1, box[3] > 0 ? box[3] : 1};
        if (look.clipToViewport) clipToView();
        return view;
    }

    void drawBox(const float colour[3], float alpha, int left, int bottom, int right, int top) override {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(colour[0], colour[1], colour[2], alpha);
        // Window pixels into the overlay space; the edges fall between pixel centres.
        const auto overlayX = [&](int x) {
            return static_cast<GLfloat>((x - view.x) * static_cast<double>(config::kScreenWidth) / view.width);
        };
        const auto overlayY = [&](int y) {
            return static_cast<GLfloat>((y - view.y) * static_cast<double>(config::kScreenHeight) / view.height);
        };
        glRectf(overlayX(left), overlayY(bottom), overlayX(right), overlayY(top));
        glDisable(GL_BLEND);
    }

    bool startsInView(const LinePlace& place) override {
        if (!config::onScreen(place)) return false;
        glRasterPos2f(place.x, place.y);
        GLint valid = GL_FALSE;
        glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
        return valid == GL_TRUE;
    }

    void drawRow(const GlyphBlocks& glyphs, const RowText& row) override {
        // Drawn at the end of the frame, all together: the texture's rows share one set-up.
        if (rowCount >= kRowSlots || row.slot < 0 || row.slot >= kRowSlots) return;
        frameGlyphs = glyphs;
        rows[rowCount++] = row;
    }

    void endFrame() override {
        if (rowCount > 0) {
            if (frameGlyphs.texture != 0 && frameGlyphs.texture == texture) {
                drawRowsFromTexture();
            } else {
                drawRowsFromLists();
            }
        }
        glPopAttrib();
        if (colourSumWasOn) glEnable(kGlColorSum);
        // The host draws on after us expecting the depth test on and the projection matrix
        // selected, whatever it had before the frame.
        glEnable(GL_DEPTH_TEST);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        if (lightingWasOn) glEnable(GL_LIGHTING);
    }

private:
    // Cuts what the frame draws at the viewport's edges, inside the host's scissor if it set one.
    void clipToView() {
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

    // What is kept of each slot's row: where its raster position falls, and its quads.
    struct Slot {
        bool placed = false;     // x, y, view and the raster position below belong together
        float x = 0.0f, y = 0.0f;
        Viewport view;
        bool valid = false;      // the raster position is valid
        float rasterX = 0.0f, rasterY = 0.0f;
        bool built = false;      // the quads belong to `revision` of `generation`, at the pen
        std::uint32_t revision = 0;  // pixel (penX, penY), in the colours of `look`
        std::uint32_t generation = 0;
        int penX = 0, penY = 0;
        std::uint8_t colours[2][4] = {};
        Shadow shadow = Shadow::None;
        int quads = 0;               // the shadow's or outline's, then the text's
    };

    static void loadOverlaySpace() {
        glLoadIdentity();
        glOrtho(0.0, config::kScreenWidth, 0.0, config::kScreenHeight, -1.0, 1.0);
    }

    // ---- Glyph texture ----

    std::uint32_t buildTexture(void* drawingContext, const char* face, int pixelHeight, const GlyphStyle& style,
                               platform::GlyphMetrics* metrics) {
        forgetTexture();  // its glyph table is about to be overwritten
        GLint limit = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
        const long testLimit = platform::environmentNumber(kTextureLimitVariable);
        if (testLimit >= 0 && testLimit < limit) limit = static_cast<GLint>(testLimit);
        atlas.begin(style.outline);
        const platform::GlyphRendering rendering =
            style.smooth ? platform::GlyphRendering::Coverage : platform::GlyphRendering::Bitmap;
        platform::GlyphMetrics measured = {};
        if (!platform::renderGlyphs(drawingContext, face, pixelHeight, kFirstGlyphChar, kGlyphCount, rendering, atlas,
                                    &measured) ||
            !atlas.pack(limit)) {
            atlas.releasePixels();
            return 0;
        }
        const GLuint name = uploadAtlas();
        atlas.releasePixels();
        if (name == 0) return 0;
        // Room for the quads of every slot, made only when the row's text or place changes.
        const std::size_t vertices = static_cast<std::size_t>(kRowSlots) * kSlotQuads * kQuadVertices;
        std::free(quadStore);
        quadStore = static_cast<QuadVertex*>(std::malloc(vertices * sizeof(QuadVertex)));
        if (quadStore == nullptr) {
            glDeleteTextures(1, &name);
            return 0;
        }
        if (metrics != nullptr) *metrics = measured;
        texture = name;
        smooth = style.smooth;
        textureWidth = atlas.imageWidth();
        textureHeight = atlas.imageHeight();
        ++generation;
        return name;
    }

    // The packed glyphs as a texture of the context; 0 when it cannot hold them. The host's
    // texture binding, unpack and transfer state come back as they were.
    GLuint uploadAtlas() {
        const GLsizei width = atlas.imageWidth();
        const GLsizei height = atlas.imageHeight();
        glPushAttrib(GL_TEXTURE_BIT | GL_PIXEL_MODE_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        features.selectUnit(0);
        if (features.bindBuffer != nullptr && features.version >= 21) {
            GLint unpackBuffer = 0;
            glGetIntegerv(kGlPixelUnpackBufferBinding, &unpackBuffer);
            if (unpackBuffer != 0) features.bindBuffer(kGlPixelUnpackBuffer, 0);
        }
        platform::unpackBytesAsTheyAre();
        glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
        glPixelTransferf(GL_ALPHA_SCALE, 1.0f);
        glPixelTransferf(GL_ALPHA_BIAS, 0.0f);
        // A texture the context cannot hold is turned away by its proxy, and one it failed to
        // store has no width: both without reading the error flag, which is the host's.
        GLint fits = 0;
        glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_ALPHA8, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, nullptr);
        glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &fits);
        GLuint name = 0;
        if (fits == width) glGenTextures(1, &name);
        if (name != 0) {
            glBindTexture(GL_TEXTURE_2D, name);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            const GLint wrap = features.version >= 12 ? static_cast<GLint>(kGlClampToEdge) : GL_CLAMP;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, atlas.image());
            GLint stored = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &stored);
            if (stored != width) {
                glDeleteTextures(1, &name);
                name = 0;
            }
        }
        glPopClientAttrib();
        glPopAttrib();
        return name;
    }

    void forgetTexture() {
        texture = 0;
        std::free(quadStore);
        quadStore = nullptr;
        for (Slot& slot : slots) slot = Slot();
    }

    // ---- Host state ----

    // Turns off what the host may have left on that changes text drawn as bitmaps or as quads:
    // texturing on every unit, texture coordinate generation, fog, blending, the alpha, stencil
    // and depth tests, a colour logic op, user clip planes, culling, stipple, polygon smoothing
    // and a polygon mode other than fill. All of it is in the groups beginFrame pushed.
    void neutraliseHostState() const {
        static const GLenum kOff[] = {GL_DEPTH_TEST,   GL_FOG,           GL_BLEND,          GL_ALPHA_TEST,
                                      GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_CULL_FACE,      GL_POLYGON_STIPPLE,
                                      GL_POLYGON_SMOOTH};
        for (GLenum capability : kOff) glDisable(capability);
        for (int plane = 0; plane < features.clipPlanes; ++plane) glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(plane));
        if (features.version >= 13) glDisable(kGlSampleAlphaToCoverage);
        if (features.version >= 14) glDisable(kGlColorSum);
        for (int unit = features.textureUnits - 1; unit >= 0; --unit) {
            features.selectUnit(unit);
            glDisable(GL_TEXTURE_1D);
            glDisable(GL_TEXTURE_2D);
            if (features.version >= 12) glDisable(kGlTexture3D);
            if (features.version >= 13) glDisable(kGlTextureCubeMap);
            if (features.rectangleTextures) glDisable(kGlTextureRectangle);
        }
        // Unit 0 stays active: the texture path draws with it.
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
        glDisable(GL_TEXTURE_GEN_Q);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        if (features.blendEquation != nullptr) features.blendEquation(kGlFuncAdd);
    }

    // ---- Rows from the glyph lists ----

    void drawListPass(std::uint32_t firstList, const RowText& row, int dx, int dy, const float colour[3]) {
        glColor3f(colour[0], colour[1], colour[2]);
        glRasterPos2f(row.place.x, row.place.y);
        if (row.place.dx + dx != 0 || row.place.dy + dy != 0) {
            glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(row.place.dx + dx), static_cast<GLfloat>(row.place.dy + dy),
                     kNoPixels);
        }
        if (row.text == nullptr || firstList == 0) return;
        glListBase(firstList);
        glCallLists(static_cast<GLsizei>(std::strlen(row.text)), GL_UNSIGNED_BYTE, row.text);
    }

    void drawRowsFromLists() {
        for (int index = 0; index < rowCount; ++index) {
            const RowText& row = rows[index];
            if (look.shadow == Shadow::Drop) {
                drawListPass(frameGlyphs.glyphs, row, 1, -1, look.shadowColour);
            } else if (look.shadow == Shadow::Outline && frameGlyphs.outline != 0) {
                drawListPass(frameGlyphs.outline, row, 0, 0, look.shadowColour);
            }
            drawListPass(frameGlyphs.glyphs, row, 0, 0, look.colour);
        }
    }

    // ---- Rows from the texture ----

    QuadVertex* quadsOf(int slot) const {
        return quadStore + static_cast<std::size_t>(slot) * kSlotQuads * kQuadVertices;
    }

    // Where the row's raster position falls, asked of GL itself (with the overlay space and the
    // host's viewport in force) whenever the row's point or the viewport changed: what is valid
    // at the edges of the space, and the window position to the last bit, are the context's own.
    void placeRow(Slot& slot, const RowText& row) {
        if (slot.placed && slot.x == row.place.x && slot.y == row.place.y && slot.view.x == view.x &&
            slot.view.y == view.y && slot.view.width == view.width && slot.view.height == view.height) {
            return;
        }
        glRasterPos2f(row.place.x, row.place.y);
        GLboolean valid = GL_FALSE;
        glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
        GLfloat position[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        slot.placed = true;
        slot.x = row.place.x;
        slot.y = row.place.y;
        slot.view = view;
        slot.valid = valid != GL_FALSE;
        slot.rasterX = position[0];
        slot.rasterY = position[1];
    }

    static void colourBytes(const float colour[3], std::uint8_t out[4]) {
        for (int c = 0; c < 3; ++c) {
            const float value = colour[c] < 0.0f ? 0.0f : colour[c] > 1.0f ? 1.0f : colour[c];
            out[c] = static_cast<std::uint8_t>(value * 255.0f + 0.5f);
        }
        out[3] = 255;
    }

    // The row's quads with its pen at window pixel (penX, penY): its drop shadow (the text a
    // pixel right and down) or outline, then its text, in the frame's colours.
    void buildRowQuads(Slot& slot, const RowText& row, int penX, int penY) {
        std::uint8_t colours[2][4];
        colourBytes(look.shadowColour, colours[0]);
        colourBytes(look.colour, colours[1]);
        if (slot.built && slot.revision == row.revision && slot.generation == generation && slot.penX == penX &&
            slot.penY == penY && slot.shadow == look.shadow && std::memcmp(slot.colours, colours, sizeof colours) == 0) {
            return;
        }
        const char* text = row.text != nullptr ? row.text : "";
        QuadVertex* quads = quadsOf(row.slot);
        std::int32_t advance = 0;
        int count = 0;
        if (look.shadow == Shadow::Drop) {
            count = atlas.lineQuads(GlyphSet::Plain, text, penX + 1, penY - 1, colours[0], quads, kMaxRowQuads, &advance);
        } else if (look.shadow == Shadow::Outline) {
            count = atlas.lineQuads(GlyphSet::Outline, text, penX, penY, colours[0], quads, kMaxRowQuads, &advance);
        }
        count += atlas.lineQuads(GlyphSet::Plain, text, penX, penY, colours[1],
                                 quads + static_cast<std::size_t>(count) * kQuadVertices, kMaxRowQuads, &advance);
        slot.built = true;
        slot.revision = row.revision;
        slot.generation = generation;
        slot.penX = penX;
        slot.penY = penY;
        slot.shadow = look.shadow;
        std::memcpy(slot.colours, colours, sizeof colours);
        slot.quads = count;
    }

    void drawRowsFromTexture() {
        // Each row's pen where its bitmaps would start, and its quads; one range of the store a
        // row, in the rows' order, for one draw.
        GLint firsts[kRowSlots];
        GLsizei counts[kRowSlots];
        GLsizei ranges = 0;
        for (int index = 0; index < rowCount; ++index) {
            const RowText& row = rows[index];
            Slot& slot = slots[row.slot];
            placeRow(slot, row);
            if (!slot.valid) continue;  // as GL draws no bitmap at an invalid raster position
            const float penX = std::floor(slot.rasterX + static_cast<float>(row.place.dx) + kBitmapEpsilon);
            const float penY = std::floor(slot.rasterY + static_cast<float>(row.place.dy) + kBitmapEpsilon);
            buildRowQuads(slot, row, static_cast<int>(penX), static_cast<int>(penY));
            if (slot.quads == 0) continue;
            firsts[ranges] = static_cast<GLint>(quadsOf(row.slot) - quadStore);
            counts[ranges] = slot.quads * kQuadVertices;
            ++ranges;
        }

        // Window pixels, one unit each, over a viewport from the window's corner larger than any
        // window: quads are cut by the window's edges, as bitmaps are, not by the host's viewport.
        const GLfloat side = static_cast<GLfloat>(features.viewportSide);
        glViewport(0, 0, features.viewportSide, features.viewportSide);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, side, 0.0, side, -1.0, 1.0);
        // The unit's current texture coordinate is left undefined by arrays: it is put back.
        GLfloat texCoord[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
        glMatrixMode(GL_TEXTURE);
        glPushMatrix();
        glLoadIdentity();
        glScalef(1.0f / static_cast<GLfloat>(textureWidth), 1.0f / static_cast<GLfloat>(textureHeight), 1.0f);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        // Texels without ink draw nothing; 1-bit glyphs replace the picture's pixels as bitmaps
        // do, antialiased ones are blended over it with their coverage.
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
        if (smooth) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        const GLint hostVertexArray = enterClientArrays();

        // Quads are drawn in order, so each row's shadow or outline comes before its text, and
        // its text before the next row's shadow.
        if (features.multiDrawArrays != nullptr) {
            if (ranges > 0) features.multiDrawArrays(GL_QUADS, firsts, counts, ranges);
        } else {
            for (GLsizei range = 0; range < ranges; ++range) glDrawArrays(GL_QUADS, firsts[range], counts[range]);
        }

        leaveClientArrays(hostVertexArray);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_TEXTURE_2D);
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
        glTexCoord4fv(texCoord);
        glMatrixMode(GL_PROJECTION);
        loadOverlaySpace();
        glMatrixMode(GL_MODELVIEW);
        glViewport(view.x, view.y, view.width, view.height);

        // The colour and raster position the glyph lists leave: the last row's text pass.
        const RowText& last = rows[rowCount - 1];
        glColor3f(look.colour[0], look.colour[1], look.colour[2]);
        glRasterPos2f(last.place.x, last.place.y);
        if (last.place.dx != 0 || last.place.dy != 0) {
            glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(last.place.dx), static_cast<GLfloat>(last.place.dy), kNoPixels);
        }
        const Slot& lastSlot = slots[last.slot];
        if (lastSlot.valid && last.text != nullptr) {
            const volatile float x = lastSlot.rasterX + static_cast<float>(last.place.dx);  // as GL added it
            moveAlongText(x, last.text);
        }
    }

    // Moves the raster position from `x` (where GL holds it) along `text` the way the glyph lists
    // do, one glyph's advance after another. GL adds each move in single precision, so moves are
    // joined only while every sum on the way is exact: the position ends on the same bits.
    void moveAlongText(float x, const char* text) const {
        std::int32_t joined = 0;
        float at = x;
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
            const std::int32_t advance = atlas.glyph(GlyphSet::Plain, *p).advance;
            if (advance == 0) continue;
            const double exact = static_cast<double>(at) + advance;
            // Through memory: x87 arithmetic would otherwise keep the extra precision.
            const volatile float rounded = static_cast<float>(exact);
            if (static_cast<double>(rounded) != exact) {
                // This move rounds: the joined ones first, then this one by itself.
                if (joined != 0) glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(joined), 0.0f, kNoPixels);
                glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(advance), 0.0f, kNoPixels);
                joined = 0;
            } else {
                joined += advance;
            }
            at = rounded;
        }
        if (joined != 0) glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(joined), 0.0f, kNoPixels);
    }

    // Our arrays, and no other: the host's are saved with its client state, and the vertex
    // array object and array buffer it may have bound are set aside. Answers the host's vertex
    // array object, bound again by leaveClientArrays.
    GLint enterClientArrays() const {
        GLint hostVertexArray = 0;
        if (features.bindVertexArray != nullptr) {
            glGetIntegerv(kGlVertexArrayBinding, &hostVertexArray);
            if (hostVertexArray != 0) features.bindVertexArray(0);
        }
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
        if (features.bindBuffer != nullptr) features.bindBuffer(kGlArrayBuffer, 0);
        if (features.disableVertexAttribArray != nullptr) features.disableVertexAttribArray(0);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_INDEX_ARRAY);
        glDisableClientState(GL_EDGE_FLAG_ARRAY);
        if (features.version >= 14) {
            glDisableClientState(kGlSecondaryColorArray);
            glDisableClientState(kGlFogCoordArray);
        }
        for (int unit = features.textureCoords - 1; unit >= 0; --unit) {
            features.selectClientUnit(unit);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(2, GL_SHORT, sizeof(QuadVertex), &quadStore[0].x);
        glTexCoordPointer(2, GL_SHORT, sizeof(QuadVertex), &quadStore[0].s);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(QuadVertex), quadStore[0].colour);
        return hostVertexArray;
    }

    void leaveClientArrays(GLint hostVertexArray) const {
        glPopClientAttrib();
        if (hostVertexArray != 0) features.bindVertexArray(static_cast<GLuint>(hostVertexArray));
    }

    GlFeatures features;

    // The glyph texture: its name (0: none), how it was made, and its glyphs' places in it.
    GLuint texture = 0;
    bool smooth = false;
    int textureWidth = 1, textureHeight = 1;
    std::uint32_t generation = 0;  // counts textures made, so that old quads are never drawn
    GlyphAtlas atlas;
    QuadVertex* quadStore = nullptr;  // kSlotQuads quads for each slot
    Slot slots[kRowSlots];

    // What a frame keeps between its calls.
    GLboolean lightingWasOn = GL_FALSE;
    bool colourSumWasOn = false;
    TextLook look = {};
    Viewport view;
    GlyphBlocks frameGlyphs;
    RowText rows[kRowSlots] = {};
    int rowCount = 0;
};

OpenGlGraphics openGl;

}  // namespace

Graphics& openGlGraphics() { return openGl; }

}  // namespace overlay
