// Fonts for the Windows build, without GL: GDI makes, selects, measures and renders them.
#include "platform/win32_fonts.h"

#include <cstring>

#include "platform/face_list.h"
#include "platform/glyph_bitmap.h"

namespace platform {

namespace gdi {

HFONT makeFont(const WCHAR* face, int pixelHeight, BYTE charSet) {
    // A negative height asks for the character (em) height rather than the cell height.
    return CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charSet, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

bool wideFaceName(const char* face, WCHAR (&wide)[LF_FACESIZE]) {
    if (face == nullptr) return false;
    return MultiByteToWideChar(CP_UTF8, 0, face, -1, wide, LF_FACESIZE) > 0;
}

SelectedFont::SelectedFont(HDC context, const char* face, int pixelHeight) : dc(context) {
    WCHAR wide[LF_FACESIZE];
    if (!wideFaceName(face, wide)) return;
    font = makeFont(wide, pixelHeight, ANSI_CHARSET);
    if (font == nullptr) return;
    previous = SelectObject(dc, font);
    if (previous == nullptr || previous == HGDI_ERROR) previous = nullptr;
}

SelectedFont::~SelectedFont() {
    if (previous != nullptr) SelectObject(dc, previous);
    if (font != nullptr) DeleteObject(font);
}

bool measureSelectedFont(HDC dc, GlyphMetrics* out) {
    TEXTMETRICW text = {};
    if (GetTextMetricsW(dc, &text) == FALSE) return false;
    out->ascent = static_cast<int>(text.tmAscent);
    out->descent = static_cast<int>(text.tmDescent);
    out->lineHeight = static_cast<int>(text.tmHeight + text.tmExternalLeading);
    return true;
}

}  // namespace gdi

namespace {

using gdi::kIdentity;

// Faces that ship with Windows for Chinese, Japanese and Korean, and for symbols: where a
// character the named faces lack is looked for first, before every face the system has.
const WCHAR* const kSystemFallbacks[] = {L"Microsoft YaHei", L"SimSun", L"Yu Gothic", L"Meiryo", L"MS Gothic",
                                         L"Malgun Gothic", L"Gulim", L"Segoe UI Symbol", L"Arial Unicode MS"};

// The faces a FontRequest draws with, selected into `dc` one at a time: the main face, the named
// fallbacks the system has, the built-in list, then any face the system has, as characters ask.
class FaceChain {
public:
    FaceChain(HDC context, const FontRequest& font) : dc(context), pixelHeight(font.pixelHeight) {
        WCHAR wide[LF_FACESIZE];
        if (!gdi::wideFaceName(font.face, wide)) return;
        add(makeFont(wide, ANSI_CHARSET));
        if (count == 0) return;
        original = SelectObject(dc, fonts[0]);
        if (original == nullptr || original == HGDI_ERROR) {
            original = nullptr;
            return;
        }
        selected = 0;
        // The named fallbacks the system has, in order.
        const char* at = font.fallbacks != nullptr ? font.fallbacks : "";
        char name[4 * LF_FACESIZE];
        while (nextFaceName(&at, name, sizeof name)) {
            if (gdi::wideFaceName(name, wide) && systemHas(wide)) add(makeFont(wide, DEFAULT_CHARSET));
        }
    }

    ~FaceChain() {
        if (original != nullptr) SelectObject(dc, original);
        for (int index = 0; index < count; ++index) DeleteObject(fonts[index]);
    }
    FaceChain(const FaceChain&) = delete;
    FaceChain& operator=(const FaceChain&) = delete;

    bool usable() const { return original != nullptr; }

    // Selects the main face.
    void selectMain() { select(0); }

    // Selects the face that has `codePoint` and answers its glyph index; -1 when no face has it
    // (the main face is then selected). Characters beyond U+FFFF, which GDI cannot look up, are
    // the main face's.
    int selectFaceFor(std::uint32_t codePoint) {
        if (codePoint > 0xFFFF) {
            select(0);
            return -1;
        }
        const WCHAR unit = static_cast<WCHAR>(codePoint);
        for (int index = 0; index < count; ++index) {
            const int glyph = glyphIn(index, unit);
            if (glyph >= 0) return glyph;
        }
        // The built-in list, then every face the system has, each added once.
        while (nextBuiltIn < static_cast<int>(sizeof kSystemFallbacks / sizeof kSystemFallbacks[0]) && count < kMaxFaces) {
            const WCHAR* face = kSystemFallbacks[nextBuiltIn++];
            if (!systemHas(face)) continue;
            add(makeFont(face, DEFAULT_CHARSET));
            const int glyph = glyphIn(count - 1, unit);
            if (glyph >= 0) return glyph;
        }
        if (!enumerated) enumerateSystem();
        while (nextSystem < systemCount && count < kMaxFaces) {
            add(makeFont(systemFaces[nextSystem++], DEFAULT_CHARSET));
            const int glyph = glyphIn(count - 1, unit);
            if (glyph >= 0) return glyph;
        }
        select(0);
        return -1;
    }

private:
    static constexpr int kMaxFaces = 64;
    static constexpr int kMaxSystemFaces = 256;

