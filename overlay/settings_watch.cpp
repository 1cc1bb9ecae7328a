#include "overlay/settings_watch.h"

#include "config/settings_location.h"

namespace overlay {

const char* SettingsWatch::locate(std::uint32_t now) {
    config::locateSettingsFile(filePath);
    stampKnown = platform::settingsFileStamp(filePath, &stamp);
    lastLook = now;
    return filePath;
}

bool SettingsWatch::savedSince(std::uint32_t now) {
    if (static_cast<std::uint32_t>(now - lastLook) < kLookEveryMs) return false;
    lastLook = now;
    platform::FileStamp current;
    if (!platform::settingsFileStamp(filePath, &current)) return false;
    return !stampKnown || current != stamp;
}

}  // namespace overlay
