// The settings check tells, line by line, what a file does that its writer did not mean.
#include "settings_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "settings_file_fixture.h"

namespace {

bool everyFontInstalled(const char*, std::string*) { return true; }
bool noFontInstalled(const char*, std::string* drawn) {
    *drawn = "Fallback Sans";
    return false;
}

// A font of the test's own: 14 pixels up, 4 down, lines 20 apart, every character 10 wide, and no
// face for U+E000 and the private-use characters after it.
bool evenFont(const platform::FontRequest&, const std::uint32_t* characters, int count, platform::GlyphMetrics* out,
              std::int16_t* advances, bool* missing) {
    *out = platform::GlyphMetrics{14, 4, 20};
    for (int i = 0; i < count; ++i) {
        if (advances != nullptr) advances[i] = 10;
        if (missing != nullptr) missing[i] = characters[i] >= 0xE000 && characters[i] < 0xF900;
    }
    return true;
}

// A UTF-16LE file with its byte-order mark, as Notepad saves "Unicode".
std::string utf16File(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

class SettingsCheckTest : public SettingsFileTest {
protected:
    check::Outcome run(const std::string& contents, check::FontLookup fonts = &everyFontInstalled,
                       const check::ViewCheck& view = check::ViewCheck()) {
        writeSettings(contents);
        messages.clear();
        return check::checkSettingsFile(settingsFile().string(), "Plugins\\Startup Plugins\\Ostrivane.ini", "my.ini",
                                        fonts, &messages, view);
    }
    check::Outcome runInView(const std::string& contents, int width, int height) {
        return run(contents, &everyFontInstalled, check::ViewCheck{&evenFont, width, height});
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
        "ROWDATA4=Caf\xC3\xA9 \xE4\xB8\xAD \xD9\x85\xD8\xB1\n"  // 17
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
        "my.ini:14: warning: row 1 of page 1: *CAMERA* is not a token and is drawn as written (did you mean *CAMERA_NAME*?)",
        "my.ini:14: warning: row 1 of page 1: *cur_date* is not a token and is drawn as written (did you mean *CUR_DATE*?)",
        "my.ini:14: warning: row 1 of page 1: *SEL_FACE* is not a token and is drawn as written (did you mean *SEL_FACES*?)",
        "my.ini:15: warning: row 2 of page 1 reads \"blank\"",
        "my.ini:16: warning: row 3 of page 1 holds a tab, which draws nothing",
        "my.ini:17: warning: row 4 of page 1 holds Arabic text, which is drawn unshaped",
        "my.ini:18: warning: ROWDATA5 has 300 characters: only the first 259 are shown",
        "my.ini:20: warning: row 7 of page 1 is below the bottom edge in a 640x480 view and is not shown (the default "
        "HUD_POS_Y=65, HUD_STEP_Y=12)",
        "my.ini:21: warning: ROWDATA9 is never shown: page 1 ends at ROWDATA8, which is missing",
        "my.ini:22: warning: ROWDATA29 is never shown: a page has at most 28 rows",
        "my.ini:23: warning: [SECTION3] is never read: the pages end before it, as [SECTION2] is missing",
        "my.ini:25: warning: [SECTION1] appears again: only the first, at line 12, is read",
    };
    for (const std::string& line : expected) EXPECT_NE(all().find(line), std::string::npos) << line << "\nin:\n" << all();
    EXPECT_EQ(messages.size(), std::size(expected)) << all();  // and nothing else, *ELAPSED* among it
}

// How the file's text is read, said once a file; a value that mixes in text of another code page
// is named by its line.
TEST_F(SettingsCheckTest, TheDumpSaysHowTheFileWasRead) {
    const struct {
        std::string file;
        const char* codePage;
        const char* reading;
    } cases[] = {
        {utf16File(u"[SECTION1]\r\nROWDATA1=\u041A\r\n"), "1252", "read as UTF-16 (it starts with a byte-order mark)"},
        {"\xEF\xBB\xBF[SECTION1]\nROWDATA1=x\n", "1252", "read as UTF-8 (it starts with a byte-order mark)"},
        {"[SECTION1]\nROWDATA1=\xD0\x9A\nROWDATA2=plain\n", "1252", "read as UTF-8"},
        {"[SECTION1]\nROWDATA1=\xCA\xE0\nROWDATA2=plain\n", "1251", "read as the system's ANSI code page 1251 (its text is not UTF-8)"},
        {"[SECTION1]\nROWDATA1=\xD0\x9A\nROWDATA2=\xCA\xE0\nROWDATA3=\xD0\x9A\n", "1251",
         "read as UTF-8, but for the value at line 3, read as the system's ANSI code page 1251"},
        {"[SECTION1]\nROWDATA1=\xCA\xE0\nROWDATA2=\xD0\x9A\nROWDATA3=\xCA\xE0\n", "1251",
         "read as the system's ANSI code page 1251, but for the value at line 3, read as UTF-8"},
    };
    for (const auto& example : cases) {
        writeSettings(example.file);
        setenv("OSTRIVANE_TEST_CODE_PAGE", example.codePage, 1);
        EXPECT_EQ(check::textReading(settingsFile().string()), example.reading);
        unsetenv("OSTRIVANE_TEST_CODE_PAGE");
    }
}

TEST_F(SettingsCheckTest, ARowOnTheBottomEdgeIsShownAndTheNextIsNot) {
    // Baselines at 30, 15, 0 and -15.
    EXPECT_EQ(run("[CONFIG]\nHUD_POS_Y=30\nHUD_STEP_Y=15\n[SECTION1]\nROWDATA1=a\nROWDATA2=b\nROWDATA3=c\nROWDATA4=d\n"),
              check::Outcome::Warnings);
    EXPECT_EQ(all(), "my.ini:8: warning: row 4 of page 1 is below the bottom edge in a 640x480 view and is not shown "
                     "(HUD_POS_Y=30, HUD_STEP_Y=15)\n");
}

// Rows laid out with the test's font (each character 10 pixels wide, lines 20 apart) in views of
// several sizes. At 640x480 the screen's units are pixels.
TEST_F(SettingsCheckTest, RowsPastAnEdgeOrOutsideTheViewAreToldWithTheView) {
    const std::string pixels = "[CONFIG]\nHUD_UNITS=PIXELS\n";
    const std::string row20 = "ROWDATA1=" + std::string(20, 'x') + "\n";
    const struct {
        std::string file;
        int width, height;
        const char* message;
    } cases[] = {
        // 450 + 200 pixels; 900 + 400 in a view twice as large.
        {"[SECTION1]\n" + row20, 640, 480,
         "my.ini:2: warning: row 1 of page 1 runs 10 pixels past the right edge in a 640x480 view (the default "
         "HUD_POS_X=450)"},
        {"[SECTION1]\nROWDATA1=" + std::string(40, 'x') + "\n", 1280, 960,
         "my.ini:2: warning: row 1 of page 1 runs 20 pixels past the right edge in a 1280x960 view (the default "
         "HUD_POS_X=450)"},
        // The baseline at 235 of 240.
        {"[CONFIG]\nHUD_POS_Y=470\n[SECTION1]\nROWDATA1=a\n", 640, 240,
         "my.ini:4: warning: row 1 of page 1 reaches 9 pixels above the top edge in a 640x240 view (HUD_POS_Y=470, "
         "the default HUD_STEP_Y=15)"},
        // Ends at 630, 700 pixels wide.
        {"[CONFIG]\nHUD_ANCHOR=BOTTOM_RIGHT\nHUD_POS_X=10\n[SECTION1]\nROWDATA1=" + std::string(70, 'x') + "\n", 640, 480,
         "my.ini:5: warning: row 1 of page 1 runs 70 pixels past the left edge in a 640x480 view (HUD_POS_X=10, "
         "HUD_ANCHOR=BOTTOM_RIGHT)"},
        // The last row's point at 400, the first's at 500.
        {"[CONFIG]\nHUD_ANCHOR=BOTTOM_LEFT\nHUD_POS_Y=400\nHUD_STEP_Y=50\n[SECTION1]\nROWDATA1=a\nROWDATA2=b\nROWDATA3=c\n",
         640, 480,
         "my.ini:6: warning: row 1 of page 1 is above the top edge in a 640x480 view and is not shown (HUD_POS_Y=400, "
         "HUD_STEP_Y=50, HUD_ANCHOR=BOTTOM_LEFT)"},
        // "Main Perspective" is 160 pixels.
        {pixels + "HUD_POS_X=0\n[SECTION1]\nROWDATA1=*CAMERA_NAME*\n", 159, 480,
         "my.ini:5: warning: row 1 of page 1 runs 1 pixel past the right edge in a 159x480 view: only the part inside "
         "is shown (HUD_POS_X=0, HUD_UNITS=PIXELS)"},
        {pixels + "HUD_POS_X=700\n[SECTION1]\nROWDATA1=far\n", 640, 480,
         "my.ini:5: warning: row 1 of page 1 is past the right edge in a 640x480 view and is not shown (HUD_POS_X=700, "
         "HUD_UNITS=PIXELS)"},
        // Tops 10 pixels below the top edge, 20 apart: the third's descent below the bottom, the
        // fourth wholly.
        {pixels + "HUD_ANCHOR=TOP_LEFT\n[SECTION1]\nROWDATA1=a\nROWDATA2=b\nROWDATA3=c\nROWDATA4=d\n", 320, 60,
         "my.ini:7: warning: row 3 of page 1 reaches 8 pixels below the bottom edge in a 320x60 view: only the part "
         "inside is shown (the default HUD_POS_Y=10, steps of the font's line height, 20 pixels, HUD_ANCHOR=TOP_LEFT, "
         "HUD_UNITS=PIXELS)\n"
         "my.ini:8: warning: row 4 of page 1 is below the bottom edge in a 320x60 view and is not shown (the default "
         "HUD_POS_Y=10, steps of the font's line height, 20 pixels, HUD_ANCHOR=TOP_LEFT, HUD_UNITS=PIXELS)"},
        // 15 screen units are 20 pixels in a view 640 high.
        {"[CONFIG]\nHUD_STEP_Y=15\n[SECTION1]\nROWDATA1=a\nROWDATA2=b\n", 640, 639,
         "my.ini:5: warning: rows 1 and 2 of page 1 overlap in a 640x639 view, as in any view less than 640 pixels "
         "high: the font's line height is 20 pixels, HUD_STEP_Y=15; HUD_STEP_Y=16 or more keeps them apart in this "
         "view"},
        {"[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=\xD0\x96\xCE\xA9\nROWDATA2=BLANK\nROWDATA3=b\nROWDATA4=c\n", 1024, 600,
         "my.ini:7: warning: rows 3 and 4 of page 1 overlap in a 1024x600 view, as in any view less than 640 pixels "
         "high: the font's line height is 20 pixels, the default HUD_STEP_Y=15; HUD_STEP_Y=16 or more keeps them "
         "apart in this view"},
        {pixels + "HUD_STEP_Y=19\nHUD_ANCHOR=TOP_LEFT\n[SECTION1]\nROWDATA1=a\nROWDATA2=b\n", 2560, 1440,
         "my.ini:7: warning: rows 1 and 2 of page 1 overlap in a 2560x1440 view, as in any other: the font's line "
         "height is 20 pixels, HUD_STEP_Y=19, HUD_UNITS=PIXELS; HUD_STEP_Y=20 or more keeps them apart"},
    };
    for (const auto& example : cases) {
        EXPECT_EQ(runInView(example.file, example.width, example.height), check::Outcome::Warnings) << example.message;
        EXPECT_EQ(all(), std::string(example.message) + "\n");
    }
}

TEST_F(SettingsCheckTest, RowsThatFitTheViewGetNoLayoutWarning) {
    const struct {
        std::string file;
        int width, height;
    } fits[] = {
        {"[SECTION1]\nROWDATA1=" + std::string(40, 'x') + "\n", 1600, 1200},
        {"[CONFIG]\nHUD_STEP_Y=15\n[SECTION1]\nROWDATA1=a\nROWDATA2=b\n", 640, 640},
        // Two rows 10 pixels apart with a BLANK row between them.
        {"[CONFIG]\nHUD_UNITS=PIXELS\nHUD_STEP_Y=10\nHUD_ANCHOR=TOP_LEFT\n[SECTION1]\nROWDATA1=a\nROWDATA2=BLANK\nROWDATA3=b\n",
         640, 480},
        // 28 rows a line apart, 10 pixels from the top or the bottom of a view 580 high.
        {"[CONFIG]\nHUD_UNITS=PIXELS\nHUD_ANCHOR=TOP_RIGHT\n[SECTION1]\n" + [] {
             std::string rows;
             for (int row = 1; row <= 28; ++row) rows += "ROWDATA" + std::to_string(row) + "=*SEL_MODE* *SEL_COUNT*\n";
             return rows;
         }(), 320, 580},
        {"[CONFIG]\nHUD_UNITS=PIXELS\nHUD_ANCHOR=BOTTOM_LEFT\nHUD_POS_Y=0\nHUD_POS_X=0\n[SECTION1]\nROWDATA1=a\n", 10, 18},
    };
    for (const auto& fit : fits) {
        EXPECT_EQ(runInView(fit.file, fit.width, fit.height), check::Outcome::Clean) << fit.file << "\n" << all();
    }
}

TEST_F(SettingsCheckTest, EachMistakeThatDrawsOtherwiseGetsItsLine) {
    const struct {
        std::string file;
        const char* message;
    } cases[] = {
        {"[SECTION1]\nROWDATA1=\"Hello world\n",
         "my.ini:2: warning: row 1 of page 1 starts with \" but does not end with it: the quote is drawn"},
        {"[CONFIG]\nFONT_FACE='Arial\n[SECTION1]\nROWDATA1=x\n",
         "my.ini:2: warning: FONT_FACE='Arial starts with ' but does not end with it: the quote is part of the value"},
        {"[SECTION1]\nROWDATA1=at *CUR_TIME\n",
         "my.ini:2: warning: row 1 of page 1: *CUR_TIME has no closing asterisk and is shown as written (write *CUR_TIME*)"},
        {"[SECTION1]\nROWDATA1=*CAMERA_NAME*SEL_FACES* selected\n",
         "my.ini:2: warning: row 1 of page 1: SEL_FACES* has no opening asterisk and is shown as written (write *SEL_FACES*)"},
        {"[SECTION1]\nROWDATA1=x\nROWDATA2 no equals sign here\n",
         "my.ini:3: warning: \"ROWDATA2 no equals sign here\" has no '=': the line sets nothing (write ROWDATA2=no equals sign here)"},
        {"[CONFIG]\nFONT_SIZE\n[SECTION1]\nROWDATA1=x\n",
         "my.ini:2: warning: FONT_SIZE has no '=': the line sets nothing (write FONT_SIZE=VALUE)"},
        // What cannot be decoded, and so is drawn as U+FFFD, in each kind of file.
        {"[SECTION1]\nROWDATA1=caf\xE9 \x81\x8D\n",
         "my.ini:2: warning: row 1 of page 1 is not UTF-8 and is read in the system's ANSI code page 1252, which leaves 2 "
         "bytes undefined, shown as \uFFFD (U+FFFD) (save the file as UTF-8)"},
        {utf16File(u"[SECTION1]\r\nROWDATA1=\xD800 x \xDC00\U0001F600\r\n"),
         "my.ini:2: warning: row 1 of page 1 holds 2 lone surrogates, which UTF-16 cannot decode, shown as \uFFFD (U+FFFD)"},
        {"\xEF\xBB\xBF[CONFIG]\nFONT_FACE=\xC0\xAF\xE5\xAE\x8B\n[SECTION1]\nROWDATA1=x\n",
         "my.ini:2: warning: FONT_FACE holds 2 byte sequences that UTF-8 cannot decode, shown as \uFFFD (U+FFFD)"},
        {"[CONFIG]\nHUD_UNITS=PIXELS\nHUD_STEP_Y=5000\n[SECTION1]\nROWDATA1=x\n",
         "my.ini:3: warning: HUD_STEP_Y=5000 is out of range (1 to 4096): the default, the font's line height, applies"},
    };
    for (const auto& example : cases) {
        EXPECT_EQ(run(example.file), check::Outcome::Warnings) << example.message;
        EXPECT_EQ(all(), std::string(example.message) + "\n");
    }
}

TEST_F(SettingsCheckTest, ClockFormatsAndNewTokensThatDoNotShowWhatTheySeem) {
    const struct {
        std::string file;
        const char* message;
    } cases[] = {
        {"[CONFIG]\nTIME_FORMAT=%H:%M:%q\n", "my.ini:2: warning: TIME_FORMAT: %q is not a field and is shown as written "
                                             "(fields: %H %I %p %M %S %Y %y %m %d, and %% for a '%')"},
        {"[CONFIG]\nDATE_FORMAT=%d.%m.%\n", "my.ini:2: warning: DATE_FORMAT ends with a '%' that starts no field: it is "
                                            "shown as written"},
        {"[CONFIG]\nDATE_FORMAT=today\n", "my.ini:2: warning: DATE_FORMAT=today shows no field of the clock: *CUR_DATE* "
                                          "never changes"},
        {"[CONFIG]\nTIME_FORMAT=%Y-%m-%d %H:%M:%S and %Y-%m-%d\n",
         "my.ini:2: warning: TIME_FORMAT makes texts of up to 34 characters: *CUR_TIME* shows only the first 31"},
    };
    for (const auto& example : cases) {
        const std::string file = example.file.find("[SECTION1]") != std::string::npos ? example.file
                                                                                      : example.file + "[SECTION1]\nROWDATA1=x\n";
        EXPECT_EQ(run(file), check::Outcome::Warnings) << example.message;
        EXPECT_EQ(all(), std::string(example.message) + "\n");
    }
    EXPECT_EQ(run("[CONFIG]\nTIME_FORMAT=%I:%M %p\nDATE_FORMAT=%d/%m/%y\n[SECTION1]\nROWDATA1=*FPS* *SEL_MODE* *SEL_COUNT*\n"),
              check::Outcome::Clean)
        << all();
}

// A header without its ']' is a line of the section above, and so are the lines after it; a key
// in the other kind of section is named with the section it belongs in.
TEST_F(SettingsCheckTest, UnfinishedHeadersAndKeysOfTheOtherSection) {
    EXPECT_EQ(run("[CONFIG]\nDISPLAY_ONSTART=1\nHUD_STEP_Y=30\n[SECTION1]\nROWDATA1=one\n[SECTION2\nROWDATA1=\xD0\xB4\xD0\xB2\xD0\xB0\n"
                  "ROWDATA2=two\n[SECTION3]\nFONT_FACE=Arial\n"),
              check::Outcome::Warnings);
    EXPECT_EQ(all(),
              "my.ini:6: warning: \"[SECTION2\" is an unfinished section header (no closing ']'): the lines after it "
              "belong to [SECTION1] above it\n"
              "my.ini:7: warning: ROWDATA1 appears again in [SECTION1]: the first, at line 5, is in force (the section "
              "header at line 6 is unfinished)\n"
              "my.ini:9: warning: [SECTION3] is never read: the pages end before it, as [SECTION2] is missing\n"
              "my.ini:10: warning: [SECTION3] has no key FONT_FACE: it belongs in [CONFIG]\n");
    EXPECT_EQ(run("[SECTION1]\nROWDATA1=one\n[CONFIG\nDISPLAY_ONSTART=1\n[CONFIG]\nROWDATA2=x\n"), check::Outcome::Warnings);
    EXPECT_EQ(all(),
              "my.ini:3: warning: \"[CONFIG\" is an unfinished section header (no closing ']'): the lines after it "
              "belong to [SECTION1] above it\n"
              "my.ini:4: warning: [SECTION1] has no key DISPLAY_ONSTART: it belongs in [CONFIG] (the section header at "
              "line 3 is unfinished)\n"
              "my.ini:6: warning: [CONFIG] has no key ROWDATA2: rows belong in a page, [SECTION1] to [SECTION5]\n");
    EXPECT_EQ(run("[CONFIG=1\nFONT_SIZE=20\n[SECTION1]\nROWDATA1=x\n"), check::Outcome::Warnings);
    EXPECT_EQ(all(),
              "my.ini:1: warning: \"[CONFIG\" is an unfinished section header (no closing ']'): it and the lines after "
              "it come before any [section] and are never read\n"
              "my.ini:2: warning: FONT_SIZE comes before any [section] and is never read (the section header at line 1 "
              "is unfinished)\n");
}

// Words in capitals between asterisks read as tokens to their writer; text between asterisks in
// lower case, with spaces or punctuation, reads as text.
TEST_F(SettingsCheckTest, WordsThatLookLikeTokensAreToldAndPlainTextIsNot) {
    const std::string all10 = "; the tokens are *CAMERA_NAME*, *CUR_DATE*, *CUR_TIME*, *ELAPSED*, *SEL_FACES*, "
                              "*SEL_EDGES*, *SEL_VERTICES*, *FPS*, *SEL_MODE* and *SEL_COUNT*";
    const char* const cases[][3] = {  // row, word, the token meant
        {"*TIME*", "TIME", "CUR_TIME"},     {"*DATE* \xD0\x96", "DATE", "CUR_DATE"},
        {"*FRAMERATE* fps", "FRAMERATE", "FPS"}, {"*ELAPSED_TIME*", "ELAPSED_TIME", "ELAPSED"},
        {"*SELECTED* of *SEL_MODE*", "SELECTED", "SEL_COUNT"}, {"*FPS_* fps", "FPS_", "FPS"},
        {"*SELCOUNT* selected", "SELCOUNT", "SEL_COUNT"},     {"*cur_time*", "cur_time", "CUR_TIME"},
        {"\xCE\xA9 *WEATHER_2* \xF0\x9F\x98\x80", "WEATHER_2", ""},
    };
    for (const auto& example : cases) {
        const std::string said = "my.ini:2: warning: row 1 of page 1: *" + std::string(example[1]) +
                                 "* is not a token and is drawn as written" +
                                 (example[2][0] == '\0' ? all10 : " (did you mean *" + std::string(example[2]) + "*?)");
        EXPECT_EQ(run(std::string("[SECTION1]\nROWDATA1=") + example[0] + "\n"), check::Outcome::Warnings) << example[0];
        EXPECT_NE(all().find(said + "\n"), std::string::npos) << all();
        EXPECT_EQ(all().find("not a token", all().find("not a token") + 1), std::string::npos) << all();  // one only
    }
    for (const char* text : {"*note* *very* important *today*", "5*3*2", "*\xD0\x96\xD0\x96* *\xCE\xA3 over all*",
                             "\xE4\xB8\xAD*\xF0\x9F\x98\x80*", "** *, *_* *123*", "*\xC3\x89T\xC3\x89* *A-B*"}) {
        run(std::string("[SECTION1]\nROWDATA1=") + text + "\n");
        EXPECT_EQ(all().find("token"), std::string::npos) << text << "\n" << all();
    }
}

TEST_F(SettingsCheckTest, TextIsShownAsTheCharactersItHolds) {
    EXPECT_EQ(check::readableText("Caf\u00E9 \u20AC \u041A \u65E5 \U0001F600 C:\\x"), "Caf\u00E9 \u20AC \u041A \u65E5 \U0001F600 C:\\x");
    EXPECT_EQ(check::readableText("\x01\x09\x1F\x7F \xC2\x81 \xFF"), "\\x01\\x09\\x1F\\x7F \\u0081 \\xFF");
    EXPECT_EQ(check::readableText("\u65E5\u672C\u8A9Ebc", 3), "\u65E5\u672C\u8A9E...");
}

TEST_F(SettingsCheckTest, OutcomesAndBoundedOutput) {
    EXPECT_EQ(run("[CONFIG]\nDISPLAY_ONSTART=0\nFONT_FACE=\"Arial\"\n; a comment\n[SECTION1]\n"
                  "ROWDATA1=fine *CUR_TIME* *CUR_DATE**ELAPSED* 5*3\nROWDATA2='  quoted  '\n"),
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

// A font of the test's own that grows with its size, and the last size it was measured at.
int measuredSize = 0;
bool growingFont(const platform::FontRequest& font, const std::uint32_t*, int count, platform::GlyphMetrics* out,
                 std::int16_t* advances, bool* missing) {
    const int pixelHeight = font.pixelHeight;
    measuredSize = pixelHeight;
    *out = platform::GlyphMetrics{pixelHeight * 7 / 9, pixelHeight * 2 / 9, pixelHeight * 10 / 9};
    for (int i = 0; i < count; ++i) {
        if (advances != nullptr) advances[i] = static_cast<std::int16_t>(pixelHeight / 2);
        if (missing != nullptr) missing[i] = false;
    }
    return true;
}

// Under FONT_SCALE the rows are laid out with the font at the size the plug-in makes it in the
// view checked or at the display's DPI, and in PIXELS with DPI at grown positions.
TEST_F(SettingsCheckTest, FontScaleLaysRowsOutAtTheSizeThePluginDraws) {
    const std::string rows = "[SECTION1]\nROWDATA1=abcdefghij\nROWDATA2=x\n";
    // 18-pixel rows 15 apart overlap in any view once the font follows it.
    EXPECT_EQ(run("[CONFIG]\nFONT_SCALE=VIEW\n" + rows, &everyFontInstalled, {&growingFont, 1280, 960}),
              check::Outcome::Warnings);
    EXPECT_EQ(measuredSize, 36);
    EXPECT_NE(all().find("overlap in a 1280x960 view, as in any other, the font growing with the view (FONT_SCALE=VIEW): "
                         "the font's line height is 40 pixels"),
              std::string::npos) << all();
    // A row 500 pixels from the left edge with 50 pixels of text fits 640 at 96 DPI, not at 144.
    const std::string pixels = "[CONFIG]\nFONT_SCALE=DPI\nHUD_UNITS=PIXELS\nHUD_POS_X=500\nHUD_POS_Y=100\n"
                               "FONT_SIZE=10\n[SECTION1]\nROWDATA1=abcdefghij\n";
    EXPECT_EQ(run(pixels, &everyFontInstalled, {&growingFont, 640, 480, 0}), check::Outcome::Clean) << all();
    EXPECT_EQ(run(pixels, &everyFontInstalled, {&growingFont, 640, 480, 144}), check::Outcome::Warnings);
    EXPECT_EQ(measuredSize, 15);
}
