// The oracle: the same text drawn by the host's own glyph lists, and the pixel comparison of the
// plug-in's last frame with it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "gl_headers.h"
#include "session.h"

namespace fs = std::filesystem;

namespace standin {

namespace {

// What *FPS* shows after the frames counted since set-up, each at `tick` of a pair: the frames of
// the last whole second of the tick before the last frame's (one that began at or after the
// set-up), 0 while no such second has ended or after a second without a frame.
int framesPerSecond(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& frames, bool after) {
    int shown = 0, counted = 0;
    bool whole = false;
    std::uint32_t second = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::uint32_t tick = after ? frames[i].second : frames[i].first;
        const std::uint32_t now = tick / 1000;
        if (i == 0) {
            second = now;  // the set-up restarts the count within this second
            whole = tick % 1000 == 0;
        } else if (now != second) {
            if (now == second + 1) {
                if (whole) shown = counted;
            } else {
                shown = 0;
            }
            second = now;
            whole = true;
            counted = 0;
        }
        ++counted;
    }
    return shown;
}

std::string formatTriple(const char* pattern, int a, int b, int c) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

}  // namespace

void Session::setOracle(int size, int red, int green, int blue, const std::string& face) {
    ensureGl();
    oracleColour[0] = static_cast<float>(red) / 255.0f;
    oracleColour[1] = static_cast<float>(green) / 255.0f;
    oracleColour[2] = static_cast<float>(blue) / 255.0f;
    oracleLines.clear();
    oracleStyle = OracleStyle();
    oracleCorner = Corner::BottomLeft;
    oracleOnDescent = false;
    oraclePixels = false;
    // The scaled size, worked out here by itself: FONT_SIZE over a 480-pixel view or 96 DPI,
    // rounded, from 6 to 256 pixels; the look grows by the same factor, no further than the font.
    oracleFactor = 1.0;
    if (oracleScale != OracleScale::None) {
        const double grown = oracleScale == OracleScale::View ? height / 480.0 : oracleDpi / 96.0;
        oracleFactor = std::min(grown, 256.0 / size);
        size = std::clamp(static_cast<int>(std::lround(size * grown)), 6, 256);
    }
    oracleStyle.stroke = std::max(1, static_cast<int>(std::lround(oracleFactor)));
    if (oracleReady && face == oracleFace && size == oracleSize && !oracleMapped) return;
    oracleMapped = false;
    if (oracleBase == 0) oracleBase = glGenLists(256);
    if (oracleBase == 0) fail("glGenLists gave no lists for the oracle");
    if (!gl->buildGlyphLists(face, size, oracleBase + 32, 32, 224)) {
        fail("cannot build oracle glyphs from font \"" + face + "\" at " + std::to_string(size) + " pixels");
    }
    oracleMetrics = FontMetrics();
    if (!gl->fontMetrics(face, size, &oracleMetrics)) {
        fail("cannot measure font \"" + face + "\" at " + std::to_string(size) + " pixels for the oracle");
    }
    oracleFace = face;
    oracleSize = size;
    oracleReady = true;
}

void Session::mapOracleGlyph(int byte, std::uint32_t codePoint, const std::string& face) {
    if (!oracleReady) fail("oracle-glyph needs an oracle step first");
    if (!gl->buildCharacterList(face, oracleSize, oracleBase + static_cast<unsigned>(byte), codePoint)) {
        fail("cannot build the oracle's glyph of U+" + std::to_string(codePoint) + " from font \"" + face + "\"");
    }
    oracleMapped = true;
}

void Session::addOracleLine(float x, double y, int lines, const std::string& text) {
    if (lines != 0 && !oracleReady) fail("line heights in oracle-text need an oracle step first");
    const double lineHeight = oraclePixels ? oracleMetrics.lineHeight : oracleMetrics.lineHeight * 480.0 / height;
    // In pixels on a scaled display, the positions grow with the font.
    if (oraclePixels && oracleScale == OracleScale::Dpi) {
        x = static_cast<float>(std::lround(x * oracleFactor));
        y = static_cast<double>(std::lround(y * oracleFactor));
    }
    oracleLines.push_back({oracleCorner, oracleOnDescent, oraclePixels, x, static_cast<float>(y + lines * lineHeight), text});
}

void Session::setOracleShadow(OracleShadow shadow, int red, int green, int blue) {
    oracleStyle.shadow = shadow;
    oracleStyle.shadowColour[0] = static_cast<float>(red) / 255.0f;
    oracleStyle.shadowColour[1] = static_cast<float>(green) / 255.0f;
    oracleStyle.shadowColour[2] = static_cast<float>(blue) / 255.0f;
}

void Session::setOracleBox(bool box, int red, int green, int blue, int alpha, int padding) {
    oracleStyle.box = box;
    oracleStyle.boxColour[0] = static_cast<float>(red) / 255.0f;
    oracleStyle.boxColour[1] = static_cast<float>(green) / 255.0f;
    oracleStyle.boxColour[2] = static_cast<float>(blue) / 255.0f;
    oracleStyle.boxAlpha = static_cast<float>(alpha) / 255.0f;
    oraclePadding = padding;
}

