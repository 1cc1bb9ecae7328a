#include "config/page_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "config/settings_location.h"
#include "settings_file_fixture.h"

namespace {

using config::PageTable;

class PageTableTest : public SettingsFileTest {
protected:
    void SetUp() override {
        SettingsFileTest::SetUp();
        ASSERT_EQ(reader.setFilePath(config::kSettingsPath), 1);
    }

    int load(const std::string& contents) {
        writeSettings(contents);
        pages.resetPages();
        return pages.loadPages(reader, "SECTION", "ROWDATA");
    }

    std::string row(int page, int r) const {
        const char* text = pages.rowText(page, r);
        return text != nullptr ? text : "<null>";
    }

    config::SettingsReader reader;
    PageTable pages;
};

TEST_F(PageTableTest, BlankRowKeepsItsPlaceAsAnEmptyLine) {
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=A\nROWDATA2=BLANK\nROWDATA3=C\n"), 1);
    ASSERT_EQ(pages.selectPage(0), 1);
    EXPECT_EQ(pages.rowCount(), 3);
    EXPECT_EQ(row(0, 0), "A");
    EXPECT_EQ(row(0, 1), "");
    EXPECT_EQ(row(0, 2), "C");
}

TEST_F(PageTableTest, BlankComparisonIsExactAndCaseSensitive) {
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=blank\nROWDATA2=BLANKS\nROWDATA3=BLANK\n"), 1);
    EXPECT_EQ(row(0, 0), "blank");
    EXPECT_EQ(row(0, 1), "BLANKS");
    EXPECT_EQ(row(0, 2), "");
}

// Rows arrive in UTF-8 whatever the file holds; each value without a byte-order mark on its own.
TEST_F(PageTableTest, RowsArriveAsUtf8EachValueReadOnItsOwn) {
    const struct {
        const char* text;
        const char* drawn;
        platform::TextSource source;
    } cases[] = {
        {"Caf\xC3\xA9 \xE4\xB8\xAD\xF0\x9F\x98\x80", "Caf\xC3\xA9 \xE4\xB8\xAD\xF0\x9F\x98\x80", platform::TextSource::Utf8},
        {"Caf\xE9 \x80", "Caf\xC3\xA9 \xE2\x82\xAC", platform::TextSource::CodePage},  // Windows-1252
        {"\xC0\xAF", "\xC3\x80\xC2\xAF", platform::TextSource::CodePage},             // overlong: not UTF-8
        {"\xC2\x81 \x01", "\xC2\x81 \x01", platform::TextSource::Utf8},               // controls are kept
        {"plain", "plain", platform::TextSource::Ascii},
    };
    std::string file = "[SECTION1]\n";
    int r = 1;
    for (const auto& c : cases) file += "ROWDATA" + std::to_string(r++) + "=" + c.text + "\n";
    ASSERT_EQ(load(file), 1);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        EXPECT_EQ(row(0, i), cases[i].drawn) << "row " << i + 1;
        EXPECT_EQ(pages.rowRead(0, i).source, cases[i].source) << "row " << i + 1;
    }
    // 259 characters of four bytes each are all kept, in a buffer of kTextBufferSize.
    std::string longRow;
    for (int i = 0; i < 300; ++i) longRow += "\xF0\x9F\x98\x80";
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=" + longRow + "\n"), 1);
    EXPECT_EQ(row(0, 0), longRow.substr(0, 259 * 4));
    EXPECT_TRUE(pages.rowRead(0, 0).cut);
    EXPECT_EQ(pages.rowRead(0, 0).characters, 300u);
}

TEST_F(PageTableTest, GapsEndRowsAndPages) {
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=a\nROWDATA2=b\nROWDATA4=d\n"
                   "[SECTION3]\nROWDATA1=x\n"),
              1);
    pages.selectPage(0);
    EXPECT_EQ(pages.rowCount(), 2);

    // An empty first row ends the page list just like a missing section.
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=a\n[SECTION2]\nROWDATA1=\nROWDATA2=b\n[SECTION3]\nROWDATA1=c\n"), 1);
}

TEST_F(PageTableTest, RowsAndPagesAreCappedAndExtraKeysIgnored) {
    std::string file;
    for (int p = 1; p <= 6; ++p) {
        file += "[SECTION" + std::to_string(p) + "]\n";
        for (int r = 1; r <= 30; ++r) file += "ROWDATA" + std::to_string(r) + "=p" + std::to_string(p) + "r" + std::to_string(r) + "\n";
    }
    ASSERT_EQ(load(file), config::kMaxPages);
    for (int p = 0; p < config::kMaxPages; ++p) {
        ASSERT_EQ(pages.selectPage(p), 1);
        EXPECT_EQ(pages.rowCount(), config::kMaxRows);
    }
    EXPECT_EQ(row(4, 27), "p5r28");
}

TEST_F(PageTableTest, LongValuesArriveCutTo259Characters) {
    const std::string longText(300, 'x');
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=" + longText + "\n"), 1);
    EXPECT_EQ(row(0, 0), std::string(259, 'x'));
}

TEST_F(PageTableTest, ReloadWithFewerPagesShrinksAndMissingFileGivesNone) {
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=a\n[SECTION2]\nROWDATA1=b\n[SECTION3]\nROWDATA1=c\n"), 3);
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=a\n"), 1);
    EXPECT_EQ(pages.selectPage(1), 0);
    EXPECT_EQ(row(1, 0), "<null>");

    removeSettings();
    pages.resetPages();
    EXPECT_EQ(pages.loadPages(reader, "SECTION", "ROWDATA"), 0);
    EXPECT_EQ(pages.rowCount(), 0);
}

TEST_F(PageTableTest, LoadRefusesEmptyPrefixesAndPath) {
    writeSettings("[SECTION1]\nROWDATA1=a\n");
    EXPECT_EQ(pages.loadPages(reader, "", "ROWDATA"), 0);
    EXPECT_EQ(pages.loadPages(reader, "SECTION", nullptr), 0);
    EXPECT_EQ(pages.loadPages(config::SettingsReader(), "SECTION", "ROWDATA"), 0);
}

TEST_F(PageTableTest, CursorRejectsOutOfRangeAndKeepsPosition) {
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=a\nROWDATA2=b\n[SECTION2]\nROWDATA1=c\n"), 2);
    ASSERT_EQ(pages.selectPage(1), 1);
    EXPECT_EQ(pages.selectPage(-1), 0);
    EXPECT_EQ(pages.selectPage(2), 0);
    EXPECT_EQ(pages.rowCount(), 1);  // still on page 1
    ASSERT_EQ(pages.selectRow(0), 1);
    EXPECT_STREQ(pages.currentRowText(), "c");
    EXPECT_EQ(pages.selectRow(1), 0);
    EXPECT_EQ(pages.selectRow(-1), 0);
    EXPECT_STREQ(pages.currentRowText(), "c");

    // A reload that removes the page leaves the cursor out of range: reads are refused, not wrong.
    ASSERT_EQ(load("[SECTION1]\nROWDATA1=a\n"), 1);
    EXPECT_EQ(pages.currentRowText(), nullptr);
    EXPECT_EQ(pages.rowCount(), 0);
}

}  // namespace
