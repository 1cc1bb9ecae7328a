// Fonts for the Windows build, without GL: GDI makes, selects and measures them.
#include "platform/win32_fonts.h"

namespace platform {

namespace gdi {

SelectedFont::SelectedFont(HDC context, const char* face, int pixelHeight) : dc(context) {
    // A negative height asks for the character (em) height rather than the cell height.
    font = CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    if (font == nullptr) return;
    previous = SelectObject(dc, font);
    if (previous == nullptr || previous == HGDI_ERROR) previous = nullptr;
}

SelectedFont::~SelectedFont() {
    if (previous != nullptr) SelectObject(dc, previous);
    if (font != nullptr) DeleteObject(font);
}

bool measureSelectedFont(HDC dc, DWORD first, DWORD count, GlyphMetrics* out) {
    TEXTMETRICA text = {};
    const bool measured = GetTextMetricsA(dc, &text) != FALSE;
    if (measured) {
        out->ascent = static_cast<int>(text.tmAscent);
        out->descent = static_cast<int>(text.tmDescent);
        out->lineHeight = static_cast<int>(text.tmHeight + text.tmExternalLeading);
    }
    // The advances of the glyph bitmaps the lists are made from, which are how far the lists move
    // the raster position: GGO_METRICS (and GetCharABCWidths) can answer a pixel more or less for
    // the same glyph.
    for (DWORD i = 0; i < count && first + i < 256; ++i) {
        GLYPHMETRICS metrics = {};
        const DWORD result = GetGlyphOutlineA(dc, first + i, GGO_BITMAP, &metrics, 0, nullptr, &kIdentity);
        out->advance[first + i] = result == GDI_ERROR ? 0 : static_cast<std::int16_t>(metrics.gmCellIncX);
    }
    return measured;
}

}  // namespace gdi

bool measureFont(const char* face, int pixelHeight, GlyphMetrics* out) {
    if (face == nullptr || pixelHeight <= 0 || out == nullptr) return false;
    // A memory context compatible with the screen, where the GL window's context is too.
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return false;
    bool measured = false;
    {
        const gdi::SelectedFont font(dc, face, pixelHeight);
        if (font.ok()) {
            *out = GlyphMetrics{};
            measured = gdi::measureSelectedFont(dc, static_cast<DWORD>(kFirstDrawnCharacter),
                                                static_cast<DWORD>(256 - kFirstDrawnCharacter), out);
        }
    }
    DeleteDC(dc);
    return measured;
}

bool hasFontFace(const char* face, char* drawnFace, std::uint32_t capacity) {
    if (face == nullptr || drawnFace == nullptr || capacity == 0) return true;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return true;
    bool has = true;
    {
        // GDI's font mapper answers with the face it chose; any height would do.
        const gdi::SelectedFont font(dc, face, 18);
        char chosen[LF_FACESIZE + 1] = {};
        if (font.ok() && GetTextFaceA(dc, sizeof chosen, chosen) > 0 && lstrcmpiA(chosen, face) != 0) {
            has = false;
            WCHAR wide[LF_FACESIZE + 1] = {};
            GetTextFaceW(dc, LF_FACESIZE + 1, wide);
            const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, drawnFace, static_cast<int>(capacity),
                                                  nullptr, nullptr);
            if (bytes <= 0) drawnFace[0] = '\0';
        }
    }
    DeleteDC(dc);
    return has;
}

namespace {

// The tests' lever: a whole number, or -1.
long dpiLever() {
    char value[16];
    const DWORD length = GetEnvironmentVariableA("OSTRIVANE_TEST_DPI", value, sizeof value);
    if (length == 0 || length >= sizeof value) return -1;
    long number = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (value[i] < '0' || value[i] > '9' || number > 100000000L) return -1;
        number = number * 10 + (value[i] - '0');
    }
    return number;
}

}  // namespace

int displayDpi(void* drawingContext) {
    const long lever = dpiLever();
    if (lever >= 0) return static_cast<int>(lever);
    HDC dc = static_cast<HDC>(drawingContext);
    // GetDpiForWindow came with Windows 10 1607: asked for by name, so that the DLL loads without it.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    HMODULE user = GetModuleHandleA("user32.dll");
    const FARPROC found = user != nullptr ? GetProcAddress(user, "GetDpiForWindow") : nullptr;
    HWND window = dc != nullptr ? WindowFromDC(dc) : nullptr;
    if (found != nullptr && window != nullptr) {
        const auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(found));
        const UINT dpi = dpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    if (dc != nullptr) return GetDeviceCaps(dc, LOGPIXELSY);
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace platform
