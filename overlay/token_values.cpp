#include "overlay/token_values.h"

#include <climits>
#include <cstring>

#include "overlay/value_format.h"

namespace overlay {

TokenValues::TokenValues() {
    for (std::int64_t& source : formattedFrom) source = kNotFormatted;
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
}

void TokenValues::setValue(int token, const char* text) {
    std::strncpy(values[token], text, kValueSize - 1);
    values[token][kValueSize - 1] = '\0';
    ++changes;
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
    ++changes;
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
    const int year = local.year + 1900;
    const int month = local.month + 1;
    const std::int64_t date = (static_cast<std::int64_t>(year) * 100 + month) * 100 + local.day;
    const std::int64_t time = (static_cast<std::int64_t>(local.hour) * 100 + local.minute) * 100 + local.second;
    formatIfChanged(kTokenDate, date, "%04d-%02d-%02d", year, month, local.day);
    formatIfChanged(kTokenTime, time, "%02d:%02d:%02d", local.hour, local.minute, local.second);
}

void TokenValues::restartElapsed() {
    lastTick = clock->tickMilliseconds();
    elapsedMs = 0;
}

void TokenValues::countElapsed() {
    // Unsigned 32-bit difference: right across one wrap of the tick between two calls.
    const std::uint32_t now = clock->tickMilliseconds();
    elapsedMs += static_cast<std::uint32_t>(now - lastTick);
    lastTick = now;
}

void TokenValues::refreshElapsed() {
    const std::uint64_t seconds = elapsedMs / 1000;
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
    };
    static constexpr Source kSources[] = {
        {kTokenSelectedFaces, host::kFaceMode, &host::HostSceneState::faceSelection},
        {kTokenSelectedEdges, host::kEdgeMode, &host::HostSceneState::edgeSelection},
        {kTokenSelectedVertices, host::kVertexMode, &host::HostSceneState::vertexSelection},
    };
    for (const Source& source : kSources) {
        // The host is asked once per token; a record is read only in its own mode.
        std::int32_t count = 0;
        if (selectionMode() == source.mode && scene != nullptr) {
            const host::HostSelectionRecord* record = scene->*source.record;
            if (record != nullptr) count = record->selectedCount;
        }
        formatIfChanged(source.token, count, "%d", count, 0, 0);
    }
}

}  // namespace overlay
