#include "overlay/overlay_plugin.h"

#include <cmath>

#include "config/layout.h"

namespace overlay {

namespace {

struct FunctionEntry {
    const char* name;
    std::int32_t type;
};

constexpr std::int32_t kDrawingFunctionType = 2;
constexpr std::int32_t kCommandFunctionType = 0;

constexpr FunctionEntry kFunctions[kFunctionCount] = {
    {"Ostrivane Drawing Fn", kDrawingFunctionType}, {"Ostrivane Switch", kCommandFunctionType},
    {"Ostrivane Next Page", kCommandFunctionType},  {"Ostrivane Prev Page", kCommandFunctionType},
    {"Ostrivane Reload INI", kCommandFunctionType},
};

static_assert(kRowSlots == config::kMaxRows, "a slot for every row of a page");

}  // namespace

OverlayPlugin::OverlayPlugin(Graphics& drawing) : graphics(drawing) {}

void OverlayPlugin::attachHost(host::PluginHostRecord* record) {
    host = record;
    if (record == nullptr) return;
    tokens.attach(record->scene, record->services);
    hostExtra = record->hostExtra;
}

// ---- Catalogue ----------------------------------------------------------------------------------

std::int32_t OverlayPlugin::functionCount() { return kFunctionCount; }

const char* OverlayPlugin::functionName(std::int32_t index) {
    return index >= 0 && index < kFunctionCount ? kFunctions[index].name : "NaFn";
}

std::int32_t OverlayPlugin::functionType(std::int32_t index) {
    return index >= 0 && index < kFunctionCount ? kFunctions[index].type : kDrawingFunctionType;
}

// ---- Commands -----------------------------------------------------------------------------------

bool OverlayPlugin::runFunction(std::int32_t index) {
    switch (index) {
        case kCommandSwitch:
            visible = !visible;
            break;
        case kCommandNextPage:
            // With no page loaded there is nothing to move to.
            if (visible && pages.pageCount() > 0) currentPage = (currentPage + 1) % pages.pageCount();
            break;
        case kCommandPreviousPage:
            if (visible) --currentPage;
            if (currentPage < 0) currentPage = pages.pageCount() - 1;
            break;
        case kCommandReload:
            // The next frame repeats the whole set-up: settings, font, glyphs, elapsed clock.
            deviceContext = nullptr;
            break;
        default:
            break;
    }
    return true;
}

void OverlayPlugin::releaseResources(host::HostArg value) {
    if (value == 0) deleteGlyphs();
}

// ---- Settings -----------------------------------------------------------------------------------

void OverlayPlugin::loadSettings() {
    const char* path = watch.locate(tokens.clockSource().tickMilliseconds());
    config::loadSettings(path, pages, settings, visible, nullptr);
    tokens.setClockFormats(settings.dateFormat, settings.timeFormat);
    lineCache.reset(-1);
}

// ---- Set-up -------------------------------------------------------------------------------------

void OverlayPlugin::initGraphics() {
    deviceContext = graphics.currentContext();
    if (deviceContext == nullptr) return;  // no context yet: try again next frame
    restartElapsed();
    reloadSettingsAndGlyphs();
}

void OverlayPlugin::reloadSettingsAndGlyphs() {
    tokens.reloadTimeZone();
    loadSettings();
    buildGlyphs();
}

// AUTO_RELOAD: once a second, one look at the file's stamp.
void OverlayPlugin::reloadIfSaved() {
    if (!watch.savedSince(tokens.clockSource().tickMilliseconds())) return;
    // Like Reload INI, but *ELAPSED* keeps running; in the context current now.
    void* current = graphics.currentContext();
    if (current == nullptr) return;
    deviceContext = current;
    reloadSettingsAndGlyphs();
}

void OverlayPlugin::buildGlyphs() {
    deleteGlyphs();
    glyphMetrics = {};
    GlyphStyle style;
    style.outline = settings.textShadow == config::TextShadow::Outline;
    style.smooth = settings.fontSmooth;
    glyphs = graphics.buildGlyphs(deviceContext, settings.fontFace, settings.fontSize, style, &glyphMetrics);
    lineCache.setAdvances(glyphMetrics.advance);
}

void OverlayPlugin::deleteGlyphs() {
    if (glyphs.glyphs == 0 && glyphs.outline == 0 && glyphs.texture == 0) return;
    // The names are forgotten even when no context is current to delete them from, so they are
    // never used or deleted again.
    graphics.deleteGlyphs(glyphs);
    glyphs = GlyphBlocks();
}

// ---- Frames -------------------------------------------------------------------------------------

bool OverlayPlugin::drawFunction(std::int32_t index) {
    if (index != 0) return true;
    if (deviceContext == nullptr) {
        initGraphics();
        if (deviceContext == nullptr) return true;
    } else if (settings.autoReload) {
        reloadIfSaved();
    }
    tokens.countFrame();
    if (!visible) return true;

    // Glyphs released by the host are rebuilt in the context current now, and nothing else.
    if (!glyphs.any()) {
        void* current = graphics.currentContext();
        if (current != nullptr) {
            deviceContext = current;
            buildGlyphs();
        }
    }

    const TextLook look = {{settings.red, settings.green, settings.blue},
                           settings.textShadow == config::TextShadow::Drop      ? Shadow::Drop
                           : settings.textShadow == config::TextShadow::Outline ? Shadow::Outline
                                                                                : Shadow::None,
                           {settings.shadowColour[0], settings.shadowColour[1], settings.shadowColour[2]},
                           settings.units == config::Units::Pixels};
    frameView = graphics.beginFrame(look);
    refreshTokenValues();
    frameLineCount = 0;
    composeLines(*this);
    if (settings.boxAlpha > 0) drawBox(frameView);
    drawLines();
    graphics.endFrame();
    return true;
}

void OverlayPlugin::drawLine(const FrameLine& line) {
    if (frameLineCount < config::kMaxRows) frameLines[frameLineCount++] = line;
}

void OverlayPlugin::drawLines() {
    for (int index = 0; index < frameLineCount; ++index) {
        const FrameLine& line = frameLines[index];
        graphics.drawRow(glyphs, {line.slot, line.revision, line.place, line.text});
    }
}

// One rectangle behind the rows whose point lies on the screen (the others draw nothing), in
// window pixels: around their starts and advances, from the first one's ascent to the last one's
// descent, padded.
void OverlayPlugin::drawBox(const Viewport& view) {
    bool any = false;
    int left = 0, right = 0, top = 0, bottom = 0;
    for (int index = 0; index < frameLineCount; ++index) {
        const LinePlace& place = frameLines[index].place;
        if (!graphics.startsInView(place)) continue;
        // Bitmaps start at the whole pixel below the raster position.
        const double windowX = view.x + static_cast<double>(place.x) * view.width / config::kScreenWidth;
        const double windowY = view.y + static_cast<double>(place.y) * view.height / config::kScreenHeight;
        const int start = static_cast<int>(std::floor(windowX)) + place.dx;
        const int baseline = static_cast<int>(std::floor(windowY)) + place.dy;
        const int end = start + frameLines[index].advance;
        if (!any) {
            left = start;
            right = end;
            top = baseline + glyphMetrics.ascent;
            any = true;
        }
        left = start < left ? start : left;
        right = end > right ? end : right;
        bottom = baseline - glyphMetrics.descent;
    }
    if (!any) return;
    const int pad = settings.boxPadding;
    graphics.drawBox(settings.boxColour, static_cast<float>(settings.boxAlpha) * config::kColourScale, left - pad,
                     bottom - pad, right + pad, top + pad);
}

void OverlayPlugin::refreshTokenValues() { tokens.refresh(); }

void OverlayPlugin::composeLines(LineSink& sink) {
    if (pages.pageCount() <= 0 || currentPage < 0 || currentPage >= pages.pageCount()) return;
    if (lineCache.page() != currentPage) lineCache.reset(currentPage);
    pages.selectPage(currentPage);
    config::PageLayout page;
    page.rowCount = pages.rowCount();
    page.ascent = glyphMetrics.ascent;
    page.descent = glyphMetrics.descent;
    page.lineHeight = glyphMetrics.lineHeight;
    page.viewWidth = frameView.width;
    page.viewHeight = frameView.height;
    for (int row = 0; row < page.rowCount; ++row) {
        const char* text = pages.rowText(currentPage, row);
        if (text == nullptr) break;
        if (text[0] == '\0') continue;  // an empty row keeps its place
        const LineCache::Line line = lineCache.compose(row, text, tokens);
        FrameLine frameLine;
        frameLine.place = config::placeRow(settings, page, row, line.advance);
        frameLine.text = line.text;
        frameLine.advance = line.advance;
        frameLine.slot = row;
        frameLine.revision = line.revision;
        sink.drawLine(frameLine);
    }
}

}  // namespace overlay
