#include "overlay/overlay_plugin.h"

#include <gtest/gtest.h>


#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "fake_graphics.h"
#include "fake_host.h"
#include "settings_file_fixture.h"

namespace {

struct Line {
    float x;
    float y;
    std::string text;
};

class OverlayPluginTest : public SettingsFileTest {
protected:
    void SetUp() override {
        SettingsFileTest::SetUp();
        FakeClock::reset();
        plugin.setClock(FakeClock::clock());
        plugin.attachHost(&fake.record);
    }

    void load(const std::string& contents) {
        writeSettings(contents);
        plugin.loadSettings();
    }

    std::vector<Line> frame() {
        plugin.refreshTokenValues();
        overlay::DrawRow rows[config::kMaxRows];
        const int count = plugin.composeRows(overlay::Viewport(), rows);
        std::vector<Line> lines;
        for (int index = 0; index < count; ++index) lines.push_back({rows[index].place.x, rows[index].place.y, rows[index].text});
        return lines;
    }

    std::vector<std::string> frameTexts() {
        std::vector<std::string> texts;
        for (const Line& line : frame()) texts.push_back(line.text);
        return texts;
    }

    FakeHost fake;
    FakeGraphics graphics;
    overlay::OverlayPlugin plugin{graphics};
};

const std::string kThreePages =
    "[SECTION1]\nROWDATA1=one\n[SECTION2]\nROWDATA1=two\n[SECTION3]\nROWDATA1=three\n";

TEST_F(OverlayPluginTest, FreshObjectOffersFiveFunctions) {
    EXPECT_FALSE(plugin.isVisible());
    EXPECT_EQ(plugin.displayedPage(), 0);
    EXPECT_FALSE(plugin.isSetUp());
    EXPECT_EQ(plugin.functionCount(), 5);
    const char* names[] = {"Ostrivane Drawing Fn", "Ostrivane Switch", "Ostrivane Next Page", "Ostrivane Prev Page",
                           "Ostrivane Reload INI"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(plugin.functionName(i), names[i]);
        EXPECT_EQ(plugin.functionType(i), i == 0 ? 2 : 0);
    }
    for (int i : {5, -1, 1000}) {
        EXPECT_STREQ(plugin.functionName(i), "NaFn");
        EXPECT_EQ(plugin.functionType(i), 2);
    }
}

TEST_F(OverlayPluginTest, PagesCycleOnlyWhileVisible) {
    load(kThreePages);
    EXPECT_TRUE(plugin.runFunction(overlay::kCommandNextPage));
    EXPECT_EQ(plugin.displayedPage(), 0);  // hidden: unchanged
    plugin.runFunction(overlay::kCommandSwitch);
    ASSERT_TRUE(plugin.isVisible());

    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        plugin.runFunction(overlay::kCommandNextPage);
        seen.push_back(plugin.displayedPage());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0}));
    seen.clear();
    for (int i = 0; i < 3; ++i) {
        plugin.runFunction(overlay::kCommandPreviousPage);
        seen.push_back(plugin.displayedPage());
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(frameTexts(), std::vector<std::string>{"one"});
}

TEST_F(OverlayPluginTest, PageCommandsWithoutPagesNeverDivideByZero) {
    plugin.runFunction(overlay::kCommandSwitch);
    plugin.runFunction(overlay::kCommandNextPage);
    EXPECT_EQ(plugin.displayedPage(), 0);
    plugin.runFunction(overlay::kCommandPreviousPage);
    EXPECT_EQ(plugin.displayedPage(), -1);
    plugin.runFunction(overlay::kCommandNextPage);  // still no pages
    EXPECT_EQ(plugin.displayedPage(), -1);
    EXPECT_TRUE(frame().empty());

    load(kThreePages);
    plugin.runFunction(overlay::kCommandNextPage);
    EXPECT_EQ(plugin.displayedPage(), 0);
}

TEST_F(OverlayPluginTest, PrevPageWrapsANegativePageEvenWhileHidden) {
    plugin.runFunction(overlay::kCommandSwitch);
    plugin.runFunction(overlay::kCommandPreviousPage);  // no pages yet: -1
    plugin.runFunction(overlay::kCommandSwitch);
    load(kThreePages);
    plugin.runFunction(overlay::kCommandPreviousPage);
    EXPECT_EQ(plugin.displayedPage(), 2);
}

