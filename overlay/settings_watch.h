// Which settings file the overlay was loaded from, and whether it was saved since: what
// AUTO_RELOAD looks at, once a second by the millisecond tick.
#pragma once

#include <cstdint>

#include "config/page_table.h"
#include "platform/platform.h"

namespace overlay {

class SettingsWatch {
public:
    // How often savedSince looks at the file.
    static constexpr std::uint32_t kLookEveryMs = 1000;

    // Finds the file to load now (the relative path, or the one beside the library), stamps it
    // before it is read, so that a save during the read shows at the next look, and returns its
    // path. `now` is the tick; the next look comes a second later.
    const char* locate(std::uint32_t now);
    const char* path() const { return filePath; }

    // At most once a second by `now`: true when the file is there and its last-write time or size
    // differs from the stamp taken when it was located. A missing file (or a directory in its
    // place) is never "saved": what is shown stays until the file is back.
    bool savedSince(std::uint32_t now);

private:
    char filePath[config::kTextFieldSize] = {};
    platform::FileStamp stamp = {};
    bool stampKnown = false;
    std::uint32_t lastLook = 0;
};

}  // namespace overlay
