// A window with a WGL context, as the host draws its viewport: own DC, double buffered, 32-bit
// colour, 24-bit depth. Frames are read back from the back buffer before any swap.
#include "gl_headers.h"

#include <cstdint>
#include <vector>

#include "platform_host.h"

namespace standin {

namespace {

const char kWindowClass[] = "OstrivaneStandinHost";

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // GDI never paints over the GL picture.
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string lastError(const char* what) {
    return std::string("Win32: ") + what + " failed (error " + std::to_string(GetLastError()) + ")";
}

class WglContext : public GlContext {
public:
    ~WglContext() override {
        if (glContext != nullptr) {
            wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(glContext);
        }
        if (windowHandle != nullptr) DestroyWindow(windowHandle);
    }

    bool create(int width, int height, std::string* error) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA windowClass = {};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            *error = lastError("RegisterClassA");
            return false;
        }
        // A borderless window at the screen's corner: its client area is the framebuffer and all
        // of it is on screen.
        windowHandle = CreateWindowExA(0, kWindowClass, "Ostrivane stand-in host", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                  height, nullptr, nullptr, instance, nullptr);
        if (windowHandle == nullptr) {
            *error = lastError("CreateWindowExA") + " (does Wine have an X display of its own?)";
            return false;
        }
        deviceContext = GetDC(windowHandle);
        PIXELFORMATDESCRIPTOR format = {};
        format.nSize = sizeof format;
        format.nVersion = 1;
        format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        format.iPixelType = PFD_TYPE_RGBA;
        format.cColorBits = 32;
        format.cDepthBits = 24;
        format.cStencilBits = 8;  // so that a stencil test the host leaves on has a buffer to test
        format.iLayerType = PFD_MAIN_PLANE;
        const int chosen = ChoosePixelFormat(deviceContext, &format);
        if (chosen == 0) {
            *error = lastError("ChoosePixelFormat");
            return false;
        }
        if (!SetPixelFormat(deviceContext, chosen, &format)) {
            *error = lastError("SetPixelFormat");
            return false;
        }
        glContext = wglCreateContext(deviceContext);
        if (glContext == nullptr) {
            *error = lastError("wglCreateContext") + " (is an X display and 32-bit OpenGL available to Wine?)";
            return false;
        }
        if (!wglMakeCurrent(deviceContext, glContext)) {
            *error = lastError("wglMakeCurrent");
            return false;
        }
        windowWidth = width;
        windowHeight = height;
        pump();
        return true;
    }

    bool resize(int width, int height, std::string* error) override {
        if (!SetWindowPos(windowHandle, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) {
            *error = lastError("SetWindowPos");
            return false;
        }
        pump();
        // The GL drawable takes the new size when the context is bound to it again and the
        // buffers are swapped.
        wglMakeCurrent(nullptr, nullptr);
        wglMakeCurrent(deviceContext, glContext);
        SwapBuffers(deviceContext);
        RECT client = {};
        GetClientRect(windowHandle, &client);
        if (client.right - client.left != width || client.bottom - client.top != height) {
            *error = "Win32: the window's client area is " + std::to_string(client.right - client.left) + "x" +
                     std::to_string(client.bottom - client.top) + ", not " + std::to_string(width) + "x" +
                     std::to_string(height) + " (larger than the screen?)";
            return false;
        }
        windowWidth = width;
        windowHeight = height;
        return true;
    }

    void endFrame() override { SwapBuffers(deviceContext); }

    void pump() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    Image read() override {
        glFinish();
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(windowWidth) * windowHeight * 4);
        glPushAttrib(GL_PIXEL_MODE_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glPopClientAttrib();
        glPopAttrib();
        return imageFromGlRows(rgba, windowWidth, windowHeight);
    }

    bool buildGlyphLists(const std::string& face, int pixelHeight, unsigned firstList, int firstChar,
                         int count) override {
        HFONT font = CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
        if (font == nullptr) return false;
        HGDIOBJ previous = SelectObject(deviceContext, font);
        BOOL built = wglUseFontBitmapsA(deviceContext, static_cast<DWORD>(firstChar), static_cast<DWORD>(count),
                                        static_cast<DWORD>(firstList));
        // Some drivers refuse the first call on a fresh context and accept it again.
        if (!built) {
            built = wglUseFontBitmapsA(deviceContext, static_cast<DWORD>(firstChar), static_cast<DWORD>(count),
                                       static_cast<DWORD>(firstList));
        }
        {
            // Wine's lists for glyphs without pixels do not advance; the oracle's advance comes
            // from GDI's own character widths.
            static const GLubyte noPixels[4] = {};
            for (int i = 0; i < count; ++i) {
                const UINT code = static_cast<UINT>(firstChar + i);
                ABC widths = {};
                GLYPHMETRICS metrics = {};
                const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
                if (GetGlyphOutlineA(deviceContext, code, GGO_METRICS, &metrics, 0, nullptr, &identity) == GDI_ERROR ||
                    metrics.gmBlackBoxX > 1 || !GetCharABCWidthsA(deviceContext, code, code, &widths)) {
                    continue;
                }
                if (GetGlyphOutlineA(deviceContext, code, GGO_BITMAP, &metrics, 0, nullptr, &identity) != 0) continue;
                const int advance = widths.abcA + static_cast<int>(widths.abcB) + widths.abcC;
                glNewList(firstList + static_cast<unsigned>(i), GL_COMPILE);
                glBitmap(0, 0, 0, 0, static_cast<GLfloat>(advance), 0, noPixels);
                glEndList();
            }
        }
        SelectObject(deviceContext, previous);
        DeleteObject(font);
        // Wine leaves GL_OUT_OF_MEMORY behind after glyphs without a bitmap (the space).
        while (glGetError() != GL_NO_ERROR) {
        }
        return built != FALSE;
    }

    bool buildCharacterList(const std::string& face, int pixelHeight, unsigned list, std::uint32_t codePoint) override {
        WCHAR wide[LF_FACESIZE] = {};
        if (codePoint > 0xFFFF || MultiByteToWideChar(CP_UTF8, 0, face.c_str(), -1, wide, LF_FACESIZE) == 0) return false;
        HFONT font = CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wide);
        if (font == nullptr) return false;
        HGDIOBJ previous = SelectObject(deviceContext, font);
        BOOL built = wglUseFontBitmapsW(deviceContext, codePoint, 1, list);
        if (!built) built = wglUseFontBitmapsW(deviceContext, codePoint, 1, list);
        SelectObject(deviceContext, previous);
        DeleteObject(font);
        while (glGetError() != GL_NO_ERROR) {
        }
        return built != FALSE;
    }