TEST_F(OverlayPluginTest, ReloadBeyondTheLastPageDrawsNothingUntilNextPage) {
    load(kThreePages + "");
    plugin.runFunction(overlay::kCommandSwitch);
    plugin.runFunction(overlay::kCommandPreviousPage);
    ASSERT_EQ(plugin.displayedPage(), 2);
    load("[SECTION1]\nROWDATA1=only\n");
    EXPECT_TRUE(frame().empty());
    plugin.runFunction(overlay::kCommandNextPage);
    EXPECT_EQ(plugin.displayedPage(), 0);
    EXPECT_EQ(frameTexts(), std::vector<std::string>{"only"});
}

TEST_F(OverlayPluginTest, UnknownCommandsAndReloadOnlyMarkState) {
    for (int i : {0, 5, -1}) EXPECT_TRUE(plugin.runFunction(i));
    EXPECT_FALSE(plugin.isVisible());
    EXPECT_TRUE(plugin.runFunction(overlay::kCommandReload));
    EXPECT_FALSE(plugin.isSetUp());
}

TEST_F(OverlayPluginTest, LinesSitAtConfiguredPositionsAndBlankRowsKeepTheirPlace) {
    load("[CONFIG]\nHUD_POS_X=100\nHUD_POS_Y=400\nHUD_STEP_Y=20\n"
         "[SECTION1]\nROWDATA1=first\nROWDATA2=BLANK\nROWDATA3=third\n");
    const std::vector<Line> lines = frame();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].x, 100.0f);
    EXPECT_EQ(lines[0].y, 400.0f);
    EXPECT_EQ(lines[1].text, "third");
    EXPECT_EQ(lines[1].y, 360.0f);
}

TEST_F(OverlayPluginTest, DefaultLayoutStepsDownFrom65) {
    std::string file = "[SECTION1]\n";
    for (int r = 1; r <= 6; ++r) file += "ROWDATA" + std::to_string(r) + "=line\n";
    load(file);
    std::vector<float> ys;
    for (const Line& line : frame()) ys.push_back(line.y);
    EXPECT_EQ(ys, (std::vector<float>{65, 50, 35, 20, 5, -10}));  // the sixth falls below the overlay
    EXPECT_EQ(frame()[0].x, 450.0f);
}

TEST_F(OverlayPluginTest, TokensAreReplacedEveryFrame) {
    load("[SECTION1]\nROWDATA1=Sel: *SEL_FACES*\nROWDATA2=*CAMERA_NAME* @ *CUR_TIME*\nROWDATA3=plain\n");
    fake.faces.selectedCount = 12;
    FakeHost::mode = host::kFaceMode;
    fake.view.camera = fake.scene.topCamera;
    EXPECT_EQ(frameTexts(), (std::vector<std::string>{"Sel: 12", "Top @ 22:15:30", "plain"}));
    FakeHost::mode = host::kEdgeMode;
    FakeClock::local.second = 31;
    ++FakeClock::now;
    EXPECT_EQ(frameTexts(), (std::vector<std::string>{"Sel: 0", "Top @ 22:15:31", "plain"}));
}

TEST_F(OverlayPluginTest, RowsRunThePassesOnlyWhenAValueTheyShowChangedAndPlainRowsNever) {
    load("[SECTION1]\nROWDATA1=plain text\nROWDATA2=at *CUR_TIME*\nROWDATA3=*SEL_FACES* faces\n");
    FakeHost::mode = host::kFaceMode;
    frame();
    const overlay::LineCache::Counters first = plugin.lineCacheCounters();
    EXPECT_EQ(first.expansions, 2u);  // the two rows with '*'
    for (int i = 0; i < 5; ++i) frame();  // nothing changed
    EXPECT_EQ(plugin.lineCacheCounters().expansions, first.expansions);

    ++FakeClock::now;  // a new second: only the time row runs the passes again
    FakeClock::local.second = 31;
    EXPECT_EQ(frameTexts(), (std::vector<std::string>{"plain text", "at 22:15:31", "0 faces"}));
    EXPECT_EQ(plugin.lineCacheCounters().expansions, first.expansions + 1);
    fake.faces.selectedCount = 4;  // and the selection: only the faces row
    EXPECT_EQ(frameTexts(), (std::vector<std::string>{"plain text", "at 22:15:31", "4 faces"}));
    EXPECT_EQ(plugin.lineCacheCounters().expansions, first.expansions + 2);

    load("[SECTION1]\nROWDATA1=plain text\nROWDATA2=at *CUR_TIME*\nROWDATA3=*SEL_FACES* faces\n");
    frame();
    frame();
    EXPECT_EQ(plugin.lineCacheCounters().expansions, first.expansions + 4);  // once more after the load
}

