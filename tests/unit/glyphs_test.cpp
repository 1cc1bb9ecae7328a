// Glyph lists of the portable platform, drawn in an offscreen OSMesa context and checked against
// what FreeType itself renders for the same font, size and character.
#define GL_GLEXT_PROTOTYPES 1
#include "platform/platform.h"
#include "platform/windows_1252.h"

#include <GL/gl.h>
#include <GL/osmesa.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 64;
constexpr int kPixelHeight = 18;

// A 1-bit image of the framebuffer, indexed [y * kWidth + x] with y = 0 at the bottom.
using Image = std::vector<bool>;

int countSet(const Image& image) {
    int n = 0;
    for (bool b : image) n += b ? 1 : 0;
    return n;
}

// Reference rendering straight from FreeType, for the font fontconfig gives a family name.
class Reference {
public:
    explicit Reference(const char* family, int pixelHeight) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (match == nullptr) return;
        FcChar8* file = nullptr;
        FcChar8* matchedFamily = nullptr;
        int index = 0;
        FcPatternGetString(match, FC_FILE, 0, &file);
        FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily);
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        if (matchedFamily != nullptr) fontFamily = reinterpret_cast<const char*>(matchedFamily);
        std::string path = file != nullptr ? reinterpret_cast<const char*>(file) : "";
        FcPatternDestroy(match);
        if (path.empty() || FT_Init_FreeType(&ftLibrary) != 0) return;
        if (FT_New_Face(ftLibrary, path.c_str(), index, &ftFace) != 0) {
            ftFace = nullptr;
            return;
        }
        FT_Set_Pixel_Sizes(ftFace, 0, static_cast<FT_UInt>(pixelHeight));
    }
    ~Reference() {
        if (ftLibrary != nullptr) FT_Done_FreeType(ftLibrary);
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    bool ok() const { return ftFace != nullptr; }
    const std::string& family() const { return fontFamily; }
    FT_UInt glyphOf(FT_ULong codePoint) const { return FT_Get_Char_Index(ftFace, codePoint); }

    // Draws glyphs into `image` with the pen starting at (x, y) on the baseline; returns the pen's
    // final x.
    int draw(const std::vector<FT_UInt>& glyphs, int x, int y, Image* image) const {
        for (FT_UInt glyph : glyphs) {
            EXPECT_EQ(FT_Load_Glyph(ftFace, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO), 0);
            const FT_GlyphSlot slot = ftFace->glyph;
            const FT_Bitmap& bitmap = slot->bitmap;
            EXPECT_EQ(bitmap.pixel_mode, FT_PIXEL_MODE_MONO);
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                for (unsigned col = 0; col < bitmap.width; ++col) {
                    const unsigned char byte = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col / 8];
                    if ((byte & (0x80u >> (col % 8))) == 0) continue;
                    const int px = x + slot->bitmap_left + static_cast<int>(col);
                    const int py = y + slot->bitmap_top - 1 - static_cast<int>(row);
                    if (px >= 0 && px < kWidth && py >= 0 && py < kHeight) {
                        (*image)[static_cast<std::size_t>(py * kWidth + px)] = true;
                    }
                }
            }
            x += static_cast<int>((slot->advance.x + 32) >> 6);
        }
        return x;
    }

    std::vector<FT_UInt> glyphsOf(const std::u32string& text) const {
        std::vector<FT_UInt> glyphs;
        for (char32_t c : text) glyphs.push_back(glyphOf(c));
        return glyphs;
    }

private:
    FT_Library ftLibrary = nullptr;
    FT_Face ftFace = nullptr;
    std::string fontFamily;
};

