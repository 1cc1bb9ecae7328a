// Under Windows (or Wine): the glyph lists the plug-in builds move the raster position exactly as
// far as GDI's glyph advances for the same text in the same font add up to, spaces and
// accented letters included.
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/windows_1252.h"

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}

// Makes a GL context current on a new window; its client area is the viewport, one unit a pixel.
bool makeContext() {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "glyph_advance_check";
    if (!RegisterClassA(&windowClass)) return false;
    HWND window = CreateWindowA("glyph_advance_check", "glyph_advance_check", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return false;
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 24;
    const int chosen = ChoosePixelFormat(dc, &format);
    if (chosen == 0 || !SetPixelFormat(dc, chosen, &format)) return false;
    HGLRC context = wglCreateContext(dc);
    if (context == nullptr || !wglMakeCurrent(dc, context)) return false;
    RECT client = {};
    GetClientRect(window, &client);
    glViewport(0, 0, client.right, client.bottom);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, client.right, 0, client.bottom, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

// The sum of GDI's glyph advances for `text` in the font the plug-in asks for: the cell increments
// that GDI reports for the glyph bitmaps the lists are made from.
int gdiWidth(HDC dc, const char* face, int size, const char* text) {
    HFONT font = CreateFontA(-size, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    HGDIOBJ previous = SelectObject(dc, font);
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    int width = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        GLYPHMETRICS metrics = {};
        GetGlyphOutlineA(dc, *p, GGO_BITMAP, &metrics, 0, nullptr, &identity);
        width += metrics.gmCellIncX;
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    return width;
}

}  // namespace

int main() {
    if (!makeContext()) {
        std::fprintf(stderr, "glyph_advance_check: Win32: no OpenGL context\n");
        return 1;
    }
    const char* const texts[] = {"Hi", "View: Main Perspective", "a b  c", "Caf\xE9 cr\xE8me \xA0\xA9 \x80"};
    const struct {
        const char* face;
        int size;
    } fonts[] = {{"Arial", 18}, {"Arial", 11}, {"Times New Roman", 30}};
    int failures = 0;
    for (const auto& font : fonts) {
        const GLuint base = glGenLists(256);
        // The Windows-1252 characters 32-255, a list each at base + the byte.
        std::uint32_t characters[224];
        for (int i = 0; i < 224; ++i) {
            const std::uint16_t code = platform::windows1252ToUnicode(static_cast<unsigned char>(32 + i));
            characters[i] = code != 0 ? code : static_cast<std::uint32_t>(32 + i);
        }
        if (!platform::buildGlyphLists(platform::currentDrawingContext(), platform::FontRequest{font.face, nullptr, font.size},
                                       characters, 224, base + 32, platform::GlyphShape::Plain)) {
            std::fprintf(stderr, "glyph_advance_check: glyph lists for %s %d not built\n", font.face, font.size);
            return 1;
        }
        glListBase(base);
        for (const char* text : texts) {
            glRasterPos2i(10, 100);
            glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
            GLfloat position[4] = {};
            glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
            const int advance = static_cast<int>(position[0]) - 10;
            const int expected = gdiWidth(wglGetCurrentDC(), font.face, font.size, text);
            const bool ok = advance == expected;
            failures += ok ? 0 : 1;
            std::printf("%s %s %d \"%s\": lists advance %d, GDI width %d\n", ok ? "ok  " : "FAIL", font.face, font.size,
                        text, advance, expected);
        }
        glDeleteLists(base, 256);
    }
    std::printf("%d passed, %d failed\n", static_cast<int>(sizeof texts / sizeof *texts * sizeof fonts / sizeof *fonts) - failures,
                failures);
    return failures == 0 ? 0 : 1;
}
