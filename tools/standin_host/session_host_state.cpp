// What the host leaves set when it calls the plug-in (a viewport smaller than the window, a
// scissor box, cluttered state, texture and list names taken over), the oracle's share of it, and
// the checks of what a frame leaves in the raster position and the error flag, and of antialiased
// edges.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "gl_headers.h"
#include "host_clutter.h"
#include "session.h"

namespace standin {

void Session::setHostViewport(bool sub, int x, int y, int w, int h) {
    hostFrame.viewport = sub;
    const int box[4] = {x, y, w, h};
    std::memcpy(hostFrame.viewportBox, box, sizeof box);
}

void Session::setHostScissor(bool on, int x, int y, int w, int h) {
    hostFrame.scissor = on;
    const int box[4] = {x, y, w, h};
    std::memcpy(hostFrame.scissorBox, box, sizeof box);
}

void Session::applyHostFrame() {
    if (hostFrame.viewport) {
        glViewport(hostFrame.viewportBox[0], hostFrame.viewportBox[1], hostFrame.viewportBox[2], hostFrame.viewportBox[3]);
    }
    if (hostFrame.scissor) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(hostFrame.scissorBox[0], hostFrame.scissorBox[1], hostFrame.scissorBox[2], hostFrame.scissorBox[3]);
    }
    if (cluttered) setClutteredState();
}

void Session::clearHostFrame() {
    if (cluttered) clearClutteredState();
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
}

void Session::prepareOracleStyle(OracleStyle& style) {
    style.host = hostFrame;
    style.rasterAfter = &oracleRaster;
    oracleRasterKnown = true;
}

void Session::setOracleSmooth() {
    if (!oracleReady) fail("oracle-smooth needs an oracle step first");
    if (!gl->coverageGlyphs(oracleFace, oracleSize, &smoothFont)) {
        fail("cannot make antialiased oracle glyphs from font \"" + oracleFace + "\" at " + std::to_string(oracleSize) +
             " pixels");
    }
    oracleStyle.smooth = &smoothFont;
    // Antialiased glyphs advance as the oracle's own 1-bit lists do.
    measureListAdvances(oracleBase, oracleListAdvances);
    oracleStyle.advances = oracleListAdvances;
}

void Session::expectRasterAsOracle() {
    if (!haveFrame || !oracleRasterKnown) fail("expect-raster-as-oracle needs a frame and a compare first");
    const RasterState& frame = frameRaster;
    const RasterState& oracle = oracleRaster;
    const auto show = [](const float* values) {
        char text[96];
        std::snprintf(text, sizeof text, "%.9g %.9g %.9g %.9g", values[0], values[1], values[2], values[3]);
        return std::string(text);
    };
    // Colours come from 0-255 settings scaled by each side's own factor: equal to well within a level.
    const auto sameColour = [](const float* a, const float* b) {
        for (int c = 0; c < 4; ++c) {
            if (std::fabs(a[c] - b[c]) > 1e-4f) return false;
        }
        return true;
    };
    std::vector<std::string> problems;
    if (frame.valid != oracle.valid) {
        problems.push_back(std::string("the raster position is ") + (frame.valid ? "valid" : "invalid") +
                           ", the glyph lists leave it " + (oracle.valid ? "valid" : "invalid"));
    } else if (frame.valid && (std::memcmp(frame.position, oracle.position, sizeof frame.position) != 0 ||
                               !sameColour(frame.rasterColour, oracle.rasterColour))) {
        problems.push_back("the raster position is " + show(frame.position) + " in " + show(frame.rasterColour) +
                           ", the glyph lists leave " + show(oracle.position) + " in " + show(oracle.rasterColour));
    }
    if (!sameColour(frame.colour, oracle.colour)) {
        problems.push_back("the current colour is " + show(frame.colour) + ", the glyph lists leave " + show(oracle.colour));
    }
    if (!problems.empty()) fail(join(problems, "; "));
}

