#include "config/settings_location.h"

#include <cstring>

#include "config/page_table.h"
#include "platform/platform.h"

namespace config {

SettingsLocation locateSettingsFile(char* path, std::size_t capacity) {
    static_assert(sizeof kSettingsPath <= kTextFieldSize, "the relative path fits the path field");
    const std::size_t limit = capacity < kTextFieldSize ? capacity : kTextFieldSize;
    std::memcpy(path, kSettingsPath, sizeof kSettingsPath);
    if (platform::settingsFileReadable(kSettingsPath)) return SettingsLocation::CurrentFolder;
    char beside[kTextFieldSize];
    if (platform::libraryFolderFile(kSettingsFileName, beside, static_cast<std::uint32_t>(limit)) &&
        platform::settingsFileReadable(beside)) {
        std::memcpy(path, beside, std::strlen(beside) + 1);
        return SettingsLocation::LibraryFolder;
    }
    return SettingsLocation::NotFound;
}

}  // namespace config