TEST_F(OverlayPluginTest, PassesRunInTableOrderOverEachOthersResults) {
    load("[SECTION1]\nROWDATA1=*CUR_*CAMERA_NAME*DATE*\nROWDATA2=**CUR_DATE*\nROWDATA3=*CUR_DATE**CUR_DATE**CUR_DATE*\n");
    EXPECT_EQ(frameTexts(),
              (std::vector<std::string>{"2026-12-07", "*2026-12-07", "2026-12-072026-12-072026-12-07"}));
}

TEST_F(OverlayPluginTest, LongLinesFullOfTokensStayInsideTheLineBuffer) {
    std::string row;
    while (row.size() + 14 <= 259) row += "*SEL_VERTICES*";
    load("[SECTION1]\nROWDATA1=" + row + "\n");
    FakeHost::mode = host::kVertexMode;
    fake.vertices.selectedCount = -2147483647 - 1;  // the longest number: 11 characters
    const std::vector<std::string> texts = frameTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_LT(texts[0].size(), static_cast<std::size_t>(overlay::LineCache::kTextSize));
    EXPECT_EQ(texts[0].substr(0, 11), "-2147483648");
}

// ---- Set-up and frames through the Graphics ----------------------------------------------------

class OverlaySetUpTest : public OverlayPluginTest {
protected:
    int dc = 0;  // its address is the drawing context
    void SetUp() override {
        OverlayPluginTest::SetUp();
        graphics.context = &dc;
    }
};

TEST_F(OverlaySetUpTest, EverySetUpRereadsTheTimeZone) {
    writeSettings("[SECTION1]\nROWDATA1=x\n");
    plugin.drawFunction(0);
    plugin.drawFunction(0);
    EXPECT_EQ(FakeClock::timeZoneReloads, 1);
    plugin.runFunction(overlay::kCommandReload);
    plugin.drawFunction(0);
    EXPECT_EQ(FakeClock::timeZoneReloads, 2);
}

TEST_F(OverlaySetUpTest, SwitchHidesAndReloadWithDisplayOnStartShowsAgain) {
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=shown\n");
    plugin.drawFunction(0);
    ASSERT_EQ(graphics.frames, 1);
    plugin.runFunction(overlay::kCommandSwitch);
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.frames, 1);  // hidden: nothing drawn
    plugin.runFunction(overlay::kCommandReload);
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.frames, 2);
    ASSERT_EQ(graphics.lines.size(), 1u);
    EXPECT_EQ(graphics.lines[0].text, "shown");
}

TEST_F(OverlaySetUpTest, OnlyReleaseZeroDeletesTheGlyphs) {
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=x\n");
    plugin.drawFunction(0);
    const std::uint32_t block = plugin.firstGlyphList();
    ASSERT_NE(block, 0u);
    for (host::HostArg value : {host::HostArg(1), host::HostArg(2), host::HostArg(0x80000000u), ~host::HostArg(0)}) {
        plugin.releaseResources(value);
        EXPECT_EQ(plugin.firstGlyphList(), block) << value;
    }
    EXPECT_TRUE(graphics.deleted.empty());
    plugin.releaseResources(0);
    EXPECT_EQ(graphics.deleted, std::vector<std::uint32_t>{block});
    EXPECT_EQ(plugin.firstGlyphList(), 0u);
}

// The frame composes every row before it draws any (the box and the corners need every advance
// first), so each row's text must live in storage of its own.
TEST_F(OverlaySetUpTest, EveryRowDrawsItsOwnTextWhateverItsTokensAndBytes) {
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=First view *CAMERA_NAME* one\n"
                  "ROWDATA2=Second row *CAMERA_NAME* two\nROWDATA3=A\x07" "B\nROWDATA4=\x01Start\n"
                  "ROWDATA5=\x02\x03\x04x\x05\x06\nROWDATA6=*SEL_FACES* faces\n");
    const auto drawn = [this] {
        plugin.drawFunction(0);
        std::vector<std::string> texts;
        for (const FakeGraphics::Line& line : graphics.lines) texts.push_back(line.text);
        return texts;
    };
    const auto expected = [](const std::string& camera) {
        return std::vector<std::string>{"First view " + camera + " one", "Second row " + camera + " two",
                                        "A\x07" "B", "\x01Start", "\x02\x03\x04x\x05\x06", "0 faces"};
    };
    fake.view.camera = nullptr;  // no camera seen yet: the value is empty
    EXPECT_EQ(drawn(), expected(""));
    fake.view.camera = fake.scene.topCamera;
    EXPECT_EQ(drawn(), expected("Top"));
    fake.view.camera = nullptr;  // a null handle after a camera: a free view
    EXPECT_EQ(drawn(), expected("Free Ortho"));
}

