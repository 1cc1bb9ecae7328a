// A private working directory holding a settings file at the plug-in's relative path, made the
// current directory for the duration of a test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ostrivane-unit-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::create_directories(dir_ / "Plugins" / "Startup Plugins");
        std::filesystem::current_path(dir_);
    }

    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    // Writes the settings file the plug-in reads.
    void writeSettings(const std::string& contents) {
        std::ofstream out(settingsFile(), std::ios::binary | std::ios::trunc);
        out << contents;
    }

    void removeSettings() { std::filesystem::remove_all(settingsFile()); }

    std::filesystem::path settingsFile() const { return dir_ / "Plugins" / "Startup Plugins" / "Ostrivane.ini"; }

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};
