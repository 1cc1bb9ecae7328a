// The key table as users read it (settings_dump --keys, the READMEs) says what the plug-in does.
#include "key_listing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "fake_host.h"
#include "overlay/token_values.h"

namespace {

// The row of `key` in the Markdown table.
std::string tableRow(const std::string& key) {
    const std::string table = keys::markdownTable();
    const std::size_t at = table.find("| `" + key + "` |");
    return at == std::string::npos ? "" : table.substr(at, table.find('\n', at) - at);
}

// The fields a row names: "`%Y`" gives 'Y'.
std::set<char> namedFields(const std::string& row) {
    std::set<char> fields;
    for (std::size_t at = row.find("`%"); at != std::string::npos; at = row.find("`%", at + 1)) {
        if (at + 3 < row.size() && row[at + 3] == '`') fields.insert(row[at + 2]);
    }
    return fields;
}

TEST(KeyTable, TheClockFormatsNameEveryFieldThePluginReplacesAndWhereItCuts) {
    FakeClock::reset();
    overlay::TokenValues values;
    values.setClock(FakeClock::clock());
    // The plug-in's own reading: a field is a character it does not show as written after '%'.
    std::set<char> replaced;
    for (char c = ' '; c < 127; ++c) {
        const char format[] = {'%', c, '\0'};
        values.setClockFormats(format, format);
        ++FakeClock::now;
        values.refresh();
        if (std::strcmp(values.value(overlay::kTokenDate), format) != 0) replaced.insert(c);
        EXPECT_STREQ(values.value(overlay::kTokenTime), values.value(overlay::kTokenDate)) << format;
    }
    ASSERT_FALSE(replaced.empty());
    const std::string longFormat(80, 'x');
    values.setClockFormats(longFormat.c_str(), longFormat.c_str());
    values.refresh();
    const std::string limit = "at most " + std::to_string(std::strlen(values.value(overlay::kTokenDate))) + " characters";
    EXPECT_EQ(std::strlen(values.value(overlay::kTokenTime)), std::strlen(values.value(overlay::kTokenDate)));

    const std::string date = tableRow("DATE_FORMAT");
    EXPECT_EQ(namedFields(date), replaced) << date;
    EXPECT_NE(date.find(limit), std::string::npos) << date;
    const std::string time = tableRow("TIME_FORMAT");
    EXPECT_NE(time.find("the fields of `DATE_FORMAT`"), std::string::npos) << time;
    EXPECT_NE(time.find(limit), std::string::npos) << time;
}

}  // namespace
