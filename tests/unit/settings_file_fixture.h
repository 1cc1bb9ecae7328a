// A test fixture that gives each test a private working directory for the plug-in's settings file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../support/settings_directory.h"

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { dir = std::make_unique<SettingsDirectory>(); }
    void TearDown() override { dir.reset(); }

    void writeSettings(const std::string& contents) { dir->write(contents); }
    void removeSettings() { std::filesystem::remove_all(settingsFile()); }
    std::filesystem::path settingsFile() const { return dir->settingsFile(); }

private:
    std::unique_ptr<SettingsDirectory> dir;
};
