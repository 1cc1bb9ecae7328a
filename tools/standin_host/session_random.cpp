// Layouts made up on the spot: random ones (corner, place, step, font size, colours, shadow or
// outline, box, rows of random Windows-1252 text, some off the screen), each drawn by the plug-in
// over a host viewport that is sometimes smaller than the window; and every corner at its very
// edge, in both units, plain, outlined with a box, and antialiased. Each is compared with the
// oracle's glyph lists, pixel for pixel and in the raster position the frame leaves.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "session.h"

namespace standin {

namespace {

// A small generator of our own, so that a seed gives the same layouts with every C++ library.
class Draws {
public:
    explicit Draws(std::uint32_t seed) : state(seed * 2654435761u + 1u) {}
    int below(int bound) {  // 0 to bound - 1
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<int>(state % static_cast<std::uint32_t>(bound));
    }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint32_t state;
};

constexpr const char* kAnchors[] = {"BOTTOM_LEFT", "TOP_LEFT", "TOP_RIGHT", "BOTTOM_RIGHT"};
constexpr const char* kOracleAnchors[] = {"bottom-left", "top-left", "top-right", "bottom-right"};
constexpr int kFontSizes[] = {9, 13, 18, 26};
struct Size {
    int width, height;
};
constexpr Size kWindows[] = {{640, 480}, {1024, 768}, {333, 257}, {800, 600}};

// A row of bytes the settings reader keeps as they are: no spaces or quotes at its ends, no '*'
// (tokens), no line ends; letters, digits, punctuation, accented letters and a few control bytes.
// A byte from 0xC0 up is never followed by another from 0x80 up, so that no row reads as UTF-8
// (which the plug-in would convert).
std::string randomRow(Draws& draws) {
    static const char kPool[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:;!?-_()[]/%&@#=+<>";
    const int length = draws.between(1, 34);
    std::string row;
    for (int i = 0; i < length; ++i) {
        const bool afterLead = !row.empty() && static_cast<unsigned char>(row.back()) >= 0xC0;
        const int kind = afterLead ? 0 : draws.below(20);
        char c;
        if (kind < 15) {
            c = kPool[draws.below(static_cast<int>(sizeof kPool) - 1)];
        } else if (kind < 19) {
            c = static_cast<char>(draws.between(0xA0, 0xFF));
        } else {
            c = static_cast<char>(draws.between(1, 8));  // control bytes draw nothing
        }
        if ((i == 0 || i == length - 1) && (c == ' ' || c == '"' || c == '\'' || c == ';' || c == '[')) c = 'x';
        row += c;
    }
    return row;
}

// The row as an oracle-text argument: braces, backslashes and bytes outside printable ASCII escaped.
std::string oracleText(const std::string& row) {
    std::string text;
    for (unsigned char c : row) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}') {
            text += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    return text;
}

// One layout: a settings file and the oracle's lines for it.
struct Layout {
    int anchor = 0;     // of kAnchors
    bool named = true;  // HUD_ANCHOR in the file
    bool pixels = false;
    int x = 0, y = 0, step = 0, size = 18;
    int colour[3] = {255, 255, 255};
    int shadow = 0;  // TEXT_SHADOW
    int shadowColour[3] = {};
    bool box = false;
    int boxAlpha = 0, padding = 0;
    bool smooth = false;
    std::vector<std::string> rows;
};

// The layout drawn by the plug-in after a Reload INI, and by the oracle; `what` names it when they
// differ.
void drawLayout(Session& session, const Layout& layout, const std::string& what) {
    const auto number = [](const char* key, int value) { return std::string(key) + "=" + std::to_string(value) + "\r\n"; };
    std::string file = "[CONFIG]\r\nDISPLAY_ONSTART=1\r\n";
    if (layout.named) file += "HUD_ANCHOR=" + std::string(kAnchors[layout.anchor]) + "\r\n";
    if (layout.pixels) file += "HUD_UNITS=PIXELS\r\n";
    file += number("HUD_POS_X", layout.x) + number("HUD_POS_Y", layout.y) + number("HUD_STEP_Y", layout.step) +
            number("FONT_SIZE", layout.size) + number("COLOR_RED", layout.colour[0]) +
            number("COLOR_GREEN", layout.colour[1]) + number("COLOR_BLUE", layout.colour[2]) +
            number("TEXT_SHADOW", layout.shadow) + number("SHADOW_COLOR_RED", layout.shadowColour[0]) +
            number("SHADOW_COLOR_GREEN", layout.shadowColour[1]) + number("SHADOW_COLOR_BLUE", layout.shadowColour[2]);
    if (layout.box) file += number("BOX_ALPHA", layout.boxAlpha) + number("BOX_PADDING", layout.padding);
    if (layout.smooth) file += "FONT_SMOOTH=1\r\n";
    file += "[SECTION1]\r\n";
    for (std::size_t row = 0; row < layout.rows.size(); ++row) {
        file += "ROWDATA" + std::to_string(row + 1) + "=" + layout.rows[row] + "\r\n";
    }
    const std::string path = session.outputPath("standin-layout.ini");
    std::ofstream(path, std::ios::binary) << file;
    session.stageSettings(path);
    session.runFunction(kReloadCommand);
    session.drawFrame(0);

    // The glyph lists the tests force draw 1-bit text.
    const char* limit = std::getenv("OSTRIVANE_TEST_MAX_TEXTURE_SIZE");
    const bool smooth = layout.smooth && (limit == nullptr || std::strcmp(limit, "1") != 0);
    session.setOracle(layout.size, layout.colour[0], layout.colour[1], layout.colour[2], "Arial");
    if (smooth) session.setOracleSmooth();
    session.setOracleUnits(layout.pixels);
    if (layout.named) session.setOracleAnchor(kOracleAnchors[layout.anchor]);
    if (layout.shadow != 0) {
        session.setOracleShadow(layout.shadow == 1 ? OracleShadow::Drop : OracleShadow::Outline, layout.shadowColour[0],
                                layout.shadowColour[1], layout.shadowColour[2]);
    }
    if (layout.box) session.setOracleBox(true, 0, 0, 0, layout.boxAlpha, layout.padding);
    // BOTTOM_LEFT is the corner of a file without HUD_ANCHOR (the first row's baseline at y); a
    // bottom corner the file names holds the block (the last row's descent at y).
    const bool top = layout.anchor == 1 || layout.anchor == 2;
    const bool holdsBottom = layout.named && !top;
    for (std::size_t row = 0; row < layout.rows.size(); ++row) {
        const float offset = static_cast<float>(row) * static_cast<float>(layout.step);
        const float fromLast = static_cast<float>(layout.rows.size() - 1 - row) * static_cast<float>(layout.step);
        session.addOracleLine(static_cast<float>(layout.x),
                              static_cast<float>(layout.y) + (top ? offset : holdsBottom ? fromLast : -offset), 0,
                              oracleText(layout.rows[row]));
    }
    try {
        session.compare(smooth ? 2 : layout.box ? 1 : 0);
        session.expectRasterAsOracle();
    } catch (const StepFailure& failure) {
        session.fail(what + " (settings kept as " + path + "): " + failure.what());
    }
}

}  // namespace

void Session::randomLayouts(long count, std::uint32_t seed) {
    const HostFrame hostBefore = hostFrame;
    const int widthBefore = width, heightBefore = height;
    for (long index = 0; index < count; ++index) {
        Draws draws(seed + static_cast<std::uint32_t>(index));
        const Size window = kWindows[(index / 16) % 4];
        if (window.width != width || window.height != height) setViewport(window.width, window.height);
        // A host viewport inside the window, smaller than it: text runs past the viewport's edges
        // and is cut only by the window's.
        const bool subViewport = draws.chance(35);
        const int viewWidth = draws.between(width / 3, width * 4 / 5);
        const int viewHeight = draws.between(height / 3, height * 4 / 5);
        setHostViewport(subViewport, draws.between(0, width - viewWidth), draws.between(0, height - viewHeight), viewWidth,
                        viewHeight);

        // The first rows where their text shows, at the space's very edge now and then (x 0 or
        // 640 from the anchor's side, the top at 480); later rows reach y 0 exactly, or fall below
        // (at the top and without a corner), or rise past the top (from the bottom right).
        Layout layout;
        layout.anchor = draws.below(4);
        layout.named = layout.anchor != 0;
        const bool top = layout.anchor == 1 || layout.anchor == 2;
        const int low = layout.anchor == 0 ? 1 : 0;
        layout.x = draws.chance(20) ? low : draws.between(low, 600);
        layout.y = top ? (draws.chance(20) ? 0 : draws.between(0, 400)) : draws.between(1, 470);
        const int rowCount = draws.between(2, 6);
        layout.step = draws.between(1, 40);
        if (!top && draws.chance(30)) layout.step = layout.y / draws.between(1, rowCount);  // a row at y 0 exactly
        if (layout.step < 1) layout.step = 1;
        layout.size = kFontSizes[draws.below(4)];
        for (int& channel : layout.colour) channel = draws.below(256);
        layout.shadow = draws.below(3);
        for (int& channel : layout.shadowColour) channel = draws.below(256);
        layout.box = !subViewport && draws.chance(25);
        layout.boxAlpha = draws.between(1, 255);
        layout.padding = draws.between(0, 12);
        layout.rows.resize(static_cast<std::size_t>(rowCount));
        for (std::string& row : layout.rows) row = randomRow(draws);
        layout.rows[0][0] = layout.rows[1][0] = layout.rows.back()[0] = 'W';  // ink in rows that lie in the space
        drawLayout(*this, layout, "layout " + std::to_string(index));
    }
    hostFrame = hostBefore;
    if (width != widthBefore || height != heightBefore) setViewport(widthBefore, heightBefore);
    std::printf("standin_host: %ld random layouts match the glyph lists\n", count);
}

// Rows from each corner at 0 and 1 from both its edges, in both units, at 0 in a window of
// 640x480 and at 1 in one of 1024x768: plain, outlined with a box, and antialiased with a drop
// shadow and a box. Every row lies in the view and is drawn, with its part of the box. (0 is no
// position for BOTTOM_LEFT in SCREEN units.)
void Session::cornerLayouts() {
    const int widthBefore = width, heightBefore = height;
    for (int index = 3; index < 48; ++index) {
        Layout layout;
        layout.anchor = index / 12;
        layout.pixels = index / 6 % 2 == 1;
        layout.x = layout.y = index / 3 % 2;
        layout.shadow = index % 3;
        layout.step = 22;
        layout.shadowColour[2] = 160;
        layout.box = layout.shadow != 0;
        layout.boxAlpha = 140;
        layout.padding = 3;
        layout.smooth = layout.shadow == 1;
        layout.rows = {"Wg the first row, at the edge", "Wy a second row", "Wj the third row"};
        if (kWindows[layout.x].width != width) setViewport(kWindows[layout.x].width, kWindows[layout.x].height);
        drawLayout(*this, layout,
                   std::string(kAnchors[layout.anchor]) + (layout.pixels ? " PIXELS" : " SCREEN") + " at " +
                       std::to_string(layout.x) + ", TEXT_SHADOW=" + std::to_string(layout.shadow));
    }
    if (width != widthBefore || height != heightBefore) setViewport(widthBefore, heightBefore);
    std::printf("standin_host: 45 corner layouts match the glyph lists\n");
}

}  // namespace standin
