// What the stand-in host needs from its platform: a GL context to draw into and read back, glyph
// lists for the oracle, and a loader for the plug-in library. One implementation per build:
// gl_context_osmesa.cpp + library_posix.cpp natively, gl_context_win32.cpp + library_win32.cpp
// for Windows.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "gl_scene.h"
#include "image.h"

namespace standin {

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int lineHeight = 0;  // from one baseline to the next, as the font sets lines
    int advance[256] = {};
};

class GlContext {
public:
    virtual ~GlContext() = default;
    // Makes the framebuffer `width` x `height` pixels; the context and its lists survive.
    virtual bool resize(int width, int height, std::string* error) = 0;
    // Reads the whole framebuffer (the back buffer where there is one) as RGB, top row first.
    virtual Image read() = 0;
    // Lets the window system run between frames (a no-op offscreen).
    virtual void pump() {}
    // Ends a frame that is not read back, as a host does (a buffer swap, or a flush offscreen),
    // so that the driver lets go of what the frame queued.
    virtual void endFrame() = 0;
    // Builds `count` bitmap glyph lists for the Windows-1252 characters `firstChar` onwards at
    // list names `firstList` onwards, from the font `face` at a character height of
    // `pixelHeight` pixels.
    virtual bool buildGlyphLists(const std::string& face, int pixelHeight, unsigned firstList, int firstChar,
                                 int count) = 0;
    // Builds one bitmap glyph list at `list` for the Unicode character `codePoint` from the font
    // `face` at `pixelHeight` pixels, for an oracle line that holds characters beyond
    // Windows-1252.
    virtual bool buildCharacterList(const std::string& face, int pixelHeight, unsigned list,
                                    std::uint32_t codePoint) = 0;
    // The font's ascent and descent and the advance of each Windows-1252 character from 32 up,
    // in pixels, measured by the system's own font service.
    virtual bool fontMetrics(const std::string& face, int pixelHeight, FontMetrics* metrics) = 0;
    // The font's antialiased glyphs for the Windows-1252 characters 32-255, by the system's own
    // means: FreeType's normal rendering, or GDI's GGO_GRAY8_BITMAP.
    virtual bool coverageGlyphs(const std::string& face, int pixelHeight, CoverageFont* font) = 0;
};

// The address of the OpenGL function `name` of the current context, or null.
void* glProc(const char* name);

// Creates a current context with a `width` x `height` framebuffer; null and *error on failure.
std::unique_ptr<GlContext> createGlContext(int width, int height, std::string* error);

class PluginLibrary {
public:
    virtual ~PluginLibrary() = default;
    // The address of an exported function, or null.
    virtual void* symbol(const char* name) = 0;
};

// The memory the process holds, in KiB (heap in use, or private bytes on Windows); -1 if unknown.
long processMemoryKb();

// The system's millisecond tick, the one the plug-in counts frames and *ELAPSED* by.
std::uint32_t systemTick();

// Sets the environment variable `name` of this process to `value`, or removes it when `value` is
// null; a plug-in loaded into the process sees the change.
void setEnvironment(const char* name, const char* value);

// Loads the library at `path`; null and *error (the system's reason, UTF-8) on failure.
std::unique_ptr<PluginLibrary> loadPluginLibrary(const std::filesystem::path& path, std::string* error);

}  // namespace standin
