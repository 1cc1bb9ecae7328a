// The settings check tells, line by line, what a file does that its writer did not mean.
#include "settings_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings_file_fixture.h"

namespace {

bool everyFontInstalled(const char*, std::string*) { return true; }
bool noFontInstalled(const char*, std::string* drawn) {
    *drawn = "Fallback Sans";
    return false;
}

class SettingsCheckTest : public SettingsFileTest {
protected:
    check::Outcome run(const std::string& contents, check::FontLookup fonts = &everyFontInstalled) {
        writeSettings(contents);
        messages.clear();
        return check::checkSettingsFile(settingsFile().string(), "Plugins\\Startup Plugins\\Ostrivane.ini", "my.ini",
                                        fonts, &messages);
    }
    std::string all() const {
        std::string text;
        for (const std::string& message : messages) text += message + "\n";
        return text;
    }
    std::vector<std::string> messages;
};

TEST_F(SettingsCheckTest, TheTrapsOfTheFileEachGetALineOfTheirOwn) {
    const std::string file =
        "[CONFIG]\n"
        "HUD_POSX=10\n"                                  // 2
        "FONT_SIZE=20\nFONT_SIZE=22\n"                   // 3, 4
        "COLOR_BLUE=abc\nCOLOR_RED=0x40\nHUD_STEP_Y=12.7\n"  // 5-7
        "FONT_FACE=Missing Face\n"                       // 8
        "BOX_PADDING=65\n"                               // 9
        "[SECTON1]\nROWDATA1=x\n"                        // 10, 11
        "[SECTION1]\n"
        "ROWDATA01=typo\n"                               // 13
        "ROWDATA1=*CAMERA* *cur_date* *SEL_FACE* *ELAPSED*\n"  // 14
        "ROWDATA2=blank\n"                               // 15
        "ROWDATA3=tab\there\n"                           // 16
        "ROWDATA4=Caf\xC3\xA9 \xE4\xB8\xAD\n"            // 17
        "ROWDATA5=" + std::string(300, 'x') + "\n"       // 18
        "ROWDATA6=six\nROWDATA7=seven\n"                 // 19, 20
        "ROWDATA9=after a gap\nROWDATA29=too far\n"      // 21, 22
        "[SECTION3]\nROWDATA1=never\n"                   // 23
        "[SECTION1]\nROWDATA1=again\n";                  // 25
    EXPECT_EQ(run(file, &noFontInstalled), check::Outcome::Warnings);
    const std::string expected[] = {
        "my.ini:2: warning: [CONFIG] has no key HUD_POSX (did you mean HUD_POS_X?)",
        "my.ini:4: warning: FONT_SIZE appears again in [CONFIG]: the first, at line 3, is in force",
        "my.ini:5: warning: COLOR_BLUE=abc is not a whole number: it reads as 0",
        "my.ini:6: warning: COLOR_RED=0x40 is not a whole number: it reads as 0",
        "my.ini:7: warning: HUD_STEP_Y=12.7 is not a whole number: it reads as 12",
        "my.ini:8: warning: font \"Missing Face\" is not installed here: text is drawn in \"Fallback Sans\"",
        "my.ini:9: warning: BOX_PADDING=65 is out of range (0 to 64): the default 4 applies",
        "my.ini:10: warning: [SECTON1] is not a section the plug-in reads (did you mean [SECTION1]?)",
        "my.ini:13: warning: [SECTION1] has no key ROWDATA01 (did you mean ROWDATA1?)",
        "my.ini:14: warning: row 1 of page 1: *CAMERA* is not a token (did you mean *CAMERA_NAME*?)",
        "my.ini:14: warning: row 1 of page 1: *cur_date* is not a token (did you mean *CUR_DATE*?)",
        "my.ini:14: warning: row 1 of page 1: *SEL_FACE* is not a token (did you mean *SEL_FACES*?)",
        "my.ini:15: warning: row 2 of page 1 reads \"blank\"",
        "my.ini:16: warning: row 3 of page 1 holds a tab, which draws nothing",
        "my.ini:17: warning: row 4 of page 1 holds 1 character that Windows-1252 lacks",
        "my.ini:18: warning: ROWDATA5 has 300 characters: only the first 259 are shown",
        "my.ini:20: warning: row 7 of page 1 is below the bottom edge and is not shown (HUD_POS_Y=65, HUD_STEP_Y=12)",
        "my.ini:21: warning: ROWDATA9 is never shown: page 1 ends at ROWDATA8, which is missing",
        "my.ini:22: warning: ROWDATA29 is never shown: a page has at most 28 rows",
        "my.ini:23: warning: [SECTION3] is never read: the pages end before it, as [SECTION2] is missing",
        "my.ini:25: warning: [SECTION1] appears again: only the first, at line 12, is read",
    };
    for (const std::string& line : expected) EXPECT_NE(all().find(line), std::string::npos) << line << "\nin:\n" << all();
    EXPECT_EQ(messages.size(), std::size(expected)) << all();  // and nothing else, *ELAPSED* among it
}

TEST_F(SettingsCheckTest, TextTheReaderConvertedIsNotTakenForUtf8) {
    // After a byte-order mark the reader gives Windows-1252: "ä¸­" arrives as E4 B8 AD, which is
    // also the UTF-8 of a character that Windows-1252 lacks.
    EXPECT_EQ(run("\xEF\xBB\xBF[SECTION1]\nROWDATA1=\xC3\xA4\xC2\xB8\xC2\xAD\n"), check::Outcome::Clean) << all();
}

TEST_F(SettingsCheckTest, ARowOnTheBottomEdgeIsShownAndTheNextIsNot) {
    // Baselines at 30, 15, 0 and -15.
    EXPECT_EQ(run("[CONFIG]\nHUD_POS_Y=30\nHUD_STEP_Y=15\n[SECTION1]\nROWDATA1=a\nROWDATA2=b\nROWDATA3=c\nROWDATA4=d\n"),
              check::Outcome::Warnings);
    EXPECT_EQ(all(), "my.ini:8: warning: row 4 of page 1 is below the bottom edge and is not shown (HUD_POS_Y=30, "
                     "HUD_STEP_Y=15)\n");
}

TEST_F(SettingsCheckTest, OutcomesAndBoundedOutput) {
    EXPECT_EQ(run("[CONFIG]\nDISPLAY_ONSTART=0\n; a comment\n[SECTION1]\nROWDATA1=fine *CUR_TIME*\n"),
              check::Outcome::Clean)
        << all();
    EXPECT_EQ(run("[CONFIG]\nFONT_SIZE=20\n"), check::Outcome::Unusable);
    EXPECT_EQ(messages.front(), "my.ini: error: no page to show: [SECTION1] is missing");
    EXPECT_EQ(run("[SECTION1]\nROWDATA1=\nROWDATA2=x\n"), check::Outcome::Unusable);

    std::string junk = "[SECTION1]\nROWDATA1=x\n";
    for (int i = 0; junk.size() < 5u * 1024 * 1024; ++i) junk += "junk" + std::to_string(i) + "=\x01\xff\n";
    EXPECT_EQ(run(junk), check::Outcome::Warnings);
    ASSERT_EQ(messages.size(), check::kMaxWarnings + 1);
    EXPECT_NE(messages.back().find("... and "), std::string::npos);

    removeSettings();
    messages.clear();
    EXPECT_EQ(check::checkSettingsFile(settingsFile().string(), "Plugins\\Startup Plugins\\Ostrivane.ini", "gone.ini",
                                       nullptr, &messages),
              check::Outcome::Unusable);
    EXPECT_EQ(messages.front().rfind("gone.ini: error: cannot read the file", 0), 0u);
}

}  // namespace
