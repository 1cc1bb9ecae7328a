// The settings file a fuzz target hands its input over in.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// Each fuzzing process writes its inputs to a settings file in a directory of its own. The
// current directory is left alone: libFuzzer reads relative corpus paths after the first input.
inline const std::string& settingsFile() {
    static std::string dir;
    static std::string file;
    if (dir.empty()) {
        char pattern[] = "/tmp/ostrivane-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        dir = pattern;
        file = dir + "/Ostrivane.ini";
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        });
    }
    return file;
}

// Writes `size` bytes of `data` as the settings file and returns its path.
inline const std::string& writeSettingsFile(const std::uint8_t* data, std::size_t size) {
    const std::string& path = settingsFile();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}
