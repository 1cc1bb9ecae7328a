#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "fake_graphics.h"
#include "fake_host.h"
#include "overlay/overlay_plugin.h"

namespace {

// ---- Token values -------------------------------------------------------------------------------

class TokenValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeClock::reset();
        plugin.setClock(FakeClock::clock());
        plugin.attachHost(&fake.record);
        plugin.restartElapsed();
    }

    std::string value(int token) const { return plugin.tokenValue(token); }

    FakeHost fake;
    FakeGraphics graphics;
    overlay::OverlayPlugin plugin{graphics};
};

TEST_F(TokenValuesTest, CameraNameFollowsTheActiveViewWithBottomTestedFirst) {
    const struct {
        host::CameraHandle handle;
        const char* name;
    } cases[] = {
        {fake.scene.perspectiveCamera, "Main Perspective"}, {fake.scene.topCamera, "Top"},
        {fake.scene.leftCamera, "Left"},                    {fake.scene.rightCamera, "Right"},
        {fake.scene.frontCamera, "Front"},                  {fake.scene.backCamera, "Back"},
        {fake.scene.bottomCamera, "Bottom"},                {fake.freeCamera(), "Free Ortho"},
    };
    for (const auto& c : cases) {
        fake.view.camera = c.handle;
        plugin.refreshTokenValues();
        EXPECT_EQ(value(overlay::kTokenCameraName), c.name);
    }
    // Two fields holding the same handle: the first in test order wins.
    fake.scene.topCamera = fake.scene.bottomCamera;
    fake.view.camera = fake.freeCamera();
    plugin.refreshTokenValues();
    fake.view.camera = fake.scene.topCamera;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenCameraName), "Bottom");
}

TEST_F(TokenValuesTest, AHandleInSeveralFieldsGetsTheNameTestedFirst) {
    // The order the host's camera fields are tested in, with their names.
    using Field = host::CameraHandle host::HostSceneState::*;
    const struct {
        Field field;
        const char* name;
    } order[] = {
        {&host::HostSceneState::bottomCamera, "Bottom"}, {&host::HostSceneState::perspectiveCamera, "Main Perspective"},
        {&host::HostSceneState::topCamera, "Top"},       {&host::HostSceneState::backCamera, "Back"},
        {&host::HostSceneState::frontCamera, "Front"},   {&host::HostSceneState::leftCamera, "Left"},
        {&host::HostSceneState::rightCamera, "Right"},
    };
    const host::HostSceneState distinct = fake.scene;
    for (std::size_t first = 0; first < std::size(order); ++first) {
        for (std::size_t second = first + 1; second < std::size(order); ++second) {
            fake.scene = distinct;
            fake.scene.*order[second].field = fake.scene.*order[first].field;
            fake.view.camera = fake.freeCamera();
            plugin.refreshTokenValues();
            fake.view.camera = fake.scene.*order[second].field;
            plugin.refreshTokenValues();
            EXPECT_EQ(value(overlay::kTokenCameraName), order[first].name)
                << order[first].name << " and " << order[second].name << " share a handle";
        }
    }
}

TEST_F(TokenValuesTest, NullCameraWritesNothingUntilACameraIsSeen) {
    fake.view.camera = nullptr;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenCameraName), "");
    fake.view.camera = fake.scene.topCamera;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenCameraName), "Top");
    // The same camera shown by another view keeps the name; no rewrite needed.
    host::HostActiveView otherView{};
    otherView.camera = fake.scene.topCamera;
    fake.holder.activeView = &otherView;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenCameraName), "Top");
}

TEST_F(TokenValuesTest, MissingHostLinksReadAsNoCameraAndNoSelection) {
    fake.view.camera = fake.scene.topCamera;
    plugin.refreshTokenValues();
    ASSERT_EQ(value(overlay::kTokenCameraName), "Top");

    fake.holder.activeView = nullptr;  // a null handle matches no non-null camera field
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenCameraName), "Free Ortho");

    fake.scene.activeViewHolder = nullptr;
    FakeHost::mode = host::kFaceMode;
    fake.faces.selectedCount = 5;
    fake.scene.faceSelection = nullptr;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenSelectedFaces), "0");

    fake.services.selectionMode = nullptr;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenSelectedFaces), "0");

    overlay::OverlayPlugin detached{graphics};  // no host record at all
    detached.setClock(FakeClock::clock());
    detached.refreshTokenValues();
    EXPECT_EQ(std::string(detached.tokenValue(overlay::kTokenCameraName)), "");
    EXPECT_EQ(std::string(detached.tokenValue(overlay::kTokenSelectedEdges)), "0");
}

