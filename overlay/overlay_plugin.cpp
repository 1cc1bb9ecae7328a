#include "overlay/overlay_plugin.h"


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
    adoptScaling(fontScaling(settings, viewHeight, dpi));
}

void OverlayPlugin::adoptScaling(const FontScaling& wanted) {
    scaling = wanted;
    scaleLayout(settings, scaling, &scaled);
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
    viewHeight = graphics.viewport().height;
    dpi = graphics.displayDpi(deviceContext);
    lastDpiLook = tokens.clockSource().tickMilliseconds();
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
    // The glyphs of every character the pages and the clock formats hold, and those of the token
    // values.
    characters.collect(pages, settings);
    const platform::FontRequest font = {settings.fontFace, settings.fontFallback, scaling.pixelSize};
    glyphs = graphics.buildGlyphs(deviceContext, font, characters, style, &glyphMetrics);
    lineCache.setCharacters(&characters);
    lastBuildTick = tokens.clockSource().tickMilliseconds();
    ++builds;
}

// The size the view or the display asks for now: taken, and the glyphs made at it, unless the
// last glyphs were made less than kRebuildIntervalMs ago; then a later frame takes it.
void OverlayPlugin::followScale(const Viewport& view) {
    if (settings.fontScale == config::FontScale::None) return;
    const std::uint32_t now = tokens.clockSource().tickMilliseconds();
    if (settings.fontScale == config::FontScale::Dpi && now - lastDpiLook >= kDpiLookIntervalMs) {
        lastDpiLook = now;
        dpi = graphics.displayDpi(deviceContext);
    }
    viewHeight = view.height;
    const FontScaling wanted = fontScaling(settings, viewHeight, dpi);
    if (wanted.pixelSize == scaling.pixelSize && wanted.stroke == scaling.stroke) return;
    if (now - lastBuildTick < kRebuildIntervalMs) return;
    const bool resized = wanted.pixelSize != scaling.pixelSize;
    adoptScaling(wanted);
    if (resized) buildGlyphs();
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

    const Viewport view = graphics.viewport();
    followScale(view);
    // Glyphs released by the host are rebuilt in the context current now, and nothing else.
    if (!glyphs.any()) {
        void* current = graphics.currentContext();
        if (current != nullptr) {
            deviceContext = current;
            buildGlyphs();
        }
    }

    Frame frame;
    frame.colour[0] = settings.red;
    frame.colour[1] = settings.green;
    frame.colour[2] = settings.blue;
    for (int c = 0; c < 3; ++c) {
        frame.shadowColour[c] = settings.shadowColour[c];
        frame.boxColour[c] = settings.boxColour[c];
    }
    frame.shadow = settings.textShadow;
    frame.clipToViewport = settings.units == config::Units::Pixels;
    frame.boxAlpha = static_cast<float>(settings.boxAlpha) * config::kColourScale;
    frame.boxPadding = scaled.boxPadding;
    frame.stroke = scaling.stroke;
    frame.ascent = glyphMetrics.ascent;
    frame.descent = glyphMetrics.descent;
    refreshTokenValues();
    frame.rowCount = composeRows(view, frameRows);
    frame.rows = frameRows;
    graphics.drawFrame(glyphs, frame);
    return true;
}

void OverlayPlugin::refreshTokenValues() { tokens.refresh(); }

int OverlayPlugin::composeRows(const Viewport& view, DrawRow* rows) {
    if (pages.pageCount() <= 0 || currentPage < 0 || currentPage >= pages.pageCount()) return 0;
    if (lineCache.page() != currentPage) lineCache.reset(currentPage);
    pages.selectPage(currentPage);
    PageLayout page;
    page.rowCount = pages.rowCount();
    page.ascent = glyphMetrics.ascent;
    page.descent = glyphMetrics.descent;
    page.lineHeight = glyphMetrics.lineHeight;
    page.viewWidth = view.width;
    page.viewHeight = view.height;
    int count = 0;
    for (int row = 0; row < page.rowCount; ++row) {
        const char* text = pages.rowText(currentPage, row);
        if (text == nullptr) break;
        if (text[0] == '\0') continue;  // an empty row keeps its place
        DrawRow& drawn = rows[count++];
        drawn = lineCache.compose(row, text, tokens);
        drawn.place = placeRow(scaled, page, row, drawn.advance);
    }
    return count;
}

}  // namespace overlay
