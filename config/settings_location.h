// Which settings file the plug-in reads: "Plugins\Startup Plugins\Ostrivane.ini" relative to the
// host's current directory, as it always has, and when that names no readable file, Ostrivane.ini
// beside the plug-in's own library.
#pragma once

#include "config/page_table.h"

namespace config {

// Relative to the host's current directory.
constexpr char kSettingsPath[] = "Plugins\\Startup Plugins\\Ostrivane.ini";
// Beside the plug-in's library.
constexpr char kSettingsFileName[] = "Ostrivane.ini";

enum class SettingsLocation {
    CurrentFolder,  // the relative path names a readable file
    LibraryFolder,  // it does not; the file beside the library is readable
    NotFound,       // neither: `path` is the relative path, which reads as an empty file
};

// Writes the path to read into `path` and says why that one. A folder whose path would not fit
// in it is not tried.
SettingsLocation locateSettingsFile(char (&path)[kTextFieldSize]);

}  // namespace config