TEST_F(TokenValuesTest, SelectionCountsOnlyInTheirModeWithThreeModeCallsPerFrame) {
    fake.faces.selectedCount = 12;
    fake.edges.selectedCount = 34;
    fake.vertices.selectedCount = 56;
    const struct {
        std::int32_t mode;
        const char* faces;
        const char* edges;
        const char* vertices;
    } cases[] = {{0, "12", "0", "0"}, {1, "0", "34", "0"}, {2, "0", "0", "56"}, {3, "0", "0", "0"}, {-1, "0", "0", "0"}};
    for (const auto& c : cases) {
        FakeHost::mode = c.mode;
        FakeHost::modeCalls = 0;
        plugin.refreshTokenValues();
        EXPECT_EQ(FakeHost::modeCalls, 3);
        EXPECT_EQ(value(overlay::kTokenSelectedFaces), c.faces) << c.mode;
        EXPECT_EQ(value(overlay::kTokenSelectedEdges), c.edges) << c.mode;
        EXPECT_EQ(value(overlay::kTokenSelectedVertices), c.vertices) << c.mode;
    }
    FakeHost::mode = 0;
    fake.faces.selectedCount = -3;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenSelectedFaces), "-3");
}

TEST_F(TokenValuesTest, DateAndTimeFormatsAndFailedConversionKeepsThem) {
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenDate), "2026-12-07");
    EXPECT_EQ(value(overlay::kTokenTime), "22:15:30");

    FakeClock::local = {0, 0, 1, 0, 0, 5};
    ++FakeClock::now;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenDate), "1900-01-01");
    EXPECT_EQ(value(overlay::kTokenTime), "00:00:05");

    FakeClock::localTimeFails = true;
    FakeClock::local = {100, 5, 5, 5, 5, 5};
    ++FakeClock::now;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenDate), "1900-01-01");
    EXPECT_EQ(value(overlay::kTokenTime), "00:00:05");
}

TEST_F(TokenValuesTest, ElapsedShowsHoursBeyondADayAndSurvivesTheTickWrap) {
    FakeClock::tick = 1000;
    plugin.restartElapsed();
    FakeClock::tick = 1000 + 59'999;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenElapsed), "00:00:59");

    FakeClock::tick = 1000 + 100u * 3600u * 1000u;
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenElapsed), "100:00:00");

    // Advance in steps of a day, across the 32-bit wrap of the tick at 2^32 ms (1193:02:47.296).
    std::uint64_t total = 100ull * 3600 * 1000;
    while (total < 1300ull * 3600 * 1000) {
        total += 24ull * 3600 * 1000;
        FakeClock::tick = static_cast<std::uint32_t>(1000 + total);
        plugin.refreshTokenValues();
    }
    EXPECT_EQ(value(overlay::kTokenElapsed), "1300:00:00");  // 100 h + 50 days

    plugin.restartElapsed();
    plugin.refreshTokenValues();
    EXPECT_EQ(value(overlay::kTokenElapsed), "00:00:00");
}

