// The key table as users read it (settings_dump --keys, the READMEs) says what the plug-in does.
#include "key_listing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "fake_host.h"
#include "overlay/token_values.h"

TEST(KeyTable, TheClockFormatsNameEveryFieldThePluginReplacesAndWhereItCuts) {
    FakeClock::reset();
    overlay::TokenValues values;
    values.setClock(FakeClock::clock());
    // The plug-in's own reading: a field is a character after '%' that it does not show as written.
    std::set<char> replaced;
    for (char c = ' '; c < 127; ++c) {
        const char format[] = {'%', c, '\0'};
        values.setClockFormats(format, format);
        values.refresh();
        if (std::strcmp(values.value(overlay::kTokenDate), format) != 0) replaced.insert(c);
        EXPECT_STREQ(values.value(overlay::kTokenTime), values.value(overlay::kTokenDate)) << format;
    }
    const std::string longFormat(80, 'x');
    values.setClockFormats(longFormat.c_str(), longFormat.c_str());
    values.refresh();
    const std::string cut = "at most " + std::to_string(std::strlen(values.value(overlay::kTokenDate))) + " characters";
    EXPECT_EQ(std::strlen(values.value(overlay::kTokenTime)), std::strlen(values.value(overlay::kTokenDate)));

    const std::string table = keys::markdownTable();
    const auto row = [&](const std::string& key) {
        const std::size_t at = table.find("| `" + key + "` |");
        return at == std::string::npos ? "" : table.substr(at, table.find('\n', at) - at);
    };
    std::set<char> named;  // "`%Y`" names 'Y'
    const std::string date = row("DATE_FORMAT");
    for (std::size_t at = date.find("`%"); at != std::string::npos; at = date.find("`%", at + 1)) {
        if (at + 3 < date.size() && date[at + 3] == '`') named.insert(date[at + 2]);
    }
    EXPECT_EQ(named, replaced) << date;
    EXPECT_NE(date.find(cut), std::string::npos) << date;
    const std::string time = row("TIME_FORMAT");
    EXPECT_NE(time.find("the fields of `DATE_FORMAT`"), std::string::npos) << time;
    EXPECT_NE(time.find(cut), std::string::npos) << time;
}
