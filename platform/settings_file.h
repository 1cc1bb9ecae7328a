// What each platform gives the shared settings-file code (settings_file.cpp): the file's bytes.
#pragma once

#include <cstddef>

namespace platform {

// Larger files read as missing. Generous: real settings files are a few kilobytes.
constexpr std::size_t kMaxSettingsFileBytes = 64 * 1024 * 1024;

// The whole regular file at `path` (the plug-in's form of a path), malloc'ed, its size in
// *length; null when it is missing, not a regular file, larger than kMaxSettingsFileBytes or
// unreadable, or memory runs out. A file that shrinks while it is read gives what was read.
unsigned char* readSettingsBytes(const char* path, std::size_t* length);

}  // namespace platform
