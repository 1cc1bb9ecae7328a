#include "overlay/token_values.h"

#include <climits>
#include <cstring>

#include "overlay/value_format.h"

namespace overlay {

TokenValues::TokenValues() {
    for (std::int64_t& source : formattedFrom) source = kNotFormatted;
    setClockFormats(nullptr, nullptr);
}

void TokenValues::setClockFormats(const char* date, const char* time) {
    const auto keep = [](char (&field)[config::kTextBufferSize], const char* format, const char* fallback) {
        std::strncpy(field, format != nullptr && format[0] != '\0' ? format : fallback, sizeof field - 1);
        field[sizeof field - 1] = '\0';
    };
    keep(dateFormat, date, config::kDefaultDateFormat);
    keep(timeFormat, time, config::kDefaultTimeFormat);
    dateFields = calendarFields(dateFormat);
    timeFields = calendarFields(timeFormat);
    formattedFrom[kTokenDate] = kNotFormatted;
    formattedFrom[kTokenTime] = kNotFormatted;
    calendarConverted = false;
}

void TokenValues::attach(const host::HostSceneState* sceneState, host::HostServiceTable* serviceTable) {
    scene = sceneState;
    services = serviceTable;
}

void TokenValues::refresh() {
    refreshCamera();
    refreshCalendar();
    refreshElapsed();
    refreshSelection();
    formatIfChanged(kTokenFramesPerSecond, framesPerSecond, "%d", static_cast<int>(framesPerSecond), 0, 0);
}

void TokenValues::setValue(int token, const char* text) {
    std::strncpy(values[token], text, kValueSize - 1);
    values[token][kValueSize - 1] = '\0';
    changedAt[token] = ++changes;
}

// ---- Camera -------------------------------------------------------------------------------------

host::CameraHandle TokenValues::activeCamera() const {
    // Every link of the chain is the host's; a missing one reads as no camera.
    if (scene == nullptr || scene->activeViewHolder == nullptr || scene->activeViewHolder->activeView == nullptr) {
        return nullptr;
    }
    return scene->activeViewHolder->activeView->camera;
}

void TokenValues::refreshCamera() {
    const host::CameraHandle camera = activeCamera();
    if (camera == lastCamera) return;

    const char* name = "Free Ortho";
    if (scene != nullptr) {
        const struct {
            host::CameraHandle handle;
            const char* name;
        } candidates[] = {
            {scene->bottomCamera, "Bottom"}, {scene->perspectiveCamera, "Main Perspective"},
            {scene->topCamera, "Top"},       {scene->backCamera, "Back"},
            {scene->frontCamera, "Front"},   {scene->leftCamera, "Left"},
            {scene->rightCamera, "Right"},
        };
        for (const auto& candidate : candidates) {
            if (candidate.handle == camera) {
                name = candidate.name;
                break;
            }
        }
    }
    setValue(kTokenCameraName, name);
    lastCamera = camera;
}

// ---- Clocks -------------------------------------------------------------------------------------

void TokenValues::formatIfChanged(int token, std::int64_t source, const char* format, int a, int b, int c) {
    if (formattedFrom[token] == source) return;
    formatNumbers(values[token], kValueSize, format, a, b, c);
    formattedFrom[token] = source;
    changedAt[token] = ++changes;
}

void TokenValues::reloadTimeZone() {
    clock->reloadTimeZone();
    calendarConverted = false;  // the same second may read differently in the new zone
}

void TokenValues::refreshCalendar() {
    const std::int64_t now = clock->calendarNow();
    // The calendar moves once a second; most frames have nothing to convert.
    if (calendarConverted && now == calendarSeconds) return;
    calendarSeconds = now;
    // A failed conversion keeps the previous date and time on screen.
    platform::CalendarTime local = {};
    calendarConverted = clock->toLocalTime(now, &local);
    if (!calendarConverted) return;
    const struct {
        int token;
        const char* format;
        unsigned fields;
    } texts[] = {{kTokenDate, dateFormat, dateFields}, {kTokenTime, timeFormat, timeFields}};
    for (const auto& text : texts) {
        const std::int64_t key = calendarKey(local, text.fields);
        if (formattedFrom[text.token] == key) continue;
        formatCalendar(values[text.token], kClockTextSize, text.format, local, kClockCharacters);
        formattedFrom[text.token] = key;
        changedAt[text.token] = ++changes;
    }
}

void TokenValues::restartElapsed() {
    lastTick = clock->tickMilliseconds();
    tick = lastTick;
    startTick = tick;
    frameSecond = tick / 1000;
    // A second that began at or after the set-up is counted whole.
    frameSecondWhole = tick % 1000 == 0;
    framesInSecond = 0;
    framesPerSecond = 0;
}

void TokenValues::countTicks() {
    // Unsigned 32-bit difference: right across one wrap of the tick between two calls.
    const std::uint32_t now = clock->tickMilliseconds();
    tick += static_cast<std::uint32_t>(now - lastTick);
    lastTick = now;
}

void TokenValues::countFrame() {
    countTicks();
    const std::uint64_t second = tick / 1000;
    if (second != frameSecond) {
        // The last whole second is the one just ended, or an empty one when a second or more
        // passed without a frame. The second of the restart is whole only when it began with it.
        if (second == frameSecond + 1) {
            if (frameSecondWhole) framesPerSecond = framesInSecond;
        } else {
            framesPerSecond = 0;
        }
        frameSecond = second;
        frameSecondWhole = true;
        framesInSecond = 0;
    }
    if (framesInSecond < UINT32_MAX) ++framesInSecond;
}

void TokenValues::refreshElapsed() {
    countTicks();
    const std::uint64_t seconds = (tick - startTick) / 1000;
    const std::uint64_t hours = seconds / 3600;
    formatIfChanged(kTokenElapsed, static_cast<std::int64_t>(seconds), "%02d:%02d:%02d",
                    hours > INT_MAX ? INT_MAX : static_cast<int>(hours), static_cast<int>((seconds / 60) % 60),
                    static_cast<int>(seconds % 60));
}

// ---- Selection ----------------------------------------------------------------------------------

std::int32_t TokenValues::selectionMode() const {
    if (services == nullptr || services->selectionMode == nullptr) return -1;
    return services->selectionMode();
}

void TokenValues::refreshSelection() {
    struct Source {
        int token;
        std::int32_t mode;
        const host::HostSelectionRecord* host::HostSceneState::*record;
        const char* modeName;
    };
    static constexpr Source kSources[] = {
        {kTokenSelectedFaces, host::kFaceMode, &host::HostSceneState::faceSelection, "Faces"},
        {kTokenSelectedEdges, host::kEdgeMode, &host::HostSceneState::edgeSelection, "Edges"},
        {kTokenSelectedVertices, host::kVertexMode, &host::HostSceneState::vertexSelection, "Vertices"},
    };
    // The mode in force is the host's first answer; the count of that mode's token is the count in
    // its own mode.
    std::int32_t activeMode = -1;
    std::int32_t activeCount = 0;
    for (const Source& source : kSources) {
        // The host is asked once per token; a record is read only in its own mode.
        const std::int32_t mode = selectionMode();
        if (&source == &kSources[0]) activeMode = mode;
        std::int32_t count = 0;
        if (mode == source.mode && scene != nullptr) {
            const host::HostSelectionRecord* record = scene->*source.record;
            if (record != nullptr) count = record->selectedCount;
        }
        if (source.mode == activeMode && mode == activeMode) activeCount = count;
        formatIfChanged(source.token, count, "%d", count, 0, 0);
    }
    const char* modeName = "";
    for (const Source& source : kSources) {
        if (source.mode == activeMode) modeName = source.modeName;
    }
    if (std::strcmp(values[kTokenSelectionMode], modeName) != 0) setValue(kTokenSelectionMode, modeName);
    formatIfChanged(kTokenSelectionCount, activeCount, "%d", activeCount, 0, 0);
}

}  // namespace overlay