    bool fontMetrics(const std::string& face, int pixelHeight, FontMetrics* metrics) override {
        HFONT font = CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
        if (font == nullptr) return false;
        HGDIOBJ previous = SelectObject(deviceContext, font);
        TEXTMETRICA text = {};
        const bool measured = GetTextMetricsA(deviceContext, &text) != FALSE;
        metrics->ascent = static_cast<int>(text.tmAscent);
        metrics->descent = static_cast<int>(text.tmDescent);
        metrics->lineHeight = static_cast<int>(text.tmHeight + text.tmExternalLeading);
        // GDI's character widths: what a string of the font advances by.
        for (UINT code = 32; code < 256; ++code) {
            ABC widths = {};
            INT width = 0;
            if (GetCharABCWidthsA(deviceContext, code, code, &widths)) {
                metrics->advance[code] = widths.abcA + static_cast<int>(widths.abcB) + widths.abcC;
            } else if (GetCharWidth32A(deviceContext, code, code, &width)) {
                metrics->advance[code] = width;
            }
        }
        SelectObject(deviceContext, previous);
        DeleteObject(font);
        return measured;
    }

    bool coverageGlyphs(const std::string& face, int pixelHeight, CoverageFont* font) override {
        HFONT gdiFont = CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
        if (gdiFont == nullptr) return false;
        HGDIOBJ previous = SelectObject(deviceContext, gdiFont);
        font->levels = 64;  // GGO_GRAY8_BITMAP's 65 levels
        const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        bool made = true;
        std::vector<unsigned char> bits;
        for (UINT code = 32; code < 256; ++code) {
            CoverageGlyph& glyph = font->glyphs[code];
            glyph = CoverageGlyph();
            GLYPHMETRICS metrics = {};
            const DWORD size = GetGlyphOutlineA(deviceContext, code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
            if (size == GDI_ERROR) {
                made = false;
                continue;
            }
            if (size == 0) continue;  // a glyph without pixels
            bits.assign(size, 0);
            if (GetGlyphOutlineA(deviceContext, code, GGO_GRAY8_BITMAP, &metrics, size, bits.data(), &identity) == GDI_ERROR) {
                made = false;
                continue;
            }
            glyph.width = static_cast<int>(metrics.gmBlackBoxX);
            glyph.height = static_cast<int>(metrics.gmBlackBoxY);
            glyph.left = metrics.gmptGlyphOrigin.x;
            glyph.top = metrics.gmptGlyphOrigin.y;
            const std::size_t pitch = (static_cast<std::size_t>(glyph.width) + 3) & ~static_cast<std::size_t>(3);
            for (int row = 0; row < glyph.height; ++row) {
                const unsigned char* in = bits.data() + pitch * static_cast<std::size_t>(row);
                glyph.coverage.insert(glyph.coverage.end(), in, in + glyph.width);
            }
        }
        SelectObject(deviceContext, previous);
        DeleteObject(gdiFont);
        return made;
    }

private:
    HWND windowHandle = nullptr;
    HDC deviceContext = nullptr;
    HGLRC glContext = nullptr;
    int windowWidth = 0;
    int windowHeight = 0;
};

}  // namespace

void* glProc(const char* name) { return reinterpret_cast<void*>(wglGetProcAddress(name)); }

std::unique_ptr<GlContext> createGlContext(int width, int height, std::string* error) {
    auto context = std::make_unique<WglContext>();
    if (!context->create(width, height, error)) return nullptr;
    return context;
}

}  // namespace standin
