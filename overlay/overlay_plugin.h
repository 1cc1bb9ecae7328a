// The plug-in's one object: it ties together the function catalogue offered to the host, the four
// commands, the graphics set-up and the frame. The token values (token_values.h), the rows' drawn
// texts (line_cache.h) and the settings file's watch (settings_watch.h) are rooms of their own;
// the drawing goes through a Graphics (graphics.h). Under FONT_SCALE the glyphs are made again at
// the size the view or the display asks for (font_scale.h), at most every kRebuildInterval.
#pragma once

#include <cstdint>

#include "config/display_settings.h"
#include "config/page_table.h"
#include "host/host_interface.h"
#include "host/plugin_base.h"
#include "overlay/font_scale.h"
#include "overlay/character_set.h"
#include "overlay/graphics.h"
#include "overlay/line_cache.h"
#include "overlay/settings_watch.h"
#include "overlay/token_values.h"

namespace overlay {

constexpr int kFunctionCount = 5;

// While a view is resized continuously, the glyphs are made again at most this often; the frames
// in between draw with the last ones, at the size and look they were made for.
constexpr std::uint32_t kRebuildIntervalMs = 250;
// How often FONT_SCALE=DPI asks the system for the display's DPI (a window may move to another
// screen).
constexpr std::uint32_t kDpiLookIntervalMs = 1000;

enum Command : std::int32_t {
    kCommandSwitch = 1,
    kCommandNextPage = 2,
    kCommandPreviousPage = 3,
    kCommandReload = 4,
};

class OverlayPlugin : public host::PluginBase {
public:
    // Draws with `graphics`, which must outlive the object. Allocates nothing.
    explicit OverlayPlugin(Graphics& drawing);

    // Keeps the host's record and the scene and service pointers it carries.
    void attachHost(host::PluginHostRecord* record);

    bool runFunction(std::int32_t index) override;
    void releaseResources(host::HostArg value) override;
    std::int32_t functionCount() override;
    const char* functionName(std::int32_t index) override;
    std::int32_t functionType(std::int32_t index) override;
    bool drawFunction(std::int32_t index) override;

    // Rereads the settings file: pages, CONFIG values, DISPLAY_ONSTART. The file is the one
    // locateSettingsFile finds now: the relative path, or the one beside the library.
    void loadSettings();
    const char* settingsFile() const { return watch.path(); }

    // Per-frame work without drawing, in the order the drawing runs it: the token values, then
    // the rows of the displayed page placed in `view`, into `rows` (room for config::kMaxRows);
    // returns how many. Empty rows keep their places and are left out.
    void refreshTokenValues();
    int composeRows(const Viewport& view, DrawRow* rows);

    // Test seams.
    void setClock(const Clock* source) { tokens.setClock(source); }
    void restartElapsed() { tokens.restartElapsed(); }
    bool isVisible() const { return visible; }
    std::int32_t displayedPage() const { return currentPage; }
    bool isSetUp() const { return deviceContext != nullptr; }
    std::uint32_t firstGlyphList() const { return glyphs.glyphs; }
    const GlyphBlocks& glyphResources() const { return glyphs; }
    const char* tokenValue(int token) const { return tokens.value(token); }
    const config::PageTable& pageTable() const { return pages; }
    LineCache::Counters lineCacheCounters() const { return lineCache.counters(); }
    const FontScaling& fontScalingInForce() const { return scaling; }
    std::uint32_t glyphBuilds() const { return builds; }

private:
    void initGraphics();
    void reloadSettingsAndGlyphs();
    void reloadIfSaved();
    void buildGlyphs();
    void deleteGlyphs();
    void adoptScaling(const FontScaling& wanted);
    void followScale(const Viewport& view);

    host::PluginHostRecord* host = nullptr;
    void* hostExtra = nullptr;
    void* deviceContext = nullptr;  // null: graphics not set up
    GlyphBlocks glyphs;  // the font's glyph texture or lists; none until set-up
    platform::GlyphMetrics glyphMetrics = {};
    CharacterSet characters;  // what the glyphs are made for
    bool visible = false;
    std::int32_t currentPage = 0;
    config::PageTable pages;
    config::DisplaySettings settings;
    // Under FONT_SCALE: the scaling the glyphs were made for, and the settings as the rows are
    // laid out with it; the view height and DPI it was chosen in.
    FontScaling scaling;
    config::DisplaySettings scaled;
    int viewHeight = config::kScreenHeight;
    int dpi = kStandardDpi;
    std::uint32_t lastBuildTick = 0;
    std::uint32_t lastDpiLook = 0;
    std::uint32_t builds = 0;  // glyphs made since the object was
    TokenValues tokens;
    LineCache lineCache;
    SettingsWatch watch;

    DrawRow frameRows[config::kMaxRows];  // the rows of the frame being drawn

    Graphics& graphics;
};

}  // namespace overlay
