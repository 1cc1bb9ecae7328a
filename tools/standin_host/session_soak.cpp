// The soak: many frames with the host's state changing every frame and reloads in between,
// checking that display lists and memory stay flat.
#include <cstdio>

#include "host_clutter.h"
#include "session.h"

namespace standin {

void Session::soak(long frames, long reloadEvery) {
    ensureBound();
    ensureGl();
    // Growth allowed between the end of the first quarter and the end: allocator and driver noise,
    // far below what a leak of one glyph block or one settings parse per reload would add up to.
    constexpr long kMemoryToleranceKb = 2048;
    const long warmUp = frames / 4 > 0 ? frames / 4 : 1;
    const Word drawingFunction = 0;
    long listsAtWarmUp = -1;
    long texturesAtWarmUp = -1;
    long memoryAtWarmUp = -1;
    const Camera cameras[] = {Camera::Top, Camera::Front, Camera::Perspective, Camera::Free};
    for (long frame = 0; frame < frames; ++frame) {
        const auto count = static_cast<std::int32_t>(frame);
        records.setSelectionCount(Selection::Faces, count);
        records.setSelectionCount(Selection::Edges, count + 1);
        records.setSelectionCount(Selection::Vertices, count + 2);
        records.setCamera(cameras[frame % 4]);
        if (reloadEvery > 0 && frame > 0 && frame % reloadEvery == 0) {
            if (!call(0, {static_cast<Word>(kReloadCommand)}).flag) fail("runFunction(4) answered false");
        }
        if (!call(24, {drawingFunction}).flag) fail("drawFunction(0) answered false during the soak");
        gl->endFrame();
        if (frame % 256 == 0) gl->pump();
        if (frame + 1 == warmUp) {
            listsAtWarmUp = countLiveLists();
            texturesAtWarmUp = countLiveTextures();
            memoryAtWarmUp = processMemoryKb();
        }
    }
    setupPending = true;
    const long lists = countLiveLists();
    const long textures = countLiveTextures();
    const long memory = processMemoryKb();
    std::printf("standin_host: soak of %ld frames: live display lists %ld -> %ld, live textures %ld -> %ld, "
                "memory %ld KiB -> %ld KiB\n",
                frames, listsAtWarmUp, lists, texturesAtWarmUp, textures, memoryAtWarmUp, memory);
    if (lists != listsAtWarmUp) {
        fail("live display lists went from " + std::to_string(listsAtWarmUp) + " to " + std::to_string(lists));
    }
    if (textures != texturesAtWarmUp) {
        fail("live textures went from " + std::to_string(texturesAtWarmUp) + " to " + std::to_string(textures));
    }
    if (memory >= 0 && memoryAtWarmUp >= 0 && memory - memoryAtWarmUp > kMemoryToleranceKb) {
        fail("memory grew from " + std::to_string(memoryAtWarmUp) + " KiB to " + std::to_string(memory) + " KiB");
    }
}

}  // namespace standin