void Session::expectPartialPixels(long minimum) {
    if (!haveFrame || !oracleReady) fail("expect-partial-pixels needs a frame and an oracle step first");
    ensureGl();
    const Image bare = renderBackgroundOnly();
    long partial = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = lastFrame.at(x, y);
            const std::uint8_t* alone = bare.at(x, y);
            bool isBackground = true, isText = true;
            for (int c = 0; c < 3; ++c) {
                isBackground = isBackground && pixel[c] == alone[c];
                isText = isText && pixel[c] == static_cast<int>(oracleColour[c] * 255.0f + 0.5f);
            }
            partial += !isBackground && !isText ? 1 : 0;
        }
    }
    std::printf("standin_host: %ld pixels between the background and the text colour\n", partial);
    if (partial < minimum) {
        fail(std::to_string(partial) + " pixels lie between the background and the text colour, expected at least " +
             std::to_string(minimum) + ": the text is not antialiased");
    }
}

void Session::expectLiveTextures(long textures) {
    ensureGl();
    const long live = countLiveTextures();
    if (live != textures) fail(std::to_string(live) + " live textures, expected " + std::to_string(textures));
}

void Session::takeTextures(const std::string& how) {
    ensureGl();
    static const std::vector<GLubyte> kWhite(16 * 16 * 4, 0xFF);
    takenTextures.clear();
    for (GLuint name = 1; name < 1024; ++name) {
        if (!glIsTexture(name)) continue;
        if (how == "delete") {
            glDeleteTextures(1, &name);
            continue;
        }
        glBindTexture(GL_TEXTURE_2D, name);
        if (how == "filter") {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_LINEAR);
        } else {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, kWhite.data());
            takenTextures.push_back(name);
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Session::takeLists(const std::string& how, long first, long count) {
    ensureGl();
    static const GLubyte kBlock[10 * 4] = {0xFC, 0, 0, 0, 0xFC, 0, 0, 0, 0xFC, 0, 0, 0, 0xFC, 0, 0, 0, 0xFC, 0, 0, 0,
                                           0xFC, 0, 0, 0, 0xFC, 0, 0, 0, 0xFC, 0, 0, 0, 0xFC, 0, 0, 0, 0xFC, 0, 0, 0};
    takenLists.clear();
    for (long name = first; name < first + count; ++name) {
        if (oracleBase != 0 && name >= static_cast<long>(oracleBase) && name < static_cast<long>(oracleBase) + 256) continue;
        if (how == "delete") {
            glDeleteLists(static_cast<GLuint>(name), 1);
            continue;
        }
        glNewList(static_cast<GLuint>(name), GL_COMPILE);
        glBitmap(6, 10, 0.0f, 0.0f, 7.0f, 0.0f, kBlock);
        glEndList();
        takenLists.push_back(static_cast<unsigned>(name));
    }
}

void Session::expectHostKept() {
    ensureGl();
    std::vector<std::string> problems;
    for (GLenum error = glGetError(); error != GL_NO_ERROR && problems.size() < 8; error = glGetError()) {
        char text[32];
        std::snprintf(text, sizeof text, "GL error 0x%04X is set", static_cast<unsigned>(error));
        problems.push_back(text);
    }
    for (const unsigned name : takenTextures) {
        if (problems.size() >= 8) break;
        GLint side = 0;
        if (glIsTexture(name)) {
            glBindTexture(GL_TEXTURE_2D, name);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &side);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        if (side != 16) problems.push_back("texture " + std::to_string(name) + ", the host's, was deleted or overwritten");
    }
    for (const unsigned name : takenLists) {
        if (problems.size() >= 8) break;
        if (!glIsList(name)) problems.push_back("display list " + std::to_string(name) + ", the host's, was deleted");
    }
    if (!problems.empty()) fail(join(problems, "; "));
}

}  // namespace standin
