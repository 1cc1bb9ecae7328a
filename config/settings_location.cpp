#include "config/settings_location.h"

#include <cstring>

#include "platform/platform.h"

namespace config {

SettingsLocation locateSettingsFile(char (&path)[kTextFieldSize]) {
    static_assert(sizeof kSettingsPath <= kTextFieldSize, "the relative path fits the path field");
    std::memcpy(path, kSettingsPath, sizeof kSettingsPath);
    if (platform::settingsFileReadable(kSettingsPath)) return SettingsLocation::CurrentFolder;
    char beside[kTextFieldSize];
    if (platform::libraryFolderFile(kSettingsFileName, beside, static_cast<std::uint32_t>(sizeof beside)) &&
        platform::settingsFileReadable(beside)) {
        std::memcpy(path, beside, std::strlen(beside) + 1);
        return SettingsLocation::LibraryFolder;
    }
    return SettingsLocation::NotFound;
}

}  // namespace config
