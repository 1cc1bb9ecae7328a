// The token table and the live values that replace the tokens in every frame.
#include "overlay/tokens.h"

#include <cstring>

#include "overlay/overlay_plugin.h"
#include "overlay/value_format.h"

namespace overlay {

const char* const kTokenNames[kTokenCount] = {
    "*CAMERA_NAME*", "*CUR_DATE*", "*CUR_TIME*", "*ELAPSED*", "*SEL_FACES*", "*SEL_EDGES*", "*SEL_VERTICES*",
};

// ---- Values -------------------------------------------------------------------------------------

void OverlayPlugin::refreshTokenValues() {
    refreshCamera();
    refreshCalendar();
    refreshElapsed();
    refreshSelection();
}

host::CameraHandle OverlayPlugin::activeCamera() const {
    // Every link of the chain is the host's; a missing one reads as no camera.
    if (scene == nullptr || scene->activeViewHolder == nullptr || scene->activeViewHolder->activeView == nullptr) {
        return nullptr;
    }
    return scene->activeViewHolder->activeView->camera;
}

void OverlayPlugin::refreshCamera() {
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
    std::strncpy(tokens.entries[kTokenCameraName].value, name, config::kTextFieldSize - 1);
    lineCache.valueChanged(kTokenCameraName, name, tokens);
    lastCamera = camera;
}

void OverlayPlugin::formatIfChanged(int token, std::int64_t source, const char* format, int a, int b, int c) {
    if (formattedFrom[token] == source) return;
    formatNumbers(tokens.entries[token].value, config::kTextFieldSize, format, a, b, c);
    formattedFrom[token] = source;
    lineCache.valueChanged(token, tokens.entries[token].value, tokens);
}

void OverlayPlugin::refreshCalendar() {
    const std::int64_t now = clock->calendarNow();
    // The calendar moves once a second; most frames have nothing to convert.
    if (calendarConverted && now == clockNow) return;
    clockNow = now;
    // A failed conversion keeps the previous date and time on screen.
    calendarConverted = clock->toLocalTime(clockNow, &localTime);
    if (!calendarConverted) return;
    const int year = localTime.year + 1900;
    const int month = localTime.month + 1;
    const std::int64_t date = (static_cast<std::int64_t>(year) * 100 + month) * 100 + localTime.day;
    const std::int64_t time = (static_cast<std::int64_t>(localTime.hour) * 100 + localTime.minute) * 100 + localTime.second;
    formatIfChanged(kTokenDate, date, "%04d-%02d-%02d", year, month, localTime.day);
    formatIfChanged(kTokenTime, time, "%02d:%02d:%02d", localTime.hour, localTime.minute, localTime.second);
}

void OverlayPlugin::restartElapsed() {
    startTick = clock->tickMilliseconds();
    lastTick = startTick;
    elapsedMs = 0;
}

void OverlayPlugin::refreshElapsed() {
    // Unsigned 32-bit difference: correct across one wrap of the tick between two frames.
    const std::uint32_t now = clock->tickMilliseconds();
    elapsedMs += static_cast<std::uint32_t>(now - lastTick);
    lastTick = now;
    const std::uint64_t seconds = elapsedMs / 1000;
    elapsedSeconds = static_cast<std::int32_t>(seconds % 60);
    elapsedMinutes = static_cast<std::int32_t>((seconds / 60) % 60);
    const std::uint64_t hours = seconds / 3600;
    elapsedHours = hours > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(hours);
    formatIfChanged(kTokenElapsed, static_cast<std::int64_t>(seconds), "%02d:%02d:%02d", elapsedHours, elapsedMinutes,
                    elapsedSeconds);
}

std::int32_t OverlayPlugin::selectionMode() const {
    if (services == nullptr || services->selectionMode == nullptr) return -1;
    return services->selectionMode();
}

void OverlayPlugin::refreshSelection() {
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
