// The plug-in's one object: all overlay state, the function catalogue offered to the host, the
// four commands, the live token values, the graphics set-up and the per-frame drawing, which goes
// through a Graphics (graphics.h).
#pragma once

#include <climits>
#include <cstdint>

#include "config/display_settings.h"
#include "config/page_table.h"
#include "host/host_interface.h"
#include "host/plugin_base.h"
#include "overlay/clock.h"
#include "overlay/graphics.h"
#include "overlay/line_cache.h"
#include "overlay/tokens.h"

namespace overlay {

constexpr int kLineBufferSize = 1024;
constexpr int kFunctionCount = 5;

enum Command : std::int32_t {
    kCommandSwitch = 1,
    kCommandNextPage = 2,
    kCommandPreviousPage = 3,
    kCommandReload = 4,
};

// One line of a frame: the row it shows (its slot and the revision of its text), where it goes,
// what it shows and how far its text advances.
struct FrameLine {
    int slot;
    std::uint32_t revision;
    LinePlace place;
    const char* text;
    std::int32_t advance;  // window pixels
};

// Receives the lines of one frame, top down.
class LineSink {
public:
    virtual void drawLine(const FrameLine& line) = 0;

protected:
    ~LineSink() = default;
};

class OverlayPlugin : public host::PluginBase, private LineSink {
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
    const char* settingsFile() const { return settingsPath; }

    // Per-frame work without drawing, in the order the drawing runs it.
    void refreshTokenValues();
    void composeLines(LineSink& sink);

    // Test seams.
    void setClock(const Clock* source) { clock = source != nullptr ? source : &systemClock(); }
    void restartElapsed();
    bool isVisible() const { return visible; }
    std::int32_t displayedPage() const { return currentPage; }
    bool isSetUp() const { return deviceContext != nullptr; }
    std::uint32_t firstGlyphList() const { return glyphs.glyphs; }
    const GlyphBlocks& glyphResources() const { return glyphs; }
    const char* tokenValue(int token) const { return tokens.entries[token].value; }
    const config::PageTable& pageTable() const { return pages; }
    const config::DisplaySettings& displaySettings() const { return settings; }
    LineCache::Counters lineCacheCounters() const { return lineCache.counters(); }

private:
    // How often AUTO_RELOAD looks at the settings file, by the millisecond tick.
    static constexpr std::uint32_t kReloadCheckMs = 1000;

    void initGraphics();
    void reloadSettingsAndGlyphs();
    void reloadIfSaved();
    void drawBox(const Viewport& view);
    void drawLines();
    void buildGlyphs();
    void deleteGlyphs();
    void drawLine(const FrameLine& line) override;  // collects a drawn frame's lines

    void refreshCamera();
    void refreshCalendar();
    void refreshElapsed();
    void refreshSelection();
    host::CameraHandle activeCamera() const;
    std::int32_t selectionMode() const;

    host::PluginHostRecord* host = nullptr;
    const host::HostSceneState* scene = nullptr;
    host::HostServiceTable* services = nullptr;
    void* hostExtra = nullptr;
    void* deviceContext = nullptr;  // null: graphics not set up
    GlyphBlocks glyphs;  // the font's glyph texture or lists; none until set-up
    platform::GlyphMetrics glyphMetrics = {};
    char lineBuf[kLineBufferSize] = {};
    std::int64_t clockNow = 0;
    platform::CalendarTime localTime = {};
    std::uint64_t elapsedMs = 0;  // kept in 64 bits: the 32-bit tick wraps after 49.7 days
    std::uint32_t startTick = 0;
    std::uint32_t lastTick = 0;
    std::int32_t elapsedHours = 0;
    std::int32_t elapsedMinutes = 0;
    std::int32_t elapsedSeconds = 0;
    bool visible = false;
    std::int32_t currentPage = 0;
    config::PageTable pages;
    config::DisplaySettings settings;
    host::CameraHandle lastCamera = nullptr;
    config::EntryList tokens;

    // What each token value was last formatted from, so unchanged values are not formatted again.
    static constexpr std::int64_t kNotFormatted = INT64_MIN;
    std::int64_t formattedFrom[kTokenCount];
    bool calendarConverted = false;  // localTime holds the conversion of clockNow
    void formatIfChanged(int token, std::int64_t source, const char* format, int a, int b, int c);

    LineCache lineCache;
    FrameLine frameLines[config::kMaxRows] = {};
    int frameLineCount = 0;

    // The text each row was last drawn with and its revision, which changes with the text.
    // Hand-off point: these go once every row keeps its own drawn text and revision.
    std::uint32_t revisionCount = 0;
    std::uint32_t rowRevision[config::kMaxRows] = {};
    char rowDrawn[config::kMaxRows][kLineBufferSize] = {};
    std::uint32_t reviseRow(int row, const char* text);

    // The file the settings were last loaded from, its stamp then, and when AUTO_RELOAD last
    // looked at it.
    char settingsPath[config::kTextFieldSize] = {};
    platform::FileStamp loadedStamp = {};
    bool loadedStampKnown = false;
    std::uint32_t lastReloadCheck = 0;

    Graphics& graphics;
    const Clock* clock = &systemClock();
};

}  // namespace overlay
