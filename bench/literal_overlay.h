// A literal rendition of the overlay's per-frame token work, kept only as a benchmark baseline:
// both substitution buffers are zero-filled on every pass, every line runs all seven passes,
// every value is formatted every frame, and the matcher copies a character that breaks a partial
// match without retrying it.
#pragma once

#include <cstdint>

#include "host/host_interface.h"
#include "overlay/clock.h"

namespace bench {

class LiteralOverlay {
public:
    static constexpr int kRows = 28;
    static constexpr int kTokens = 7;
    static constexpr int kField = 260;

    LiteralOverlay(const host::HostSceneState* scene, host::HostServiceTable* services, const overlay::Clock* clock);

    void setRow(int row, const char* text);
    void restartElapsed();
    // One visible frame without OpenGL; returns a checksum of the drawn text so nothing is optimised away.
    std::uint32_t frame();

private:
    void refreshTokenValues();
    int substituteToken(char* dst, const char* src, const char* pattern, const char* replacement, int maxLen);

    const host::HostSceneState* hostScene;
    host::HostServiceTable* hostServices;
    const overlay::Clock* clockSource;
    host::CameraHandle lastCamera = nullptr;
    std::uint32_t startTick = 0;
    char rows[kRows][kField] = {};
    int rowTokenCounts[kRows];
    char names[kTokens][kField] = {};
    char values[kTokens][kField] = {};
    char lineBuf[1024] = {};
    char workBuffer[4096] = {};
    char matchBuffer[32] = {};
};

}  // namespace bench
