// The Win32 platform's fonts, inside platform/ only: a GDI font made as the plug-in makes it,
// selected into a device context, and what the glyph lists measure of it. The glyph builders (on
// the GL window's context) and measureFont (on a memory context) both go through here, so what a
// tool measures is what the plug-in draws.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace platform::gdi {

// Glyph outlines as the font draws them, unscaled and unrotated.
inline const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

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

// The ascent, descent and line height of the font selected into `dc`, and the advances of the
// characters first to first + count - 1 (those below 256) as the glyph lists move the raster
// position. False when GDI gives no text metrics (those fields are then left alone).
bool measureSelectedFont(HDC dc, DWORD first, DWORD count, GlyphMetrics* out);

}  // namespace platform::gdi
