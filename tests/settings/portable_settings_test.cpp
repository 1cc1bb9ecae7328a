// The native settings file: the plug-in's Windows path, files that are not there or not files,
// large files, and batches.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/settings_location.h"
#include "platform/platform.h"
#include "settings_file_fixture.h"

namespace {

constexpr const char* kSettingsPath = "Plugins\\Startup Plugins\\Ostrivane.ini";
constexpr std::uint32_t kPluginCapacity = 260;

class PortableSettings : public SettingsFileTest {
protected:
    void TearDown() override {
        platform::endSettingsBatch();
        SettingsFileTest::TearDown();
    }

    static std::string read(const char* section, const char* key) {
        char value[kPluginCapacity];
        const std::uint32_t length = platform::readSettingsValue(kSettingsPath, section, key, value, kPluginCapacity);
        EXPECT_EQ(value[length], '\0');
        return std::string(value, length);
    }

};

TEST_F(PortableSettings, ReadsThePluginsBackslashPath) {
    writeSettings("[SECTION1]\r\nROWDATA1=hello\r\n");
    EXPECT_TRUE(platform::settingsFileReadable(kSettingsPath));
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "hello");
}

TEST_F(PortableSettings, MissingFileReadsEmpty) {
    EXPECT_FALSE(platform::settingsFileReadable(kSettingsPath));
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "");
    std::filesystem::remove_all("Plugins");
    EXPECT_FALSE(platform::settingsFileReadable(kSettingsPath));
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "");
}

TEST_F(PortableSettings, DirectoryInPlaceOfTheFileReadsAsMissing) {
    std::filesystem::create_directory(settingsFile());
    EXPECT_FALSE(platform::settingsFileReadable(kSettingsPath));
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "");
}

TEST_F(PortableSettings, FifoInPlaceOfTheFileReadsAsMissingWithoutWaiting) {
    ASSERT_EQ(mkfifo(settingsFile().c_str(), 0600), 0);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(platform::settingsFileReadable(kSettingsPath));
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(PortableSettings, EmptyFileIsReadableAndHoldsNothing) {
    writeSettings("");
    EXPECT_TRUE(platform::settingsFileReadable(kSettingsPath));
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "");
}

TEST_F(PortableSettings, FiveMegabyteFileIsReadToTheEnd) {
    std::string contents = "[SECTION1]\nROWDATA1=first\n";
    while (contents.size() < 5 * 1024 * 1024) contents += "FILLER=0123456789012345678901234567890123456789\n";
    contents += "[SECTION2]\nROWDATA1=last\n";
    writeSettings(contents);
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "first");
    EXPECT_EQ(read("SECTION2", "ROWDATA1"), "last");
}

TEST_F(PortableSettings, FileBeyondTheSizeLimitReadsAsMissing) {
    writeSettings("[SECTION1]\nROWDATA1=x\n");
    // Sparse: no need to write the bytes to get past the limit.
    std::filesystem::resize_file(settingsFile(), 65 * 1024 * 1024);
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "");
}

TEST_F(PortableSettings, NullOrEmptyBufferIsLeftAlone) {
    writeSettings("[SECTION1]\nROWDATA1=x\n");
    char untouched = '#';
    EXPECT_EQ(platform::readSettingsValue(kSettingsPath, "SECTION1", "ROWDATA1", &untouched, 0), 0u);
    EXPECT_EQ(untouched, '#');
    EXPECT_EQ(platform::readSettingsValue(kSettingsPath, "SECTION1", "ROWDATA1", nullptr, 10), 0u);
}

TEST_F(PortableSettings, BatchReadsTheFileOnceForAllItsKeys) {
    writeSettings("[SECTION1]\nROWDATA1=before\n");
    platform::beginSettingsBatch(kSettingsPath);
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "before");
    writeSettings("[SECTION1]\nROWDATA1=after\n");
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "before");
    platform::endSettingsBatch();
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "after");
}

