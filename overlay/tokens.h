// The tokens a line may hold, in the order their passes run.
#pragma once

namespace overlay {

enum TokenIndex {
    kTokenCameraName,
    kTokenDate,
    kTokenTime,
    kTokenElapsed,
    kTokenSelectedFaces,
    kTokenSelectedEdges,
    kTokenSelectedVertices,
    kTokenFramesPerSecond,
    kTokenSelectionMode,
    kTokenSelectionCount,
    kTokenCount
};

extern const char* const kTokenNames[kTokenCount];

}  // namespace overlay