// *ELAPSED* counts the frames the host draws while the overlay is hidden, however long.
TEST_F(OverlaySetUpTest, ElapsedKeepsCountingWhileHiddenPastTheTickWrap) {
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=*ELAPSED*\n");
    plugin.drawFunction(0);
    plugin.runFunction(overlay::kCommandSwitch);
    for (int day = 1; day <= 50; ++day) {  // 50 days hidden, past the wrap at 49.7 days
        FakeClock::tick += 24u * 3600u * 1000u;
        plugin.drawFunction(0);
    }
    plugin.runFunction(overlay::kCommandSwitch);
    plugin.drawFunction(0);
    ASSERT_EQ(graphics.lines.size(), 1u);
    EXPECT_EQ(graphics.lines[0].text, "1200:00:00");
}

// Placing, shadow and box, with the fake font: ascent 14, descent 4, every advance 10 pixels.
TEST_F(OverlaySetUpTest, AnchorsPlaceRowsFromTheirCornerByTheFontsMetrics) {
    const std::string rows = "[SECTION1]\nROWDATA1=abc\nROWDATA2=BLANK\nROWDATA3=12345\n";
    const struct {
        const char* anchor;
        float x, y0;
        int dx0, dx2, dy;
    } cases[] = {
        {"", 30, 40, 0, 0, 0},  // no corner named: the first row's baseline at HUD_POS_Y
        {"TOP_LEFT", 30, 480 - 40, 0, 0, -14},
        {"TOP_RIGHT", 640 - 30, 480 - 40, -30, -50, -14},
        // A bottom corner holds the block: the last row's descent HUD_POS_Y up from the bottom.
        {"BOTTOM_LEFT", 30, 40 + 40, 0, 0, 4},
        {"BOTTOM_RIGHT", 640 - 30, 40 + 40, -30, -50, 4},
    };
    for (const auto& c : cases) {
        writeSettings(std::string("[CONFIG]\nDISPLAY_ONSTART=1\nHUD_POS_X=30\nHUD_POS_Y=40\nHUD_STEP_Y=20\n") +
                      (c.anchor[0] != '\0' ? std::string("HUD_ANCHOR=") + c.anchor + "\n" : "") + rows);
        plugin.runFunction(overlay::kCommandReload);
        plugin.drawFunction(0);
        ASSERT_EQ(graphics.lines.size(), 2u) << c.anchor;
        EXPECT_EQ(graphics.lines[0].place.x, c.x) << c.anchor;
        EXPECT_EQ(graphics.lines[0].place.y, c.y0) << c.anchor;
        EXPECT_EQ(graphics.lines[1].place.y, c.y0 - 40) << c.anchor;  // the BLANK row keeps its place
        EXPECT_EQ(graphics.lines[0].place.dx, c.dx0) << c.anchor;
        EXPECT_EQ(graphics.lines[1].place.dx, c.dx2) << c.anchor;
        EXPECT_EQ(graphics.lines[1].place.dy, c.dy) << c.anchor;
        EXPECT_TRUE(graphics.boxes.empty());
    }
}

