// A private working directory holding a settings file at the plug-in's relative path, made the
// current directory while the object lives.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class SettingsDirectory {
public:
    SettingsDirectory() {
        char pattern[] = "/tmp/ostrivane-settings-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        dir = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::create_directories(dir / "Plugins" / "Startup Plugins");
        std::filesystem::current_path(dir);
    }
    ~SettingsDirectory() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    SettingsDirectory(const SettingsDirectory&) = delete;
    SettingsDirectory& operator=(const SettingsDirectory&) = delete;

    // Writes the settings file the plug-in reads.
    void write(const std::string& contents) const {
        std::ofstream out(settingsFile(), std::ios::binary | std::ios::trunc);
        out << contents;
    }

    std::filesystem::path settingsFile() const { return dir / "Plugins" / "Startup Plugins" / "Ostrivane.ini"; }

private:
    std::filesystem::path dir;
    std::filesystem::path previous;
};