TEST_F(PortableSettings, BatchOfAMissingFileReadsEmpty) {
    platform::SettingsBatch batch(kSettingsPath);
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "");
    EXPECT_EQ(read("CONFIG", "FONT_SIZE"), "");
}

TEST_F(PortableSettings, BatchDoesNotServeOtherPaths) {
    writeSettings("[SECTION1]\nROWDATA1=main\n");
    std::ofstream("Plugins/Startup Plugins/Other.ini", std::ios::binary) << "[SECTION1]\nROWDATA1=other\n";
    platform::SettingsBatch batch("Plugins\\Startup Plugins\\Other.ini");
    EXPECT_EQ(read("SECTION1", "ROWDATA1"), "main");
}

TEST_F(PortableSettings, StampsTellASaveAndRefuseWhatIsNoFile) {
    writeSettings("[SECTION1]\nROWDATA1=x\n");
    platform::FileStamp first{};
    ASSERT_TRUE(platform::settingsFileStamp(kSettingsPath, &first));
    EXPECT_EQ(first.size, 22u);
    writeSettings("[SECTION1]\nROWDATA1=xy\n");
    platform::FileStamp second{};
    ASSERT_TRUE(platform::settingsFileStamp(kSettingsPath, &second));
    EXPECT_NE(first, second);
    std::filesystem::remove(settingsFile());
    EXPECT_FALSE(platform::settingsFileStamp(kSettingsPath, &second));
    std::filesystem::create_directory(settingsFile());
    EXPECT_FALSE(platform::settingsFileStamp(kSettingsPath, &second));
}

TEST_F(PortableSettings, LibraryFolderFileIsNeverCut) {
    char path[260];
    ASSERT_TRUE(platform::libraryFolderFile("Ostrivane.ini", path, sizeof path));
    const std::string full = path;
    EXPECT_EQ(full.substr(full.size() - 14), "/Ostrivane.ini");
    // The test program's own folder, as the plug-in's would be its library's.
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(full).parent_path() / "settings_tests"));
    std::memset(path, '#', sizeof path);
    EXPECT_FALSE(platform::libraryFolderFile("Ostrivane.ini", path, static_cast<std::uint32_t>(full.size())));
    EXPECT_EQ(path[0], '#');
    EXPECT_TRUE(platform::libraryFolderFile("Ostrivane.ini", path, static_cast<std::uint32_t>(full.size() + 1)));
}

}  // namespace

namespace {

// The relative path first; the file beside the library only when that names no readable file.
TEST_F(PortableSettings, LocationPrefersTheRelativePathThenTheFileBesideTheLibrary) {
    char beside[config::kTextFieldSize];
    ASSERT_TRUE(platform::libraryFolderFile(config::kSettingsFileName, beside, sizeof beside));
    char path[config::kTextFieldSize];
    writeSettings("[SECTION1]\nROWDATA1=x\n");
    EXPECT_EQ(config::locateSettingsFile(path), config::SettingsLocation::CurrentFolder);
    EXPECT_STREQ(path, config::kSettingsPath);
    removeSettings();
    EXPECT_EQ(config::locateSettingsFile(path), config::SettingsLocation::NotFound);
    EXPECT_STREQ(path, config::kSettingsPath);

    std::ofstream(beside) << "[SECTION1]\nROWDATA1=beside\n";
    EXPECT_EQ(config::locateSettingsFile(path), config::SettingsLocation::LibraryFolder);
    EXPECT_STREQ(path, beside);
    std::filesystem::create_directory(settingsFile());  // a folder named like the file is no file
    EXPECT_EQ(config::locateSettingsFile(path), config::SettingsLocation::LibraryFolder);
    writeSettings("");
    std::filesystem::remove(settingsFile());
    writeSettings("[SECTION1]\nROWDATA1=x\n");
    EXPECT_EQ(config::locateSettingsFile(path), config::SettingsLocation::CurrentFolder);
    std::filesystem::remove(beside);
}

}  // namespace