    HFONT makeFont(const WCHAR* face, BYTE charSet) const { return gdi::makeFont(face, pixelHeight, charSet); }

    void add(HFONT font) {
        if (font != nullptr && count < kMaxFaces) fonts[count++] = font;
    }

    void select(int index) {
        if (index != selected && index < count) {
            SelectObject(dc, fonts[index]);
            selected = index;
        }
    }

    // The glyph index of `unit` in face `index`, -1 when the face lacks it.
    int glyphIn(int index, WCHAR unit) {
        select(index);
        WORD glyph = 0xFFFF;
        if (GetGlyphIndicesW(dc, &unit, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || glyph == 0xFFFF) return -1;
        return glyph;
    }

    // Whether GDI's font mapper gives this face for its name, rather than another in its place.
    bool systemHas(const WCHAR* face) const {
        LOGFONTW wanted = {};
        wanted.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExW(dc, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
        return found;
    }

    static int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM context) {
        *reinterpret_cast<bool*>(context) = true;
        return 0;
    }

    static int CALLBACK noteFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM context) {
        auto* chain = reinterpret_cast<FaceChain*>(context);
        // Scalable faces only, each family once; vertical (@) faces are not for rows.
        if ((type & TRUETYPE_FONTTYPE) == 0 || font->lfFaceName[0] == L'@') return 1;
        for (int index = 0; index < chain->systemCount; ++index) {
            if (lstrcmpiW(chain->systemFaces[index], font->lfFaceName) == 0) return 1;
        }
        if (chain->systemCount >= kMaxSystemFaces) return 0;
        lstrcpynW(chain->systemFaces[chain->systemCount++], font->lfFaceName, LF_FACESIZE);
        return 1;
    }

    void enumerateSystem() {
        enumerated = true;
        LOGFONTW all = {};
        all.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExW(dc, &all, noteFamily, reinterpret_cast<LPARAM>(this), 0);
    }

    HDC dc;
    int pixelHeight;
    HFONT fonts[kMaxFaces] = {};
    int count = 0;
    int selected = -1;
    HGDIOBJ original = nullptr;
    int nextBuiltIn = 0;
    bool enumerated = false;
    WCHAR systemFaces[kMaxSystemFaces][LF_FACESIZE] = {};
    int systemCount = 0;
    int nextSystem = 0;
};

// GDI's glyph bitmaps, top row first with rows padded to 4 bytes, as one byte a pixel, bottom row
// first: GGO_BITMAP's bits as 0 or 255, GGO_GRAY8_BITMAP's 65 levels (0-64) scaled to 0-255.
void unpackGdiGlyph(const unsigned char* gdi, DWORD size, UINT format, int width, int height, unsigned char* out) {
    const bool oneBit = (format & ~static_cast<UINT>(GGO_GLYPH_INDEX)) == GGO_BITMAP;
    const std::size_t rowBytes = oneBit ? ((static_cast<std::size_t>(width) + 31) / 32) * 4
                                        : (static_cast<std::size_t>(width) + 3) & ~static_cast<std::size_t>(3);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = out + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width);
        const unsigned char* in = gdi + rowBytes * static_cast<std::size_t>(y);
        const bool present = rowBytes * static_cast<std::size_t>(y + 1) <= size;
        for (int x = 0; x < width; ++x) {
            unsigned value = 0;
            if (present && oneBit) {
                value = (in[x / 8] & (0x80u >> (x % 8))) != 0 ? 255u : 0u;
            } else if (present) {
                const unsigned level = in[x] > 64 ? 64u : in[x];
                value = (level * 255u + 32u) / 64u;
            }
            row[x] = static_cast<unsigned char>(value);
        }
    }
}

}  // namespace

