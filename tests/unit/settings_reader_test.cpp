#include "config/settings_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings_location.h"
#include "settings_file_fixture.h"

namespace {

using config::SettingsReader;

class SettingsReaderTest : public SettingsFileTest {
protected:
    void SetUp() override {
        SettingsFileTest::SetUp();
        ASSERT_EQ(reader.setFilePath(config::kSettingsPath), 1);
    }

    SettingsReader reader;
};

TEST_F(SettingsReaderTest, ReadStringAcceptsOnlyValuesThatFitWithTheirTerminator) {
    writeSettings("[S]\nK=abcd\n");
    char dst[8];
    std::int32_t size = 5;
    std::int32_t found = -7;
    EXPECT_EQ(reader.readString("S", "K", dst, &size, &found), 1);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(size, 4);
    EXPECT_STREQ(dst, "abcd");

    // Four characters do not fit in four bytes with a terminator: refused whole, length reported.
    std::memset(dst, 'x', sizeof dst);
    size = 4;
    EXPECT_EQ(reader.readString("S", "K", dst, &size, &found), 0);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(std::string(dst, 4), std::string(4, '\0'));
    EXPECT_EQ(dst[4], 'x');  // nothing written beyond the stated capacity
}

TEST_F(SettingsReaderTest, ReadStringTreatsMissingAndEmptyAlikeAndSurvivesNullDestination) {
    writeSettings("[S]\nEmpty=\n");
    char dst[16];
    for (const char* key : {"Empty", "Missing"}) {
        std::int32_t size = sizeof dst;
        std::int32_t found = 1;
        EXPECT_EQ(reader.readString("S", key, dst, &size, &found), 0) << key;
        EXPECT_EQ(found, 0);
        EXPECT_EQ(size, 0);
        EXPECT_STREQ(dst, "");
    }
    std::int32_t size = 123;
    std::int32_t found = 1;
    EXPECT_EQ(reader.readString("S", "Empty", nullptr, &size, &found), 0);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(size, 123);
}

TEST_F(SettingsReaderTest, ReadIntFollowsAtolAndSaturates) {
    writeSettings("[S]\nA=12abc\nB=abc\nC=  -42\nD=+7\nE=3.9\nF=99999999999\nG=-99999999999\n");
    struct Case {
        const char* key;
        std::int32_t value;
        std::int32_t found;
    } cases[] = {{"A", 12, 1},          {"B", 0, 1},          {"C", -42, 1},
                 {"D", 7, 1},           {"E", 3, 1},          {"F", 2147483647, 1},
                 {"G", -2147483647 - 1, 1}, {"Missing", 0, 0}};
    for (const Case& c : cases) {
        std::int32_t value = -1;
        std::int32_t found = -1;
        EXPECT_EQ(reader.readInt("S", c.key, &value, &found), c.value) << c.key;
        EXPECT_EQ(value, c.value) << c.key;
        EXPECT_EQ(found, c.found) << c.key;
    }
}

TEST_F(SettingsReaderTest, SetFilePathRefusesNamesThatWouldNotStayTerminated) {
    SettingsReader table;
    EXPECT_EQ(table.setFilePath(nullptr), 0);
    EXPECT_EQ(table.setFilePath(""), 0);
    ASSERT_EQ(table.setFilePath("first.ini"), 1);
    EXPECT_EQ(table.setFilePath(std::string(260, 'a').c_str()), 0);
    EXPECT_STREQ(table.filePath(), "first.ini");
    const std::string longest(259, 'b');
    EXPECT_EQ(table.setFilePath(longest.c_str()), 1);
    EXPECT_EQ(std::string(table.filePath()), longest);
}

}  // namespace
