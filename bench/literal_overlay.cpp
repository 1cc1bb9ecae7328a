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
    : scene_(scene), services_(services), clock_(clock) {
    for (int t = 0; t < kTokens; ++t) std::snprintf(names_[t], kField, "%s", kNames[t]);
    for (int& count : rowTokenCounts_) count = -1;
}

void LiteralOverlay::setRow(int row, const char* text) {
    std::snprintf(rows_[row], kField, "%s", text);
    rowTokenCounts_[row] = -1;
}

void LiteralOverlay::restartElapsed() { startTick_ = clock_->tickMilliseconds(); }

void LiteralOverlay::refreshTokenValues() {
    const host::CameraHandle camera = scene_->activeViewHolder->activeView->camera;
    if (camera != lastCamera_) {
        const char* name = "Free Ortho";
        if (camera == scene_->bottomCamera) name = "Bottom";
        else if (camera == scene_->perspectiveCamera) name = "Main Perspective";
        else if (camera == scene_->topCamera) name = "Top";
        else if (camera == scene_->backCamera) name = "Back";
        else if (camera == scene_->frontCamera) name = "Front";
        else if (camera == scene_->leftCamera) name = "Left";
        else if (camera == scene_->rightCamera) name = "Right";
        std::strncpy(values_[0], name, kField);
        lastCamera_ = camera;
    }
    platform::CalendarTime local{};
    clock_->toLocalTime(clock_->calendarNow(), &local);
    std::sprintf(values_[1], "%04d-%02d-%02d", local.year + 1900, local.month + 1, local.day);
    std::sprintf(values_[2], "%02d:%02d:%02d", local.hour, local.minute, local.second);
    const std::uint32_t elapsedMs = clock_->tickMilliseconds() - startTick_;
    const std::uint32_t s = elapsedMs / 1000;
    std::sprintf(values_[3], "%02d:%02d:%02d", int(s / 60 / 60), int((s / 60) % 60), int(s % 60));
    const int faces = services_->selectionMode() == 0 ? scene_->faceSelection->selectedCount : 0;
    std::sprintf(values_[4], "%d", faces);
    const int edges = services_->selectionMode() == 1 ? scene_->edgeSelection->selectedCount : 0;
    std::sprintf(values_[5], "%d", edges);
    const int vertices = services_->selectionMode() == 2 ? scene_->vertexSelection->selectedCount : 0;
    std::sprintf(values_[6], "%d", vertices);
}

int LiteralOverlay::substituteToken(char* dst, const char* src, const char* pattern, const char* replacement,
                                    int maxLen) {
    std::memset(match_, 0, sizeof match_);
    std::memset(work_, 0, sizeof work_);
    int count = 0;
    if (dst == nullptr || pattern == nullptr || src == nullptr || replacement == nullptr || *pattern == '\0') return 0;
    const std::size_t patternLength = std::strlen(pattern);
    std::size_t pos = 0;
    std::size_t m = 0;
    for (const char* c = src; *c != '\0'; ++c) {
        if (*c == pattern[m]) {
            match_[m++] = *c;
            continue;
        }
        if (m > 0) {
            if (m == patternLength) {
                appendText(work_, replacement);
                ++count;
                pos += std::strlen(replacement);
            } else {
                appendText(work_, match_);
                pos += m;
            }
            std::memset(match_, 0, sizeof match_);
        }
        work_[pos++] = *c;
        m = 0;
    }
    if (m > 0) {
        if (m == patternLength) {
            appendText(work_, replacement);
            ++count;
        } else {
            appendText(work_, match_);
        }
    }
    std::strncpy(dst, work_, static_cast<std::size_t>(maxLen));
    return count;
}

std::uint32_t LiteralOverlay::frame() {
    refreshTokenValues();
    std::uint32_t checksum = 0;
    for (int row = 0; row < kRows; ++row) {
        if (rows_[row][0] == '\0') continue;
        std::strcpy(lineBuf_, rows_[row]);
        if (rowTokenCounts_[row] != 0) {
            int total = 0;
            for (int t = 0; t < kTokens; ++t) total += substituteToken(lineBuf_, lineBuf_, names_[t], values_[t], 1024);
            rowTokenCounts_[row] = total;
        }
        checksum = checksum * 31 + static_cast<std::uint32_t>(std::strlen(lineBuf_)) + static_cast<unsigned char>(lineBuf_[0]);
    }
    return checksum;
}

}  // namespace bench