void Session::setOracleAnchor(const std::string& anchor) {
    oracleCorner = anchor == "top-left"       ? Corner::TopLeft
                   : anchor == "top-right"    ? Corner::TopRight
                   : anchor == "bottom-right" ? Corner::BottomRight
                                              : Corner::BottomLeft;
    oracleOnDescent = anchor.rfind("bottom", 0) == 0;
}

// Each line placed where GL puts it, its advance measured with the oracle's glyphs; the box is
// the union of the shown lines' extents, each from its baseline up by the font's ascent and down
// by its descent as the system's font service gives them, padded.
void Session::placeOracleLines(std::vector<OracleLine>& lines, OracleStyle& style) const {
    bool any = false;
    for (OracleLine& line : lines) {
        measureOracleLine(line, oracleBase, oracleMetrics.ascent, oracleMetrics.descent);
        const LinePlacement& placed = line.placement;
        if (!placed.shown) continue;
        const int left = placed.start;
        const int right = placed.start + placed.advance;
        const int bottom = placed.baseline - oracleMetrics.descent;
        const int top = placed.baseline + oracleMetrics.ascent;
        style.boxLeft = any ? std::min(style.boxLeft, left) : left;
        style.boxRight = any ? std::max(style.boxRight, right) : right;
        style.boxBottom = any ? std::min(style.boxBottom, bottom) : bottom;
        style.boxTop = any ? std::max(style.boxTop, top) : top;
        any = true;
    }
    style.box = style.box && any;
    // The padding grows with the font where the layout does: SCREEN with VIEW, pixels with DPI.
    bool pixels = false;
    for (const OracleLine& line : lines) pixels = pixels || line.pixels;
    int padding = oraclePadding;
    if ((oracleScale == OracleScale::View && !pixels) || (oracleScale == OracleScale::Dpi && pixels)) {
        padding = static_cast<int>(std::lround(oraclePadding * oracleFactor));
    }
    style.boxLeft -= padding;
    style.boxBottom -= padding;
    style.boxRight += padding;
    style.boxTop += padding;
}

long Session::pixelsDrawn() {
    if (!haveFrame) fail("no frame yet: draw one first");
    if (lastFrame.width != width || lastFrame.height != height) {
        fail("the viewport changed after the last frame; draw a frame first");
    }
    ensureGl();
    return compareImages(lastFrame, renderBackgroundOnly(), 0, 0).differing;
}

void Session::expectInkApart(const std::string& path) {
    std::string error;
    Image other;
    if (!readPng(outputPath(path), &other, &error)) fail(error);
    if (!haveFrame || other.width != width || other.height != height || lastFrame.width != width ||
        lastFrame.height != height) {
        fail("expect-ink-apart needs a frame and a picture of the viewport's size");
    }
    ensureGl();
    const Image bare = renderBackgroundOnly();
    // Rows of pixels where each picture differs from the background alone: 1 ours, 2 the other's.
    std::vector<int> ink(static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (std::memcmp(lastFrame.at(x, y), bare.at(x, y), 3) != 0) ink[static_cast<std::size_t>(y)] |= 1;
            if (std::memcmp(other.at(x, y), bare.at(x, y), 3) != 0) ink[static_cast<std::size_t>(y)] |= 2;
        }
    }
    const auto shared = std::find(ink.begin(), ink.end(), 3);
    if (shared != ink.end()) {
        fail("text of the last frame and of " + path + " shares rows of pixels, from row " +
             std::to_string(shared - ink.begin()) + " down from the top");
    }
    for (const int drawn : {1, 2}) {
        if (std::none_of(ink.begin(), ink.end(), [&](int row) { return (row & drawn) != 0; })) {
            fail("the last frame or " + path + " shows nothing drawn");
        }
    }
}

void Session::compare(int tolerance) {
    if (!haveFrame) fail("no frame to compare: draw one first");
    compareWithOracle(lastFrame, tolerance);
}

void Session::compareImageFile(const std::string& path, int tolerance) {
    std::string error;
    Image picture;
    if (!readPng(path, &picture, &error)) fail(error);
    compareWithOracle(picture, tolerance);
}