// In pixels every row is whole pixels from the viewport's bottom-left corner, the same in every
// view; the step defaults to the font's line height (20 here).
TEST_F(OverlaySetUpTest, PixelUnitsPlaceRowsFromTheViewportsCorners) {
    graphics.view = {0, 0, 1000, 800};
    const std::string rows = "[SECTION1]\nROWDATA1=abc\nROWDATA2=12345\nROWDATA3=BLANK\n";
    const struct {
        const char* anchor;
        int dx0, dx1, dy0;
    } cases[] = {
        {"", 30, 30, 40},
        {"TOP_LEFT", 30, 30, 800 - 40 - 14},
        {"TOP_RIGHT", 1000 - 30 - 30, 1000 - 30 - 50, 800 - 40 - 14},
        {"BOTTOM_LEFT", 30, 30, 40 + 4 + 2 * 20},  // the BLANK row is the last: its descent at 40
        {"BOTTOM_RIGHT", 1000 - 30 - 30, 1000 - 30 - 50, 40 + 4 + 2 * 20},
    };
    for (const auto& c : cases) {
        writeSettings(std::string("[CONFIG]\nDISPLAY_ONSTART=1\nHUD_UNITS=pixels\nHUD_POS_X=30\nHUD_POS_Y=40\n") +
                      (c.anchor[0] != '\0' ? std::string("HUD_ANCHOR=") + c.anchor + "\n" : "") + rows);
        plugin.runFunction(overlay::kCommandReload);
        plugin.drawFunction(0);
        ASSERT_EQ(graphics.lines.size(), 2u) << c.anchor;
        for (const FakeGraphics::Line& line : graphics.lines) {
            EXPECT_EQ(line.place.x, 0.0f) << c.anchor;
            EXPECT_EQ(line.place.y, 0.0f) << c.anchor;
        }
        EXPECT_EQ(graphics.lines[0].place.dx, c.dx0) << c.anchor;
        EXPECT_EQ(graphics.lines[1].place.dx, c.dx1) << c.anchor;
        EXPECT_EQ(graphics.lines[0].place.dy, c.dy0) << c.anchor;
        EXPECT_EQ(graphics.lines[1].place.dy, c.dy0 - 20) << c.anchor;
    }
    // A step of one pixel is a step like any other.
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nHUD_UNITS=PIXELS\nHUD_POS_Y=40\nHUD_STEP_Y=1\n" + rows);
    plugin.runFunction(overlay::kCommandReload);
    plugin.drawFunction(0);
    ASSERT_EQ(graphics.lines.size(), 2u);
    EXPECT_EQ(graphics.lines[1].place.dy, 39);
}

TEST_F(OverlaySetUpTest, TheShadowGoesWithTheRowsAndTheBoxSpansTheRowsInRasterRange) {
    graphics.view = {0, 0, 1280, 960};
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nHUD_POS_X=30\nHUD_POS_Y=40\nHUD_STEP_Y=25\nTEXT_SHADOW=1\n"
                  "SHADOW_COLOR_RED=255\nBOX_ALPHA=51\nBOX_PADDING=3\n"
                  "[SECTION1]\nROWDATA1=abc\nROWDATA2=12345\nROWDATA3=below the bottom\n");
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.look.shadow, config::TextShadow::Drop);
    EXPECT_EQ(graphics.look.shadowColour[0], 1.0f);
    EXPECT_FALSE(graphics.style.outline);
    ASSERT_EQ(graphics.lines.size(), 3u);
    EXPECT_EQ(graphics.lines[1].slot, 1);
    EXPECT_EQ(graphics.lines[1].place.dx, 0);
    ASSERT_EQ(graphics.boxes.size(), 1u);
    const FakeGraphics::Box& box = graphics.boxes[0];
    EXPECT_FLOAT_EQ(box.alpha, 0.2f);
    EXPECT_EQ(box.left, 60 - 3);           // rows start at 30 of 640, doubled
    EXPECT_EQ(box.right, 60 + 50 + 3);     // the widest of the two rows in range
    EXPECT_EQ(box.top, 80 + 14 + 3);       // the first baseline, its ascent, the padding
    EXPECT_EQ(box.bottom, 30 - 4 - 3);     // the second baseline (the third row, at -10, is out of range)

    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nTEXT_SHADOW=2\nFONT_SMOOTH=1\n[SECTION1]\nROWDATA1=x\n");
    plugin.runFunction(overlay::kCommandReload);
    plugin.drawFunction(0);
    EXPECT_TRUE(graphics.style.outline);  // outline glyphs are made only for the outline
    EXPECT_TRUE(graphics.style.smooth);
    EXPECT_EQ(graphics.look.shadow, config::TextShadow::Outline);
}

