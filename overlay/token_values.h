// The live values that replace the tokens: the camera of the host's active view, the local date
// and time, the time since set-up and the selection counts. Each value is formatted only when
// what it shows changed, and version() tells the rows that something did.
#pragma once

#include <cstdint>

#include "host/host_interface.h"
#include "overlay/clock.h"
#include "overlay/tokens.h"

namespace overlay {

class TokenValues {
public:
    // A value holds at most kValueSize - 1 characters.
    static constexpr int kValueSize = 260;

    TokenValues();

    // The host's records the values come from; either may be null (no camera, no selection).
    void attach(const host::HostSceneState* scene, host::HostServiceTable* services);
    void setClock(const Clock* source) { clock = source != nullptr ? source : &systemClock(); }
    const Clock& clockSource() const { return *clock; }

    // Restarts *ELAPSED* from 00:00:00.
    void restartElapsed();
    // Adds the ticks since the last call to *ELAPSED*. Called in every frame the host draws,
    // hidden ones included: a 32-bit tick difference is right only across at most one wrap.
    void countElapsed();
    // Rereads the system's time zone; the next refresh converts the calendar time again.
    void reloadTimeZone();

    // Once per drawn frame: the camera, the calendar, the elapsed text and the selection (which
    // asks the host for its selection mode three times).
    void refresh();

    const char* name(int token) const { return kTokenNames[token]; }
    const char* value(int token) const { return values[token]; }
    // Changes whenever a value changes, and only then.
    std::uint32_t version() const { return changes; }

private:
    void refreshCamera();
    void refreshCalendar();
    void refreshElapsed();
    void refreshSelection();
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

    host::CameraHandle lastCamera = nullptr;  // whose name the camera value holds; none at first

    // What each value was last formatted from, so unchanged values are not formatted again.
    static constexpr std::int64_t kNotFormatted = INT64_MIN;
    std::int64_t formattedFrom[kTokenCount];
    std::int64_t calendarSeconds = 0;
    bool calendarConverted = false;  // the date and time show calendarSeconds in the current zone

    std::uint64_t elapsedMs = 0;  // 64 bits: the 32-bit tick wraps after 49.7 days
    std::uint32_t lastTick = 0;
};

}  // namespace overlay
