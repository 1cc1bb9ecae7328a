#include "literal_overlay.h"

#include <cstdio>
#include <cstring>

namespace bench {

namespace {
// Copies `text` with its terminator to the end of the current contents of `buffer`.
void appendText(char* buffer, const char* text) { std::memcpy(buffer + std::strlen(buffer), text, std::strlen(text) + 1); }

const char* const kNames[LiteralOverlay::kTokens] = {
    "*CAMERA_NAME*", "*CUR_DATE*", "*CUR_TIME*", "*ELAPSED*", "*SEL_FACES*", "*SEL_EDGES*", "*SEL_VERTICES*",
};
}  // namespace

LiteralOverlay::LiteralOverlay(const host::HostSceneState* scene, host::HostServiceTable* services,
                               const overlay::Clock* clock)
    : hostScene(scene), hostServices(services), clockSource(clock) {
    for (int t = 0; t < kTokens; ++t) std::snprintf(names[t], kField, "%s", kNames[t]);
    for (int& count : rowTokenCounts) count = -1;
}

void LiteralOverlay::setRow(int row, const char* text) {
    std::snprintf(rows[row], kField, "%s", text);
    rowTokenCounts[row] = -1;
}

void LiteralOverlay::restartElapsed() { startTick = clockSource->tickMilliseconds(); }

void LiteralOverlay::refreshTokenValues() {
    const host::CameraHandle camera = hostScene->activeViewHolder->activeView->camera;
    if (camera != lastCamera) {
        const char* name = "Free Ortho";
        if (camera == hostScene->bottomCamera) name = "Bottom";
        else if (camera == hostScene->perspectiveCamera) name = "Main Perspective";
        else if (camera == hostScene->topCamera) name = "Top";
        else if (camera == hostScene->backCamera) name = "Back";
        else if (camera == hostScene->frontCamera) name = "Front";
        else if (camera == hostScene->leftCamera) name = "Left";
        else if (camera == hostScene->rightCamera) name = "Right";
        std::strncpy(values[0], name, kField);
        lastCamera = camera;
    }
    platform::CalendarTime local{};
    clockSource->toLocalTime(clockSource->calendarNow(), &local);
    std::sprintf(values[1], "%04d-%02d-%02d", local.year + 1900, local.month + 1, local.day);
    std::sprintf(values[2], "%02d:%02d:%02d", local.hour, local.minute, local.second);
    const std::uint32_t elapsedMs = clockSource->tickMilliseconds() - startTick;
    const std::uint32_t s = elapsedMs / 1000;
    std::sprintf(values[3], "%02d:%02d:%02d", int(s / 60 / 60), int((s / 60) % 60), int(s % 60));
    const int faces = hostServices->selectionMode() == 0 ? hostScene->faceSelection->selectedCount : 0;
    std::sprintf(values[4], "%d", faces);
    const int edges = hostServices->selectionMode() == 1 ? hostScene->edgeSelection->selectedCount : 0;
    std::sprintf(values[5], "%d", edges);
    const int vertices = hostServices->selectionMode() == 2 ? hostScene->vertexSelection->selectedCount : 0;
    std::sprintf(values[6], "%d", vertices);
}

int LiteralOverlay::substituteToken(char* dst, const char* src, const char* pattern, const char* replacement,
                                    int maxLen) {
    std::memset(matchBuffer, 0, sizeof matchBuffer);
    std::memset(workBuffer, 0, sizeof workBuffer);
    int count = 0;
    if (dst == nullptr || pattern == nullptr || src == nullptr || replacement == nullptr || *pattern == '\0') return 0;
    const std::size_t patternLength = std::strlen(pattern);
    std::size_t pos = 0;
    std::size_t m = 0;
    for (const char* c = src; *c != '\0'; ++c) {
        if (*c == pattern[m]) {
            matchBuffer[m++] = *c;
            continue;
        }
        if (m > 0) {
            if (m == patternLength) {
                appendText(workBuffer, replacement);
                ++count;
                pos += std::strlen(replacement);
            } else {
                appendText(workBuffer, matchBuffer);
                pos += m;
            }
            std::memset(matchBuffer, 0, sizeof matchBuffer);
        }
        workBuffer[pos++] = *c;
        m = 0;
    }
    if (m > 0) {
        if (m == patternLength) {
            appendText(workBuffer, replacement);
            ++count;
        } else {
            appendText(workBuffer, matchBuffer);
        }
    }
    std::strncpy(dst, workBuffer, static_cast<std::size_t>(maxLen));
    return count;
}

std::uint32_t LiteralOverlay::frame() {
    refreshTokenValues();
    std::uint32_t checksum = 0;
    for (int row = 0; row < kRows; ++row) {
        if (rows[row][0] == '\0') continue;
        std::strcpy(lineBuf, rows[row]);
        if (rowTokenCounts[row] != 0) {
            int total = 0;
            for (int t = 0; t < kTokens; ++t) total += substituteToken(lineBuf, lineBuf, names[t], values[t], 1024);
            rowTokenCounts[row] = total;
        }
        checksum = checksum * 31 + static_cast<std::uint32_t>(std::strlen(lineBuf)) + static_cast<unsigned char>(lineBuf[0]);
    }
    return checksum;
}

}  // namespace bench