TEST_F(OverlaySetUpTest, ARowsRevisionChangesExactlyWhenItsTextDoes) {
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=plain\nROWDATA2=*CUR_TIME*\nROWDATA3=*CUR_TIME*\n");
    plugin.drawFunction(0);
    const std::vector<FakeGraphics::Line> first = graphics.lines;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_NE(first[1].revision, first[2].revision);  // the same text in two slots
    plugin.drawFunction(0);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(graphics.lines[row].revision, first[row].revision) << row;
    ++FakeClock::now;
    FakeClock::local.second = 59;
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.lines[0].revision, first[0].revision);
    EXPECT_NE(graphics.lines[1].revision, first[1].revision);
    EXPECT_NE(graphics.lines[1].revision, first[2].revision);
    EXPECT_EQ(graphics.lines[1].text, graphics.lines[2].text);
}

TEST_F(OverlaySetUpTest, RowsAreMeasuredOnlyWhenTheirTextChanges) {
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nHUD_ANCHOR=TOP_RIGHT\n"
                  "[SECTION1]\nROWDATA1=plain\nROWDATA2=*CUR_TIME*\n");
    plugin.drawFunction(0);
    plugin.drawFunction(0);
    EXPECT_EQ(plugin.lineCacheCounters().measures, 2u);
    EXPECT_EQ(graphics.lines[1].place.dx, -80);  // 8 characters of 10 pixels
    ++FakeClock::now;
    FakeClock::local.second = 59;
    plugin.drawFunction(0);
    EXPECT_EQ(plugin.lineCacheCounters().measures, 3u);
}

// AUTO_RELOAD, driven by the fake tick.
class AutoReloadTest : public OverlaySetUpTest {
protected:
    std::string shown() {
        plugin.drawFunction(0);
        return graphics.lines.empty() ? "<nothing>" : graphics.lines[0].text;
    }
    void save(const std::string& row, const char* config = "AUTO_RELOAD=1") {
        writeSettings(std::string("[CONFIG]\nDISPLAY_ONSTART=1\n") + config + "\n[SECTION1]\nROWDATA1=" + row + "\n");
    }
};

TEST_F(AutoReloadTest, ASavedFileIsReadAtTheNextCheckAndElapsedKeepsRunning) {
    save("one *ELAPSED*");
    EXPECT_EQ(shown(), "one 00:00:00");
    save("second *ELAPSED*");
    FakeClock::tick = 999;  // checks come a second apart
    EXPECT_EQ(shown(), "one 00:00:00");
    FakeClock::tick = 1000;
    EXPECT_EQ(shown(), "second 00:00:01");
    EXPECT_EQ(graphics.built.size(), 2u);  // font and glyphs rebuilt,
    EXPECT_EQ(graphics.deleted, std::vector<std::uint32_t>{graphics.built[0]});  // the old block deleted
    EXPECT_EQ(FakeClock::timeZoneReloads, 2);
    FakeClock::tick = 5000;
    EXPECT_EQ(shown(), "second 00:00:05");  // nothing changed: no reload
    EXPECT_EQ(graphics.built.size(), 2u);

    plugin.runFunction(overlay::kCommandReload);  // the command still restarts the clock
    EXPECT_EQ(shown(), "second 00:00:00");
}

// A save within the file system's time resolution keeps the last-write time; the size tells it.
TEST_F(AutoReloadTest, ASaveThatKeepsTheWriteTimeButNotTheSizeIsRead) {
    save("same time");
    const auto written = std::filesystem::last_write_time(settingsFile());
    EXPECT_EQ(shown(), "same time");
    save("same time, longer");
    std::filesystem::last_write_time(settingsFile(), written);
    FakeClock::tick = 1000;
    EXPECT_EQ(shown(), "same time, longer");
}

TEST_F(AutoReloadTest, AMissingFileOrADirectoryLeavesWhatIsShownUntilTheFileIsBack) {
    save("kept");
    EXPECT_EQ(shown(), "kept");
    removeSettings();
    FakeClock::tick = 1000;
    EXPECT_EQ(shown(), "kept");
    std::filesystem::create_directory(settingsFile());
    FakeClock::tick = 2000;
    EXPECT_EQ(shown(), "kept");
    std::filesystem::remove(settingsFile());
    save("back again");
    FakeClock::tick = 2500;
    EXPECT_EQ(shown(), "kept");
    FakeClock::tick = 3000;
    EXPECT_EQ(shown(), "back again");
}