// The Windows-1252 characters firstChar onwards, as the glyph lists take them: their code points
// (a byte the code page leaves undefined as itself), lists at firstList onwards.
std::vector<std::uint32_t> windows1252(int firstChar, int count) {
    std::vector<std::uint32_t> characters;
    for (int i = 0; i < count; ++i) {
        const int byte = firstChar + i;
        const std::uint16_t code = byte >= 0 && byte < 256 ? platform::windows1252ToUnicode(static_cast<unsigned char>(byte)) : 0;
        characters.push_back(code != 0 ? code : static_cast<std::uint32_t>(byte));
    }
    return characters;
}

bool byteLists(void* dc, const char* face, int pixelHeight, GLuint firstList, int firstChar, int count,
               platform::GlyphShape shape = platform::GlyphShape::Plain, platform::GlyphMetrics* metrics = nullptr) {
    if (count < 0) return false;
    const std::vector<std::uint32_t> characters = windows1252(firstChar, count);
    return platform::buildGlyphLists(dc, platform::FontRequest{face, nullptr, pixelHeight}, characters.data(), count,
                                     firstList, shape, metrics);
}

TEST(Glyphs, NoDrawingContextWithoutCurrentContext) {
    EXPECT_EQ(platform::currentDrawingContext(), nullptr);
    int dummy = 0;
    EXPECT_FALSE(byteLists(&dummy, "Liberation Sans", kPixelHeight, 1, 0, 256));
}

class GlyphsTest : public ::testing::Test {
protected:
    void SetUp() override {
        osmesaContext = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
        ASSERT_NE(osmesaContext, nullptr);
        pixels.assign(static_cast<std::size_t>(kWidth * kHeight * 4), 0);
        ASSERT_TRUE(OSMesaMakeCurrent(osmesaContext, pixels.data(), GL_UNSIGNED_BYTE, kWidth, kHeight));
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, 0, kHeight, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        listBase = glGenLists(256);
        ASSERT_NE(listBase, 0u);
    }

    void TearDown() override {
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        OSMesaDestroyContext(osmesaContext);
    }

    bool build(const char* face, int pixelHeight = kPixelHeight) {
        return byteLists(platform::currentDrawingContext(), face, pixelHeight, listBase, 0, 256);
    }

    // Draws 1252-encoded text from (x, y) with the lists at `base`; returns the raster x after it.
    float drawText(const std::string& text, int x, int y, GLuint base) {
        glRasterPos2i(x, y);
        glListBase(base);
        glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
        GLfloat raster[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
        return raster[0];
    }
    float drawText(const std::string& text, int x = 10, int y = 20) { return drawText(text, x, y, listBase); }

    Image readBack() {
        std::vector<unsigned char> rgba(static_cast<std::size_t>(kWidth * kHeight * 4));
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        Image image(static_cast<std::size_t>(kWidth * kHeight));
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = rgba[i * 4] > 127;
        return image;
    }

    static Image blank() { return Image(static_cast<std::size_t>(kWidth * kHeight)); }

    OSMesaContext osmesaContext = nullptr;
    std::vector<unsigned char> pixels;
    GLuint listBase = 0;
};

TEST_F(GlyphsTest, DrawingContextIsTheCurrentContext) {
    EXPECT_NE(platform::currentDrawingContext(), nullptr);
    EXPECT_EQ(platform::currentDrawingContext(), static_cast<void*>(osmesaContext));
}

TEST_F(GlyphsTest, DrawsTextLikeFreeType) {
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    ASSERT_TRUE(build("Liberation Sans"));
    const float endX = drawText("Hi", 10, 20);
    const Image actual = readBack();

    Image expected = blank();
    const int expectedEnd = ref.draw(ref.glyphsOf(U"Hi"), 10, 20, &expected);
    EXPECT_EQ(endX, static_cast<float>(expectedEnd));
    EXPECT_GT(countSet(actual), 0);
    EXPECT_EQ(actual, expected);

    // Nothing outside the text's box: from the raster position up, no further than its advance.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!actual[static_cast<std::size_t>(y * kWidth + x)]) continue;
            EXPECT_GE(x, 10);
            EXPECT_LT(x, expectedEnd);
            EXPECT_GE(y, 20);
            EXPECT_LT(y, 20 + kPixelHeight);
        }
    }
}

