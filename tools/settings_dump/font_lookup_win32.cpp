// GDI's font mapper: the face a font made as the plug-in makes it actually gets.
#include <windows.h>

#include "font_lookup.h"

bool systemHasFont(const char* face, std::string* drawn) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return true;  // cannot tell: no warning
    HFONT font = CreateFontA(-18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    bool has = true;
    if (font != nullptr) {
        HGDIOBJ previous = SelectObject(dc, font);
        char chosen[LF_FACESIZE + 1] = {};
        if (GetTextFaceA(dc, sizeof chosen, chosen) > 0 && lstrcmpiA(chosen, face) != 0) {
            has = false;
            // The tools print UTF-8.
            WCHAR wide[LF_FACESIZE + 1] = {};
            char utf8[4 * LF_FACESIZE + 1] = {};
            GetTextFaceW(dc, LF_FACESIZE + 1, wide);
            WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
            *drawn = utf8;
        }
        SelectObject(dc, previous);
        DeleteObject(font);
    }
    DeleteDC(dc);
    return has;
}