TEST_F(AutoReloadTest, AFileThatTurnsItOffStopsTheChecksAndNoneStartWithoutIt) {
    save("watched");
    shown();
    save("switched off", "AUTO_RELOAD=0");
    FakeClock::tick = 1000;
    EXPECT_EQ(shown(), "switched off");
    save("not seen");
    FakeClock::tick = 5000;
    EXPECT_EQ(shown(), "switched off");
    EXPECT_EQ(graphics.built.size(), 2u);
}

}  // namespace

namespace {

// The plain definition of a drawn line: the seven passes in table order over the row text.
std::string referenceLine(const std::string& row, const overlay::OverlayPlugin& plugin) {
    static char work[overlay::kWorkBufferSize];
    char line[overlay::LineCache::kTextSize] = {};
    std::strncpy(line, row.c_str(), sizeof line - 1);
    for (int token = 0; token < overlay::kTokenCount; ++token) {
        overlay::substituteToken(work, sizeof work, line, line, overlay::kTokenNames[token], plugin.tokenValue(token),
                                sizeof line);
    }
    return line;
}

TEST_F(OverlayPluginTest, CachedLinesEqualThePassesOverManyFramesAndRows) {
    const char* const pieces[] = {"*",          "**",         "CUR_",          "DATE*",      "*CUR_DATE*", "*CUR_",
                                  "*CAMERA_NAME*", "NAME*",   "*SEL_FACES*",   "*ELAPSED*",  "*CUR_TIME*", "x y ",
                                  "*SEL_EDGES*", "*SEL_VERTICES*", "\x02",     "TIME*",      "SEL_",       "\xE9"};
    unsigned seed = 12345;
    auto next = [&seed](unsigned bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    for (int file = 0; file < 40; ++file) {
        std::string contents = "[SECTION1]\n";
        for (int r = 0; r < 28; ++r) {
            std::string row;
            const unsigned count = 1 + next(8);
            for (unsigned i = 0; i < count && row.size() < 200; ++i) row += pieces[next(std::size(pieces))];
            contents += "ROWDATA" + std::to_string(r + 1) + "=" + row + "\n";
        }
        load(contents);
        fake.view.camera = nullptr;  // the camera value starts out empty
        for (int f = 0; f < 30; ++f) {
            if (f == 10) fake.view.camera = fake.scene.leftCamera;
            FakeHost::mode = static_cast<std::int32_t>(next(4));
            fake.faces.selectedCount = static_cast<std::int32_t>(next(3));
            fake.edges.selectedCount = static_cast<std::int32_t>(next(3));
            FakeClock::tick += next(2) * 1000;
            FakeClock::now += next(2);
            FakeClock::local.second = static_cast<int>(FakeClock::now % 60);
            const std::vector<Line> lines = frame();
            std::size_t i = 0;
            for (int r = 0; r < plugin.pageTable().pageCount() * 28 && r < 28; ++r) {
                const char* stored = plugin.pageTable().rowText(0, r);
                const std::string row = stored != nullptr ? stored : "";
                if (row.empty()) continue;
                ASSERT_LT(i, lines.size());
                ASSERT_EQ(lines[i].text, referenceLine(row, plugin)) << "file " << file << " frame " << f << " row " << row;
                ++i;
            }
        }
    }
}

}  // namespace

// FONT_SCALE=VIEW: glyphs made at FONT_SIZE x height / 480 (6 to 256), again when the size
// changes but at most every quarter second; the outline and the padding grow with them.
TEST_F(OverlaySetUpTest, ViewScaleMakesGlyphsAtTheViewsSizeAtMostFourTimesASecond) {
    graphics.view = {0, 0, 1280, 960};
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nFONT_SCALE=view\nTEXT_SHADOW=2\nBOX_ALPHA=9\n[SECTION1]\nROWDATA1=x\n");
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.builtSizes, std::vector<int>{36});
    EXPECT_EQ(graphics.look.stroke, 2);
    EXPECT_EQ(graphics.look.boxPadding, 8);
    graphics.view.height = 240;
    FakeClock::tick += 249;
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.look.stroke, 2) << "too soon: the last glyphs, with their look";
    FakeClock::tick += 1;
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.builtSizes, (std::vector<int>{36, 9}));
    EXPECT_EQ(graphics.look.stroke, 1);
    EXPECT_EQ(graphics.look.boxPadding, 2);
    EXPECT_EQ(graphics.deleted.size(), 1u);

    // A view resized every frame for 1000 frames of 16 ms: at most one set of glyphs a quarter
    // second, each deleted when the next is made, then the last height's size once it stops.
    for (int frame = 0; frame < 1000; ++frame) {
        graphics.view.height = 1 + (frame * 997) % 4096;
        FakeClock::tick += 16;
        plugin.drawFunction(0);
    }
    EXPECT_LE(graphics.builtSizes.size(), 2u + 16000 / 250 + 1);
    EXPECT_EQ(graphics.deleted.size(), graphics.builtSizes.size() - 1);
    graphics.view.height = 480;
    FakeClock::tick += 250;
    plugin.drawFunction(0);
    const std::size_t settled = graphics.builtSizes.size();
    EXPECT_EQ(graphics.builtSizes.back(), 18);
    for (int frame = 0; frame < 100; ++frame, FakeClock::tick += 16) plugin.drawFunction(0);
    EXPECT_EQ(graphics.builtSizes.size(), settled) << "a steady view makes nothing again";

    // FONT_SIZE=64 in a view 4096 high stops at 256 pixels, and so does the outline's growth.
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nFONT_SCALE=VIEW\nFONT_SIZE=64\nTEXT_SHADOW=1\n[SECTION1]\nROWDATA1=x\n");
    graphics.view.height = 4096;
    plugin.runFunction(overlay::kCommandReload);
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.builtSizes.back(), 256);
    EXPECT_EQ(graphics.look.stroke, 4);
}