TEST_F(GlyphsTest, MatchesFreeTypeAtSeveralSizes) {
    for (int size : {9, 12, 18, 30}) {
        SCOPED_TRACE(size);
        Reference ref("Liberation Sans", size);
        ASSERT_TRUE(ref.ok());
        ASSERT_TRUE(build("Liberation Sans", size));
        glClear(GL_COLOR_BUFFER_BIT);
        const float endX = drawText("Hg&Q,y", 5, 16);
        Image expected = blank();
        EXPECT_EQ(endX, static_cast<float>(ref.draw(ref.glyphsOf(U"Hg&Q,y"), 5, 16, &expected)));
        EXPECT_EQ(readBack(), expected);
    }
}

TEST_F(GlyphsTest, StringAdvanceIsTheSumOfFreeTypeAdvances) {
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    ASSERT_TRUE(build("Liberation Sans"));
    const std::u32string text = U"Frame 42: 12.5 ms, WWii";
    Image scratch = blank();
    const int sum = ref.draw(ref.glyphsOf(text), 0, 0, &scratch);
    const std::string bytes(text.begin(), text.end());
    EXPECT_EQ(drawText(bytes, 3, 30), static_cast<float>(3 + sum));
}

TEST_F(GlyphsTest, SpaceMovesWithoutDrawing) {
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    ASSERT_TRUE(build("Liberation Sans"));
    Image scratch = blank();
    const int advance = ref.draw({ref.glyphOf(U' ')}, 0, 0, &scratch);
    EXPECT_GT(advance, 0);
    EXPECT_EQ(drawText("   ", 10, 20), static_cast<float>(10 + 3 * advance));
    EXPECT_EQ(countSet(readBack()), 0);
}

TEST_F(GlyphsTest, LeavesTheHostsPixelStoreState) {
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 3);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 1);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 2);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_TRUE);
    ASSERT_TRUE(build("Liberation Sans"));
    GLint value = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 8);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &value);
    EXPECT_EQ(value, 3);
    glGetIntegerv(GL_UNPACK_SKIP_ROWS, &value);
    EXPECT_EQ(value, 1);
    glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &value);
    EXPECT_EQ(value, 2);
    glGetIntegerv(GL_UNPACK_LSB_FIRST, &value);
    EXPECT_EQ(value, GL_TRUE);

    // The lists were unpacked with the layout of the glyph data, not with the state above.
    drawText("Hi", 10, 20);
    Image expected = blank();
    ref.draw(ref.glyphsOf(U"Hi"), 10, 20, &expected);
    EXPECT_EQ(readBack(), expected);
}

TEST_F(GlyphsTest, IgnoresAndKeepsABoundUnpackBuffer) {
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer);
    std::vector<unsigned char> junk(4096, 0xFF);
    glBufferData(GL_PIXEL_UNPACK_BUFFER, static_cast<GLsizeiptr>(junk.size()), junk.data(), GL_STATIC_DRAW);
    ASSERT_TRUE(build("Liberation Sans"));
    GLint bound = 0;
    glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(buffer));
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glDeleteBuffers(1, &buffer);

    drawText("Hi", 10, 20);
    Image expected = blank();
    ref.draw(ref.glyphsOf(U"Hi"), 10, 20, &expected);
    EXPECT_EQ(readBack(), expected);
}