// *FPS*: the frames the host drew in the last whole second of the tick, hidden ones included.
TEST_F(TokenValuesTest, FramesPerSecondCountsTheLastWholeSecondAcrossTheTickWrap) {
    overlay::TokenValues values;
    values.setClock(FakeClock::clock());
    const auto fps = [&values] {
        values.refresh();
        return std::string(values.value(overlay::kTokenFramesPerSecond));
    };
    const auto frames = [&values](int count, std::uint32_t stepMs) {
        for (int i = 0; i < count; ++i) {
            FakeClock::tick += stepMs;
            values.countFrame();
        }
    };
    FakeClock::tick = 4'294'960'500u;  // 6.8 s before the 32-bit tick wraps
    values.restartElapsed();
    frames(50, 10);  // to 4294961.000 s: the second of the restart was not whole
    EXPECT_EQ(fps(), "0");
    frames(59, 10);  // 60 frames in 4294961 s, which has not ended
    EXPECT_EQ(fps(), "0");
    frames(1, 500);
    EXPECT_EQ(fps(), "60");
    for (int second = 0; second < 8; ++second) {  // 25 a second, across the wrap
        frames(25, 40);
        if (second > 0) {
            EXPECT_EQ(fps(), "25") << "second " << second;
        }
    }
    frames(1, 2500);  // a gap: the last whole second held nothing
    EXPECT_EQ(fps(), "0");
    frames(100000, 0);  // a host that draws 100 000 times in one tick-second
    frames(1, 1000);
    EXPECT_EQ(fps(), "100001");
    values.restartElapsed();
    EXPECT_EQ(fps(), "0");

    // A set-up at the first millisecond of a second leaves that second whole; one a millisecond
    // later does not.
    for (const std::uint32_t setUp : {7'000u, 7'001u}) {
        FakeClock::tick = setUp;
        values.restartElapsed();
        frames(1, 0);
        frames(99, (7'999u - setUp) / 99);
        frames(1, 8'000u - FakeClock::tick);
        EXPECT_EQ(fps(), setUp == 7'000u ? "100" : "0") << "set-up at " << setUp;
    }
}

// *CUR_DATE* and *CUR_TIME* in the user's formats, across midnight, noon and the year's end.
TEST_F(TokenValuesTest, ClockFormatsShowEachFieldAndChangeOnlyWithWhatTheyShow) {
    overlay::TokenValues values;
    values.setClock(FakeClock::clock());
    values.setClockFormats("%d/%m/%y %Y", "%I:%M:%S %p %H %% %q %");
    const struct {
        platform::CalendarTime local;
        const char* date;
        const char* time;
    } cases[] = {
        {{126, 11, 31, 23, 59, 59}, "31/12/26 2026", "11:59:59 PM 23 % %q %"},
        {{127, 0, 1, 0, 0, 0}, "01/01/27 2027", "12:00:00 AM 00 % %q %"},
        {{127, 0, 1, 11, 59, 59}, "01/01/27 2027", "11:59:59 AM 11 % %q %"},
        {{127, 0, 1, 12, 0, 0}, "01/01/27 2027", "12:00:00 PM 12 % %q %"},
        {{127, 0, 1, 13, 5, 9}, "01/01/27 2027", "01:05:09 PM 13 % %q %"},
        {{100, 5, 9, 7, 8, 9}, "09/06/00 2000", "07:08:09 AM 07 % %q %"},
    };
    for (const auto& c : cases) {
        FakeClock::local = c.local;
        ++FakeClock::now;
        values.refresh();
        EXPECT_EQ(std::string(values.value(overlay::kTokenDate)), c.date);
        EXPECT_EQ(std::string(values.value(overlay::kTokenTime)), c.time);
    }
    // A format is formatted again only when a field it shows changed.
    values.setClockFormats("%Y", "%H %p");
    values.refresh();
    const std::uint32_t version = values.version();
    FakeClock::local.minute = 30;
    ++FakeClock::now;
    values.refresh();
    EXPECT_EQ(values.version(), version);
    // %p alone changes at noon and midnight.
    values.setClockFormats("%Y", "%p");
    FakeClock::local = {127, 0, 1, 11, 59, 59};
    values.refresh();
    EXPECT_EQ(std::string(values.value(overlay::kTokenTime)), "AM");
    FakeClock::local.hour = 12;
    ++FakeClock::now;
    values.refresh();
    EXPECT_EQ(std::string(values.value(overlay::kTokenTime)), "PM");
    FakeClock::local = {100, 5, 9, 7, 30, 9};
    // 259 fields are cut to 31 characters; an empty format is the default.
    values.setClockFormats(std::string(258, '%').append("Y").c_str(), "");
    values.refresh();
    EXPECT_EQ(std::string(values.value(overlay::kTokenDate)), std::string(31, '%').substr(0, 31));
    EXPECT_EQ(std::string(values.value(overlay::kTokenTime)), "07:30:09");
}

// *SEL_MODE* and *SEL_COUNT*: the selection in the mode the host is in, from the three mode calls.
TEST_F(TokenValuesTest, SelectionModeAndCountFollowTheActiveMode) {
    fake.faces.selectedCount = 12;
    fake.edges.selectedCount = 34;
    fake.vertices.selectedCount = 56;
    const struct {
        std::int32_t mode;
        const char* name;
        const char* count;
    } cases[] = {{0, "Faces", "12"}, {1, "Edges", "34"}, {2, "Vertices", "56"}, {3, "", "0"}, {-1, "", "0"},
                 {0x7FFFFFFF, "", "0"}};
    for (const auto& c : cases) {
        FakeHost::mode = c.mode;
        FakeHost::modeCalls = 0;
        plugin.refreshTokenValues();
        EXPECT_EQ(FakeHost::modeCalls, 3);
        EXPECT_EQ(value(overlay::kTokenSelectionMode), c.name) << c.mode;
        EXPECT_EQ(value(overlay::kTokenSelectionCount), c.count) << c.mode;
    }
}

TEST_F(TokenValuesTest, ValuesSurviveReload) {
    fake.view.camera = fake.scene.frontCamera;
    plugin.refreshTokenValues();
    plugin.loadSettings();  // no settings file here: pages vanish, values stay
    EXPECT_EQ(value(overlay::kTokenCameraName), "Front");
    EXPECT_EQ(value(overlay::kTokenDate), "2026-12-07");
}

}  // namespace
