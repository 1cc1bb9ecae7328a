// Random layouts: settings files made up on the spot (corner, place, step, font size, colours,
// shadow or outline, box, rows of random Windows-1252 text, some off the screen), each drawn by
// the plug-in over a host viewport that is sometimes smaller than the window, and compared with
// the oracle's glyph lists, pixel for pixel and in the raster position the frame leaves.
#include <cstdint>
#include <cstdio>
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

}  // namespace

void Session::randomLayouts(long count, std::uint32_t seed) {
    const HostFrame hostBefore = hostFrame;
    const int widthBefore = width, heightBefore = height;
    for (long layout = 0; layout < count; ++layout) {
        Draws draws(seed + static_cast<std::uint32_t>(layout));
        const Size window = kWindows[(layout / 16) % 4];
        if (window.width != width || window.height != height) setViewport(window.width, window.height);
        // A host viewport inside the window, smaller than it: text runs past the viewport's edges
        // and is cut only by the window's.
        const bool subViewport = draws.chance(35);
        const int viewWidth = draws.between(width / 3, width * 4 / 5);
        const int viewHeight = draws.between(height / 3, height * 4 / 5);
        setHostViewport(subViewport, draws.between(0, width - viewWidth), draws.between(0, height - viewHeight), viewWidth,
                        viewHeight);

        // The first rows where their text shows, at the space's very edge now and then (x 0 or
        // 640 from the anchor's side, the top at 480, which is outside for some GLs' rounding:
        // the second row shows then); later rows reach y 0 exactly, or fall below (at the top
        // and without a corner), or rise past the top (from the bottom right).
        const int anchor = draws.below(4);
        const bool top = anchor == 1 || anchor == 2;
        const int low = anchor == 0 ? 1 : 0;
        const int x = draws.chance(20) ? low : draws.between(low, 600);
        const int y = top ? (draws.chance(20) ? 0 : draws.between(0, 400)) : draws.between(1, 470);
        const int rowCount = draws.between(2, 6);
        int step = draws.between(1, 40);
        if (!top && draws.chance(30)) step = y / draws.between(1, rowCount);  // a row at y 0 exactly
        if (step < 1) step = 1;
        const int size = kFontSizes[draws.below(4)];
        const int colour[3] = {draws.below(256), draws.below(256), draws.below(256)};
        const int shadow = draws.below(3);
        const int shadowColour[3] = {draws.below(256), draws.below(256), draws.below(256)};
        const bool box = !subViewport && draws.chance(25);
        const int boxAlpha = draws.between(1, 255), padding = draws.between(0, 12);
        std::vector<std::string> rows(static_cast<std::size_t>(rowCount));
        for (std::string& row : rows) row = randomRow(draws);
        rows[0][0] = rows[1][0] = rows.back()[0] = 'W';  // ink in rows that lie in the space

        // BOTTOM_LEFT is the corner of a file without HUD_ANCHOR (the first row's baseline at y); a
        // bottom corner the file names holds the block (the last row's descent at y).
        const bool named = anchor != 0;
        const bool holdsBottom = anchor == 3;
        std::string file = "[CONFIG]\r\nDISPLAY_ONSTART=1\r\n" +
                           (named ? "HUD_ANCHOR=" + std::string(kAnchors[anchor]) + "\r\n" : std::string()) +
                           "HUD_POS_X=" + std::to_string(x) + "\r\nHUD_POS_Y=" + std::to_string(y) +
                           "\r\nHUD_STEP_Y=" + std::to_string(step) + "\r\nFONT_SIZE=" + std::to_string(size) +
                           "\r\nCOLOR_RED=" + std::to_string(colour[0]) + "\r\nCOLOR_GREEN=" + std::to_string(colour[1]) +
                           "\r\nCOLOR_BLUE=" + std::to_string(colour[2]) + "\r\nTEXT_SHADOW=" + std::to_string(shadow) +
                           "\r\nSHADOW_COLOR_RED=" + std::to_string(shadowColour[0]) +
                           "\r\nSHADOW_COLOR_GREEN=" + std::to_string(shadowColour[1]) +
                           "\r\nSHADOW_COLOR_BLUE=" + std::to_string(shadowColour[2]) + "\r\n";
        if (box) file += "BOX_ALPHA=" + std::to_string(boxAlpha) + "\r\nBOX_PADDING=" + std::to_string(padding) + "\r\n";
        file += "[SECTION1]\r\n";
        for (std::size_t row = 0; row < rows.size(); ++row) {
            file += "ROWDATA" + std::to_string(row + 1) + "=" + rows[row] + "\r\n";
        }
        const std::string path = outputPath("standin-random-layout.ini");
        std::ofstream(path, std::ios::binary) << file;
        stageSettings(path);
        runFunction(kReloadCommand);
        drawFrame(0);

        setOracle(size, colour[0], colour[1], colour[2], "Arial");
        if (named) setOracleAnchor(kOracleAnchors[anchor]);
        if (shadow != 0) {
            setOracleShadow(shadow == 1 ? OracleShadow::Drop : OracleShadow::Outline, shadowColour[0], shadowColour[1],
                            shadowColour[2]);
        }
        if (box) setOracleBox(true, 0, 0, 0, boxAlpha, padding);
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const float offset = static_cast<float>(row) * static_cast<float>(step);
            const float fromLast = static_cast<float>(rows.size() - 1 - row) * static_cast<float>(step);
            addOracleLine(static_cast<float>(x), static_cast<float>(y) + (top ? offset : holdsBottom ? fromLast : -offset), 0,
                          oracleText(rows[row]));
        }
        try {
            compare(box ? 1 : 0);
            expectRasterAsOracle();
        } catch (const StepFailure& failure) {
            fail("layout " + std::to_string(layout) + " (settings kept as " + path + "): " + failure.what());
        }
    }
    hostFrame = hostBefore;
    if (width != widthBefore || height != heightBefore) setViewport(widthBefore, heightBefore);
    std::printf("standin_host: %ld random layouts match the glyph lists\n", count);
}

}  // namespace standin