TEST_F(GlyphsTest, BuildingRaisesNoGlError) {
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ASSERT_TRUE(build("Liberation Sans"));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlyphsTest, ArialResolvesToAFontWithArialMetrics) {
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    ASSERT_TRUE(build("Arial"));
    const GLuint arial = listBase;
    const GLuint liberation = glGenLists(256);
    ASSERT_NE(liberation, 0u);
    ASSERT_TRUE(byteLists(platform::currentDrawingContext(), "Liberation Sans", kPixelHeight, liberation, 0, 256));
    Image scratch = blank();
    const int advanceW = ref.draw({ref.glyphOf(U'W')}, 0, 0, &scratch);
    EXPECT_EQ(drawText("W", 10, 20, arial), static_cast<float>(10 + advanceW));
    EXPECT_EQ(drawText("W", 10, 20, liberation), static_cast<float>(10 + advanceW));

    // The same shapes too, across a whole line.
    const std::string line = "Arial WAVE 0123456789";
    glClear(GL_COLOR_BUFFER_BIT);
    drawText(line, 4, 20, arial);
    const Image fromArial = readBack();
    glClear(GL_COLOR_BUFFER_BIT);
    drawText(line, 4, 20, liberation);
    EXPECT_EQ(fromArial, readBack());
    EXPECT_GT(countSet(fromArial), 0);
}

