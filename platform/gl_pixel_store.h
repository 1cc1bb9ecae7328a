// The pixel-store state the glyph bitmaps are read with: rows packed to bytes, nothing skipped or
// swapped, whatever the host left. Callers save the host's state first
// (glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT)) and include their GL header before this one.
#pragma once

namespace platform {

inline void unpackBytesAsTheyAre() {
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

}  // namespace platform