bool renderGlyphs(void* drawingContext, const FontRequest& font, const std::uint32_t* characters, int count,
                  GlyphRendering rendering, GlyphReceiver& receiver, GlyphMetrics* metrics) {
    if (font.face == nullptr || font.pixelHeight <= 0 || count < 0 || (count > 0 && characters == nullptr)) return false;
    // Tools render without a GL context: a memory context compatible with the screen, as the GL
    // window's context is.
    HDC memory = drawingContext == nullptr ? CreateCompatibleDC(nullptr) : nullptr;
    HDC dc = drawingContext != nullptr ? static_cast<HDC>(drawingContext) : memory;
    if (dc == nullptr) return false;
    bool ok = true;
    {
        FaceChain chain(dc, font);
        if (!chain.usable()) {
            ok = false;
        } else {
            chain.selectMain();
            if (metrics != nullptr) gdi::measureSelectedFont(dc, metrics);
            // GGO_BITMAP is what the system's font-to-list service compiles, glyph by glyph.
            const UINT plainFormat = rendering == GlyphRendering::Bitmap ? GGO_BITMAP : GGO_GRAY8_BITMAP;
            // Room for any glyph of the sizes the plug-in asks for, so that one call per glyph
            // mostly does; a glyph that needs more is asked for its size first.
            constexpr DWORD kUsualRoom = 64 * 1024;
            BitmapScratch gdiScratch, byteScratch;
            for (int i = 0; i < count; ++i) {
                GlyphImage image = {0, 0, 0, 0, 0, nullptr, false};
                const std::uint32_t codePoint = characters[i];
                // Characters the main face has are asked for by code point, as the lists always
                // were; others by the glyph index of the face that has them, or the missing
                // glyph (index 0) of the main face.
                chain.selectMain();
                WORD mainGlyph = 0xFFFF;
                const WCHAR unit = static_cast<WCHAR>(codePoint);
                const bool inMain = codePoint > 0xFFFF ||
                                    (GetGlyphIndicesW(dc, &unit, 1, &mainGlyph, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR &&
                                     mainGlyph != 0xFFFF);
                UINT code = codePoint;
                UINT format = plainFormat;
                if (!inMain) {
                    const int glyph = chain.selectFaceFor(codePoint);
                    format |= GGO_GLYPH_INDEX;
                    code = glyph >= 0 ? static_cast<UINT>(glyph) : 0u;
                    image.missing = glyph < 0;
                }
                GLYPHMETRICS glyph = {};
                unsigned char* gdi = gdiScratch.get(kUsualRoom);
                DWORD size = gdi != nullptr ? GetGlyphOutlineW(dc, code, format, &glyph, kUsualRoom, gdi, &kIdentity) : GDI_ERROR;
                if (size == GDI_ERROR) {
                    size = GetGlyphOutlineW(dc, code, format, &glyph, 0, nullptr, &kIdentity);
                    gdi = size != GDI_ERROR && size != 0 ? gdiScratch.get(size) : nullptr;
                    if (gdi != nullptr && GetGlyphOutlineW(dc, code, format, &glyph, size, gdi, &kIdentity) == GDI_ERROR) {
                        gdi = nullptr;
                    }
                }
                image.advance = static_cast<int>(glyph.gmCellIncX);
                if (rendering != GlyphRendering::Bitmap) {
                    // Antialiased glyphs advance as the 1-bit ones, by the 1-bit glyph's own metrics.
                    GLYPHMETRICS plain = {};
                    const UINT bitmapFormat = GGO_BITMAP | (format & GGO_GLYPH_INDEX);
                    const DWORD found = GetGlyphOutlineW(dc, code, bitmapFormat, &plain, 0, nullptr, &kIdentity);
                    image.advance = found != GDI_ERROR ? static_cast<int>(plain.gmCellIncX) : 0;
                }
                const int width = static_cast<int>(glyph.gmBlackBoxX);
                const int height = static_cast<int>(glyph.gmBlackBoxY);
                if (size == GDI_ERROR || (size != 0 && gdi == nullptr)) {
                    ok = false;  // handed on without pixels
                    image.advance = 0;
                } else if (size != 0) {
                    unsigned char* bytes = byteScratch.get(static_cast<std::size_t>(width) * height);
                    if (bytes != nullptr) {
                        unpackGdiGlyph(gdi, size, format, width, height, bytes);
                        image.width = width;
                        image.height = height;
                        // As the system's font-to-list service places its bitmaps.
                        image.xOrigin = -glyph.gmptGlyphOrigin.x;
                        image.yOrigin = height - glyph.gmptGlyphOrigin.y;
                        image.pixels = bytes;
                    } else {
                        ok = false;
                    }
                }
                if (!receiver.receive(i, image)) {
                    ok = false;
                    break;
                }
            }
        }
    }
    if (memory != nullptr) DeleteDC(memory);
    return ok;
}

bool hasFontFace(const char* face, char* drawnFace, std::uint32_t capacity) {
    if (face == nullptr || drawnFace == nullptr || capacity == 0) return true;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return true;
    bool has = true;
    {
        // GDI's font mapper answers with the face it chose; any height would do.
        const gdi::SelectedFont font(dc, face, 18);
        WCHAR wanted[LF_FACESIZE] = {};
        WCHAR chosen[LF_FACESIZE + 1] = {};
        if (font.ok() && gdi::wideFaceName(face, wanted) && GetTextFaceW(dc, LF_FACESIZE + 1, chosen) > 0 &&
            lstrcmpiW(chosen, wanted) != 0) {
            has = false;
            const int bytes = WideCharToMultiByte(CP_UTF8, 0, chosen, -1, drawnFace, static_cast<int>(capacity),
                                                  nullptr, nullptr);
            if (bytes <= 0) drawnFace[0] = '\0';
        }
    }
    DeleteDC(dc);
    return has;
}

long environmentNumber(const char* name) {
    char value[16];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value) return -1;
    long number = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (value[i] < '0' || value[i] > '9' || number > 100000000L) return -1;
        number = number * 10 + (value[i] - '0');
    }
    return number;
}

int displayDpi(void* drawingContext) {
    const long lever = environmentNumber("OSTRIVANE_TEST_DPI");
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