// FONT_SCALE=DPI: FONT_SIZE x DPI / 96, and in PIXELS the positions, step and padding too; a DPI
// of 0 or none a screen has counts as 96; the DPI is asked again once a second. Without
// FONT_SCALE the DPI changes nothing.
TEST_F(OverlaySetUpTest, DpiScaleGrowsFontAndPixelLayoutByTheDisplaysDpi) {
    graphics.view = {0, 0, 1000, 800};
    const std::string file = "HUD_UNITS=PIXELS\nHUD_POS_X=30\nHUD_POS_Y=40\nHUD_STEP_Y=20\nTEXT_SHADOW=1\nBOX_ALPHA=9\n"
                             "[SECTION1]\nROWDATA1=abc\nROWDATA2=12345\n";
    const struct {
        const char* scale;
        int dpi, size, stroke, dx, dy0, dy1, padding;
    } cases[] = {
        {"DPI", 144, 27, 2, 45, 60, 30, 6}, {"DPI", 192, 36, 2, 60, 80, 40, 8}, {"DPI", 0, 18, 1, 30, 40, 20, 4},
        {"DPI", 100000, 18, 1, 30, 40, 20, 4}, {"NONE", 192, 18, 1, 30, 40, 20, 4},
    };
    for (const auto& c : cases) {
        graphics.dpi = c.dpi;
        writeSettings(std::string("[CONFIG]\nDISPLAY_ONSTART=1\nFONT_SCALE=") + c.scale + "\n" + file);
        plugin.runFunction(overlay::kCommandReload);
        plugin.drawFunction(0);
        const std::string name = std::string(c.scale) + " at " + std::to_string(c.dpi);
        EXPECT_EQ(graphics.builtSizes.back(), c.size) << name;
        EXPECT_EQ(graphics.look.stroke, c.stroke) << name;
        EXPECT_EQ(graphics.look.boxPadding, c.padding) << name;
        ASSERT_EQ(graphics.lines.size(), 2u) << name;
        EXPECT_EQ(graphics.lines[0].place.dx, c.dx) << name;
        EXPECT_EQ(graphics.lines[0].place.dy, c.dy0) << name;
        EXPECT_EQ(graphics.lines[1].place.dy, c.dy1) << name;
    }
    // In SCREEN units only the font and its shadow grow; and a window moved to another screen
    // gets its DPI within a second.
    graphics.dpi = 144;
    writeSettings("[CONFIG]\nDISPLAY_ONSTART=1\nFONT_SCALE=DPI\nBOX_ALPHA=9\n[SECTION1]\nROWDATA1=x\n");
    plugin.runFunction(overlay::kCommandReload);
    plugin.drawFunction(0);
    EXPECT_EQ(graphics.builtSizes.back(), 27);
    EXPECT_EQ(graphics.look.boxPadding, 4);
    graphics.dpi = 192;
    for (const int size : {27, 36}) {
        FakeClock::tick += 500;
        plugin.drawFunction(0);
        EXPECT_EQ(graphics.builtSizes.back(), size);
    }
}