void Session::compareWithOracle(const Image& picture, int tolerance) {
    if (!oracleLines.empty() && !oracleReady) fail("oracle-text needs an oracle step first");
    if (picture.width != width || picture.height != height) {
        fail("the picture is " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
             ", the viewport " + std::to_string(width) + "x" + std::to_string(height));
    }
    ensureGl();

    PlaceholderValues values;
    values.date = formatTriple("%04d-%02d-%02d", facts.local.tm_year + 1900, facts.local.tm_mon + 1, facts.local.tm_mday);
    values.time = formatTriple("%02d:%02d:%02d", facts.local.tm_hour, facts.local.tm_min, facts.local.tm_sec);
    values.camera = facts.camera;
    values.faces = std::to_string(facts.faces);
    values.edges = std::to_string(facts.edges);
    values.vertices = std::to_string(facts.vertices);
    char time12[32] = {};
    std::strftime(time12, sizeof time12, "%I:%M:%S %p", &facts.local);
    values.time12 = time12;
    static const char* const kModeNames[] = {"Faces", "Edges", "Vertices"};
    values.selmode = facts.mode >= 0 && facts.mode <= 2 ? kModeNames[facts.mode] : "";
    values.selcount = std::to_string(facts.mode == 0 ? facts.faces : facts.mode == 1 ? facts.edges : facts.vertices);
    // The tick of each frame is known to a window of a millisecond or so: both ends are candidates.
    std::vector<std::string> fpsCandidates = {std::to_string(framesPerSecond(facts.frameTicks, false))};
    const std::string lateFps = std::to_string(framesPerSecond(facts.frameTicks, true));
    if (lateFps != fpsCandidates[0]) fpsCandidates.push_back(lateFps);

    // The elapsed time is known to a range; every whole second in it is a candidate.
    bool usesElapsed = false;
    for (const OracleTemplate& line : oracleLines) usesElapsed = usesElapsed || usesPlaceholder(line.text, "elapsed");
    std::vector<std::string> elapsedCandidates = {""};
    if (usesElapsed) {
        if (!facts.elapsedKnown) fail("{elapsed} is unknown: no frame has set the plug-in up since it was bound");
        elapsedCandidates.clear();
        for (long long s = facts.elapsedLowMs / 1000; s <= facts.elapsedHighMs / 1000; ++s) {
            elapsedCandidates.push_back(formatTriple("%02d:%02d:%02d", static_cast<int>(s / 3600),
                                                static_cast<int>(s / 60 % 60), static_cast<int>(s % 60)));
        }
        if (elapsedCandidates.size() > 3) fail("{elapsed} is too uncertain (the set-up frame took too long)");
    }

    const Image bare = renderBackgroundOnly();
    Comparison firstMismatch;
    Image firstExpected;
    std::vector<std::string> firstTexts;
    const std::size_t candidates = elapsedCandidates.size() * fpsCandidates.size();
    for (std::size_t candidate = 0; candidate < candidates; ++candidate) {
        values.elapsed = elapsedCandidates[candidate % elapsedCandidates.size()];
        values.fps = fpsCandidates[candidate / elapsedCandidates.size()];
        std::vector<OracleLine> lines;
        std::vector<std::string> texts;
        bool anyInk = false;
        for (const OracleTemplate& line : oracleLines) {
            std::string expanded, bytes, error;
            if (!expandPlaceholders(line.text, values, &expanded, &error) || !decodeText(expanded, &bytes, &error)) {
                fail(error);
            }
            for (char c : bytes) anyInk = anyInk || c != ' ';
            OracleLine placed;
            placed.corner = line.corner;
            placed.onDescent = line.onDescent;
            placed.pixels = line.pixels;
            placed.x = line.x;
            placed.y = line.y;
            placed.bytes = bytes;
            lines.push_back(placed);
            texts.push_back(bytes);
        }
        OracleStyle style = oracleStyle;
        prepareOracleStyle(style);
        drawBackground(background, width, height);
        // Measured in the viewport the host draws the frame in.
        if (style.host.viewport) {
            glViewport(style.host.viewportBox[0], style.host.viewportBox[1], style.host.viewportBox[2],
                       style.host.viewportBox[3]);
        }
        placeOracleLines(lines, style);
        if (!lines.empty()) drawOracleLines(lines, oracleBase, oracleColour, style, width, height);
        const Image expected = gl->read();
        if (anyInk && compareImages(expected, bare, 0, 0).differing == 0) {
            fail("the oracle drew nothing for its text: has font \"" + oracleFace + "\" any glyphs, and are the "
                 "lines inside the viewport?");
        }
        const Comparison result = compareImages(picture, expected, tolerance, 8);
        if (result.differing == 0) {
            comparedLines.swap(oracleLines);
            oracleLines.clear();
            return;
        }
        if (candidate == 0) {
            firstMismatch = result;
            firstExpected = expected;
            firstTexts = texts;
        }
    }

    ++compareCount;
    const std::string stem = (fs::path(options.outputDir) / ("standin-compare-" + std::to_string(compareCount))).string();
    std::string error;
    writePng(stem + "-frame.png", picture, &error);
    writePng(stem + "-oracle.png", firstExpected, &error);
    writePng(stem + "-diff.png", differenceImage(picture, firstExpected, tolerance), &error);
    std::ostringstream message;
    message << firstMismatch.differing << " of " << static_cast<long>(width) * height
            << " pixels differ from the oracle";
    if (!firstTexts.empty()) message << " (text: \"" << join(firstTexts, "\" / \"") << "\")";
    message << "; first at";
    for (const PixelDifference& d : firstMismatch.first) {
        char text[96];
        std::snprintf(text, sizeof text, " (%d,%d) frame %d,%d,%d oracle %d,%d,%d;", d.x, d.y, d.actual[0],
                      d.actual[1], d.actual[2], d.expected[0], d.expected[1], d.expected[2]);
        message << text;
    }
    message << " images saved as " << stem << "-{frame,oracle,diff}.png";
    if (!error.empty()) message << " (" << error << ")";
    oracleLines.clear();
    fail(message.str());
}

}  // namespace standin
