// Timing of whole plug-in frames, GL work included, for the GL benchmark (bench/gl_bench.sh).
// Nothing here checks a time: the steps print what they measured.
#include <algorithm>
#include <cstdio>
#include <string>

#include "gl_headers.h"
#include "session.h"

namespace standin {

namespace {

constexpr char kTextureLimitVariable[] = "OSTRIVANE_TEST_MAX_TEXTURE_SIZE";

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

}  // namespace

void Session::setTextureLimit(long side) {
    const std::string value = std::to_string(side);
    setEnvironment(kTextureLimitVariable, side < 0 ? nullptr : value.c_str());
}

std::vector<double>& Session::benchSamples(const std::string& label) {
    for (auto& entry : benchTimes) {
        if (entry.first == label) return entry.second;
    }
    benchTimes.emplace_back(label, std::vector<double>());
    return benchTimes.back().second;
}

// One frame as the host draws it: its picture first, finished, so that only the plug-in's call
// and the GL work it queued are timed; then the buffers swapped.
double Session::timedFrame() {
    drawBackground(background, width, height);
    setSceneState(width, height);
    glFinish();
    const Clock::time_point start = Clock::now();
    if (!call(24, {0}).flag) fail("drawFunction(0) answered false");
    glFinish();
    const Clock::time_point end = Clock::now();
    gl->endFrame();
    gl->pump();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void Session::benchFrames(const std::string& label, long frames) {
    ensureBound();
    ensureGl();
    std::vector<double>& samples = benchSamples(label);
    for (long frame = 0; frame < frames; ++frame) samples.push_back(timedFrame());
    haveFrame = false;  // the frames were not read back
}

void Session::benchSetUp(const std::string& label, long count) {
    ensureBound();
    ensureGl();
    std::vector<double>& samples = benchSamples(label);
    for (long round = 0; round < count; ++round) {
        runFunction(kReloadCommand);
        samples.push_back(timedFrame());
    }
    // The glyph texture the set-up made: the largest live texture, the stand-in's own having none.
    GLint widest[2] = {0, 0};
    glPushAttrib(GL_TEXTURE_BIT);
    for (GLuint name = 1; name < 4096; ++name) {
        if (!glIsTexture(name)) continue;
        GLint size[2] = {0, 0};
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
        if (size[0] * size[1] > widest[0] * widest[1]) {
            widest[0] = size[0];
            widest[1] = size[1];
        }
    }
    glPopAttrib();
    std::printf("standin_host: glyph texture after %s: %dx%d\n", label.c_str(), widest[0], widest[1]);
    std::fflush(stdout);
    setupPending = true;
    haveFrame = false;
}

// The GL calls with which the plug-in checks, every visible frame, that its glyphs are still its
// own, made here on a texture and on two blocks of glyph lists of the stand-in's: the texture's
// (a texture, bound, its size and format; its filters and wraps set again) and the lists' (each a
// list; the raster position moved by the block's lists called in feedback mode).
void Session::benchCheck(const std::string& label, long rounds) {
    ensureGl();
    static const std::vector<GLubyte> kImage(256 * 256, 0);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, 256, 256, 0, GL_ALPHA, GL_UNSIGNED_BYTE, kImage.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const GLuint lists = glGenLists(512);
    if (lists == 0) fail("glGenLists gave no lists to time the check with");
    for (GLuint block = lists; block < lists + 512; block += 256) {
        for (GLuint name = block; name < block + 32; ++name) {
            glNewList(name, GL_COMPILE);
            glEndList();
        }
        if (!gl->buildGlyphLists("Arial", 15, block + 32, 32, 224)) fail("cannot make glyph lists to time the check with");
    }
    GLubyte bytes[256];
    for (int code = 0; code < 256; ++code) bytes[code] = static_cast<GLubyte>(code);
    std::vector<double> textureSamples, listSamples;
    GLint value[4] = {};
    GLfloat position[4] = {};
    GLfloat feedback[4] = {};
    for (long round = 0; round < rounds; ++round) {
        glFinish();
        Clock::time_point start = Clock::now();
        glPushAttrib(GL_TEXTURE_BIT);
        if (glIsTexture(texture)) {
            glBindTexture(GL_TEXTURE_2D, texture);
            glGetIntegerv(GL_TEXTURE_BINDING_2D, value);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, value);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, value);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, value);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        }
        glPopAttrib();
        glFinish();
        Clock::time_point end = Clock::now();
        textureSamples.push_back(std::chrono::duration<double, std::milli>(end - start).count());

        start = Clock::now();
        for (GLuint block = lists; block < lists + 512; block += 256) {
            for (GLuint name = block; name < block + 256; ++name) glIsList(name);
            GLvoid* hostBuffer = nullptr;
            glGetIntegerv(GL_RENDER_MODE, value);
            glGetPointerv(GL_FEEDBACK_BUFFER_POINTER, &hostBuffer);
            glGetIntegerv(GL_FEEDBACK_BUFFER_SIZE, value);
            glGetIntegerv(GL_FEEDBACK_BUFFER_TYPE, value);
            glFeedbackBuffer(4, GL_2D, feedback);
            glRenderMode(GL_FEEDBACK);
            glPushAttrib(GL_CURRENT_BIT | GL_LIST_BIT | GL_TRANSFORM_BIT);
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            glLoadIdentity();
            glRasterPos2f(-1.0f, -1.0f);
            glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
            glListBase(block);
            glCallLists(256, GL_UNSIGNED_BYTE, bytes);
            glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, value);
            glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
            glMatrixMode(GL_PROJECTION);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
            glPopMatrix();
            glPopAttrib();
            glRenderMode(GL_RENDER);
            glFeedbackBuffer(0, GL_2D, nullptr);
        }
        glFinish();
        end = Clock::now();
        listSamples.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    glDeleteLists(lists, 512);
    glDeleteTextures(1, &texture);
    for (const double sample : textureSamples) benchSamples(label + " texture").push_back(sample);
    for (const double sample : listSamples) benchSamples(label + " lists").push_back(sample);
}

void Session::benchReport() {
    for (const auto& entry : benchTimes) {
        double sum = 0.0;
        for (double sample : entry.second) sum += sample;
        const double mean = entry.second.empty() ? 0.0 : sum / static_cast<double>(entry.second.size());
        std::printf("standin_host: bench %-32s %6zu samples  median %8.4f ms  mean %8.4f ms\n", entry.first.c_str(),
                    entry.second.size(), median(entry.second), mean);
    }
}

}  // namespace standin
