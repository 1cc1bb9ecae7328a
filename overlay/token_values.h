// The live values that replace the tokens: the camera of the host's active view, the local date
// and time, the time since set-up, the selection counts, the frame rate and the selection in its
// own mode. Each value is formatted only when what it shows changed, and version() tells the rows
// that something did.
#pragma once

#include <cstdint>

#include "config/display_settings.h"
#include "host/host_interface.h"
#include "overlay/clock.h"
#include "overlay/tokens.h"

namespace overlay {

class TokenValues {
public:
    // A value holds at most kValueSize - 1 bytes; a date or a time at most 31 characters, of up
    // to four bytes of UTF-8 each.
    static constexpr int kValueSize = 1040;
    static constexpr int kClockCharacters = 31;
    static constexpr int kClockTextSize = 4 * kClockCharacters + 1;

    TokenValues();

    // The host's records the values come from; either may be null (no camera, no selection).
    void attach(const host::HostSceneState* scene, host::HostServiceTable* services);
    void setClock(const Clock* source) { clock = source != nullptr ? source : &systemClock(); }
    const Clock& clockSource() const { return *clock; }

    // The formats of *CUR_DATE* and *CUR_TIME* (clock fields of value_format.h); null or empty
    // gives the default. Both are formatted again at the next refresh.
    void setClockFormats(const char* dateFormat, const char* timeFormat);

    // Restarts *ELAPSED* from 00:00:00 and *FPS*'s count, which reads 0 until a whole second of
    // the tick has passed: one that began at or after the restart.
    void restartElapsed();
    // Counts a frame the host drew, hidden ones included, for *FPS*, and the ticks since the
    // last count for *ELAPSED*: a 32-bit tick difference is right only across at most one wrap.
    void countFrame();
    // Rereads the system's time zone; the next refresh converts the calendar time again.
    void reloadTimeZone();

    // Once per drawn frame: the camera, the calendar, the elapsed text, the selection (which asks
    // the host for its selection mode three times) and the frame rate.
    void refresh();

    const char* name(int token) const { return kTokenNames[token]; }
    const char* value(int token) const { return values[token]; }
    // Changes whenever a value changes, and only then.
    std::uint32_t version() const { return changes; }
    // Whether `token`'s value changed after the values were at `since`.
    bool changedAfter(int token, std::uint32_t since) const { return changedAt[token] > since; }

private:
    void refreshCamera();
    void refreshCalendar();
    void refreshElapsed();
    void refreshSelection();
    void countTicks();
    host::CameraHandle activeCamera() const;
    std::int32_t selectionMode() const;
    void setValue(int token, const char* text);
    // Formats `token` from (a, b, c) unless it already shows what `source` stands for.
    void formatIfChanged(int token, std::int64_t source, const char* format, int a, int b, int c);

    const host::HostSceneState* scene = nullptr;
    host::HostServiceTable* services = nullptr;
    const Clock* clock = &systemClock();

    char values[kTokenCount][kValueSize] = {};
    std::uint32_t changes = 1;
    std::uint32_t changedAt[kTokenCount] = {};  // the version each value last changed at

    host::CameraHandle lastCamera = nullptr;  // whose name the camera value holds; none at first

    // What each value was last formatted from, so unchanged values are not formatted again.
    static constexpr std::int64_t kNotFormatted = INT64_MIN;
    std::int64_t formattedFrom[kTokenCount];
    std::int64_t calendarSeconds = 0;
    bool calendarConverted = false;  // the date and time show calendarSeconds in the current zone
    char dateFormat[config::kTextBufferSize] = {};  // whole, as the settings hold them
    char timeFormat[config::kTextBufferSize] = {};
    unsigned dateFields = 0;  // what each format shows
    unsigned timeFields = 0;

    // The tick without its wraps: the 32-bit tick wraps after 49.7 days.
    std::uint64_t tick = 0;
    std::uint32_t lastTick = 0;
    std::uint64_t startTick = 0;

    // Frames counted in the second of `tick` that frameSecond names; framesPerSecond is the count
    // of the last whole second, 0 until one has passed since the restart.
    std::uint64_t frameSecond = 0;
    bool frameSecondWhole = false;  // counting began at or before its start
    std::uint32_t framesInSecond = 0;
    std::uint32_t framesPerSecond = 0;
};

}  // namespace overlay
