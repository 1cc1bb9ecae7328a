// The Win32 platform's fonts, inside platform/ only: GDI fonts made as the plug-in makes them,
// selected into a device context, measured and asked for their glyphs. The glyph builders (on the
// GL window's context) and measureFont (on a memory context) both go through here, so what a tool
// measures is what the plug-in draws.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace platform::gdi {

// Glyph outlines as the font draws them, unscaled and unrotated.
inline const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// A font of `face` at a character height of `pixelHeight` pixels, as the plug-in makes them.
HFONT makeFont(const WCHAR* face, int pixelHeight, BYTE charSet);

// A face name in UTF-8 as GDI takes it (at most LF_FACESIZE - 1 units); false when it does not fit.
bool wideFaceName(const char* face, WCHAR (&wide)[LF_FACESIZE]);

// The font the plug-in draws with, selected into a device context for as long as it lives.
class SelectedFont {
public:
    SelectedFont(HDC context, const char* face, int pixelHeight);
    ~SelectedFont();
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

    bool ok() const { return previous != nullptr; }

private:
    HDC dc;
    HFONT font = nullptr;
    HGDIOBJ previous = nullptr;
};

// The ascent, descent and line height of the font selected into `dc`. False when GDI gives no
// text metrics (the fields are then left alone).
bool measureSelectedFont(HDC dc, GlyphMetrics* out);

}  // namespace platform::gdi