TEST_F(GlyphsTest, HighCharactersAreWindows1252) {
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    ASSERT_TRUE(build("Liberation Sans"));
    struct Case {
        unsigned char code;
        char32_t unicode;
    };
    const Case cases[] = {{0xE9, U'\u00E9'}, {0xC5, U'\u00C5'}, {0xFF, U'\u00FF'}, {0x80, U'\u20AC'},
                          {0x93, U'\u201C'}, {0x96, U'\u2013'}, {0x99, U'\u2122'}, {0x9F, U'\u0178'},
                          {0x8A, U'\u0160'}, {0xB0, U'\u00B0'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        ASSERT_NE(ref.glyphOf(c.unicode), 0u);
        glClear(GL_COLOR_BUFFER_BIT);
        const float endX = drawText(std::string(1, static_cast<char>(c.code)), 10, 20);
        const Image actual = readBack();
        Image expected = blank();
        EXPECT_EQ(endX, static_cast<float>(ref.draw({ref.glyphOf(c.unicode)}, 10, 20, &expected)));
        EXPECT_GT(countSet(actual), 0);
        EXPECT_EQ(actual, expected);
    }
}

TEST_F(GlyphsTest, UndefinedCodesDrawTheMissingGlyph) {
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    ASSERT_TRUE(build("Liberation Sans"));
    for (int code : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        SCOPED_TRACE(code);
        glClear(GL_COLOR_BUFFER_BIT);
        const float endX = drawText(std::string(1, static_cast<char>(code)), 10, 20);
        Image expected = blank();
        EXPECT_EQ(endX, static_cast<float>(ref.draw({0u}, 10, 20, &expected)));
        EXPECT_EQ(readBack(), expected);
    }
}

TEST_F(GlyphsTest, UnknownFaceFallsBackToSomeFont) {
    ASSERT_TRUE(build("Ostrivane No Such Face"));
    const float endX = drawText("Hi", 10, 20);
    EXPECT_GT(endX, 10.0f);
    EXPECT_GT(countSet(readBack()), 0);
}

// What a tool measures without GL is what the lists report, and how far each of them moves.
TEST_F(GlyphsTest, MeasuringWithoutGlGivesWhatTheListsDo) {
    for (const char* face : {"Liberation Sans", "Arial", "Ostrivane No Such Face"}) {
        for (int size : {9, 18, 64}) {
            SCOPED_TRACE(std::string(face) + " " + std::to_string(size));
            platform::GlyphMetrics lists = {}, measured = {};
            ASSERT_TRUE(byteLists(platform::currentDrawingContext(), face, size, listBase + 32, 32, 224,
                                  platform::GlyphShape::Plain, &lists));
            const std::vector<std::uint32_t> characters = windows1252(32, 224);
            std::int16_t advances[224] = {};
            ASSERT_TRUE(platform::measureFont(platform::FontRequest{face, nullptr, size}, characters.data(), 224,
                                              &measured, advances, nullptr));
            EXPECT_EQ(measured.ascent, lists.ascent);
            EXPECT_EQ(measured.descent, lists.descent);
            EXPECT_EQ(measured.lineHeight, lists.lineHeight);
            EXPECT_GT(measured.lineHeight, 0);
            for (int c = 32; c < 256; ++c) {
                EXPECT_EQ(advances[c - 32], drawText(std::string(1, static_cast<char>(c)), 0, 20)) << c;
            }
        }
    }
    platform::GlyphMetrics unused = {};
    EXPECT_FALSE(platform::measureFont(platform::FontRequest{nullptr, nullptr, kPixelHeight}, nullptr, 0, &unused, nullptr, nullptr));
    EXPECT_FALSE(platform::measureFont(platform::FontRequest{"Liberation Sans", nullptr, 0}, nullptr, 0, &unused, nullptr, nullptr));
}

TEST_F(GlyphsTest, BuildsOnlyTheRequestedLists) {
    // Names no glGenLists call reserved: Mesa counts reserved names as lists.
    const GLuint lists = listBase + 10000;
    ASSERT_EQ(glIsList(lists), GL_FALSE);
    ASSERT_TRUE(byteLists(platform::currentDrawingContext(), "Liberation Sans", kPixelHeight, lists + 2, 'A', 5));
    for (GLuint i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(glIsList(lists + i) == GL_TRUE, i >= 2 && i < 7);
    }
    // List lists + 2 + k draws 'A' + k.
    Reference ref("Liberation Sans", kPixelHeight);
    ASSERT_TRUE(ref.ok());
    glClear(GL_COLOR_BUFFER_BIT);
    drawText("CE", 10, 20, lists + 2 - 'A');
    Image expected = blank();
    ref.draw(ref.glyphsOf(U"CE"), 10, 20, &expected);
    EXPECT_EQ(readBack(), expected);
}

// Keeps the glyphs renderGlyphs hands over.
class KeptGlyphs final : public platform::GlyphReceiver {
public:
    struct Kept {
        platform::GlyphImage image;
        std::vector<unsigned char> pixels;
    };
    bool receive(int index, const platform::GlyphImage& image) override {
        Kept& kept = glyphs[32 + index];  // of windows1252(32, 224)
        kept.image = image;
        kept.pixels.assign(image.pixels, image.pixels + image.width * image.height);
        return true;
    }
    Kept glyphs[256] = {};
};

TEST_F(GlyphsTest, RenderedBitmapsAreTheGlyphsTheListsDraw) {
    for (int size : {9, 18, 30}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(build("Liberation Sans", size));
        KeptGlyphs bitmaps, coverage;
        const std::vector<std::uint32_t> characters = windows1252(32, 224);
        const platform::FontRequest font = {"Liberation Sans", nullptr, size};
        ASSERT_TRUE(platform::renderGlyphs(platform::currentDrawingContext(), font, characters.data(), 224,
                                           platform::GlyphRendering::Bitmap, bitmaps));
        ASSERT_TRUE(platform::renderGlyphs(platform::currentDrawingContext(), font, characters.data(), 224,
                                           platform::GlyphRendering::Coverage, coverage));
        const std::string text = "Hg&Q,y\xE9W\x80 _";
        glClear(GL_COLOR_BUFFER_BIT);
        const float endX = drawText(text, 5, 20);
        Image expected = blank();
        int pen = 5;
        int partial = 0;
        for (const unsigned char c : text) {
            const platform::GlyphImage& image = bitmaps.glyphs[c].image;
            for (int y = 0; y < image.height; ++y) {
                for (int x = 0; x < image.width; ++x) {
                    const unsigned char value = bitmaps.glyphs[c].pixels[static_cast<std::size_t>(y * image.width + x)];
                    EXPECT_TRUE(value == 0 || value == 255);
                    const int px = pen - image.xOrigin + x, py = 20 - image.yOrigin + y;
                    if (value != 0 && px >= 0 && px < kWidth && py >= 0 && py < kHeight) expected[py * kWidth + px] = true;
                }
            }
            for (unsigned char value : coverage.glyphs[c].pixels) partial += value > 0 && value < 255 ? 1 : 0;
            EXPECT_EQ(coverage.glyphs[c].image.advance, image.advance);
            pen += image.advance;
        }
        EXPECT_EQ(endX, static_cast<float>(pen));
        EXPECT_EQ(readBack(), expected);
        EXPECT_GT(partial, 20);  // antialiased: coverage between none and full
    }
}

// Characters the face lacks come from the fallbacks, in order, at the face's pixel size on its
// baseline, each glyph as FreeType draws it from the first face that has it; a character no face
// has is the face's missing-character shape, and says so.
TEST_F(GlyphsTest, CharactersTheFaceLacksComeFromTheFallbacksInOrder) {
    const Reference latin("Liberation Sans", kPixelHeight), cjk("WenQuanYi Micro Hei", kPixelHeight),
        sans("DejaVu Sans", kPixelHeight);
    ASSERT_TRUE(latin.ok() && cjk.ok() && sans.ok());
    const std::u32string text = U"\u0416\u03A9 \u2460\u4E2D\u6587\u304B\uD55C\U0001D538A";
    const std::vector<std::uint32_t> characters(text.begin(), text.end());
    platform::GlyphMetrics metrics = {};
    std::vector<std::int16_t> advances(characters.size());
    bool missing[16] = {};
    // A named fallback the system lacks is passed over.
    const platform::FontRequest font = {"Liberation Sans", "No Such Face Ostrivane, WenQuanYi Micro Hei, DejaVu Sans",
                                        kPixelHeight};
    ASSERT_TRUE(platform::buildGlyphLists(platform::currentDrawingContext(), font, characters.data(),
                                          static_cast<int>(characters.size()), listBase, platform::GlyphShape::Plain,
                                          &metrics, advances.data(), missing));
    glRasterPos2i(5, 20);
    for (std::size_t i = 0; i < characters.size(); ++i) glCallList(listBase + static_cast<GLuint>(i));
    GLfloat raster[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);

    Image expected = blank();
    int pen = 5;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const Reference* face = &latin;
        for (const Reference* candidate : {&latin, &cjk, &sans}) {
            if (candidate->glyphOf(characters[i]) != 0) {
                face = candidate;
                break;
            }
        }
        const int before = pen;
        pen = face->draw({face->glyphOf(characters[i])}, pen, 20, &expected);
        EXPECT_EQ(advances[i], pen - before) << i;
        EXPECT_FALSE(missing[i]) << i;
    }
    EXPECT_EQ(raster[0], static_cast<float>(pen));
    EXPECT_EQ(readBack(), expected);
    EXPECT_GT(countSet(expected), 200);

    // A character in no face: the main face's missing-character shape, told as missing.
    const std::uint32_t none = 0x10FFFD;
    platform::GlyphMetrics unused = {};
    std::int16_t advance = 0;
    bool isMissing = false;
    ASSERT_TRUE(platform::measureFont(font, &none, 1, &unused, &advance, &isMissing));
    EXPECT_TRUE(isMissing);
    EXPECT_GT(advance, 0);
}

TEST_F(GlyphsTest, RejectsUnusableArguments) {
    void* dc = platform::currentDrawingContext();
    EXPECT_FALSE(byteLists(nullptr, "Liberation Sans", kPixelHeight, listBase, 0, 256));
    EXPECT_FALSE(byteLists(dc, nullptr, kPixelHeight, listBase, 0, 256));
    EXPECT_FALSE(byteLists(dc, "Liberation Sans", 0, listBase, 0, 256));
    EXPECT_FALSE(byteLists(dc, "Liberation Sans", -12, listBase, 0, 256));
    EXPECT_FALSE(byteLists(dc, "Liberation Sans", kPixelHeight, 0, 0, 256));
    EXPECT_FALSE(byteLists(dc, "Liberation Sans", kPixelHeight, listBase, 0, -1));
}

}  // namespace
