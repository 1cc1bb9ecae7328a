#include "overlay/row_layout.h"

#include <cmath>

namespace overlay {

using config::kScreenHeight;
using config::kScreenWidth;

int pixelStep(const config::DisplaySettings& settings, const PageLayout& page) {
    if (settings.stepY >= 1.0f) return static_cast<int>(settings.stepY);
    return page.lineHeight > 0 ? page.lineHeight : settings.fontSize;
}

RowPlace placeRow(const config::DisplaySettings& settings, const PageLayout& page, int row, int advance) {
    const bool top = config::anchoredAtTop(settings.anchor);
    const bool right = config::anchoredAtRight(settings.anchor);
    const bool holdsBottom = settings.anchorInFile && !top;
    // Rows counted from the last one up, for a block that stands on the bottom edge.
    const int fromLast = page.rowCount - 1 - row;
    RowPlace place;
    if (settings.units == config::Units::Pixels) {
        const int posX = static_cast<int>(settings.posX);
        const int posY = static_cast<int>(settings.posY);
        const int step = pixelStep(settings, page);
        place.dx = right ? page.viewWidth - posX - advance : posX;
        if (top) {
            place.dy = page.viewHeight - posY - page.ascent - row * step;
        } else if (holdsBottom) {
            place.dy = posY + page.descent + fromLast * step;
        } else {
            place.dy = posY - row * step;
        }
        return place;
    }
    place.x = right ? static_cast<float>(kScreenWidth) - settings.posX : settings.posX;
    place.dx = right ? -advance : 0;
    if (top) {
        place.y = static_cast<float>(kScreenHeight) - settings.posY - static_cast<float>(row) * settings.stepY;
        place.dy = -page.ascent;
    } else if (holdsBottom) {
        place.y = settings.posY + static_cast<float>(fromLast) * settings.stepY;
        place.dy = page.descent;
    } else {
        place.y = settings.posY - static_cast<float>(row) * settings.stepY;
    }
    return place;
}

bool onScreen(const RowPlace& place) {
    return place.x >= 0.0f && place.x <= static_cast<float>(kScreenWidth) && place.y >= 0.0f &&
           place.y <= static_cast<float>(kScreenHeight);
}

double windowX(const Viewport& view, double x) { return view.x + x * view.width / kScreenWidth; }
double windowY(const Viewport& view, double y) { return view.y + y * view.height / kScreenHeight; }
double screenX(const Viewport& view, int x) { return (x - view.x) * static_cast<double>(kScreenWidth) / view.width; }
double screenY(const Viewport& view, int y) { return (y - view.y) * static_cast<double>(kScreenHeight) / view.height; }

Pixel penPixel(const Viewport& view, const RowPlace& place) {
    return {static_cast<int>(std::floor(windowX(view, place.x))) + place.dx,
            static_cast<int>(std::floor(windowY(view, place.y))) + place.dy};
}

RowLocation locateRow(const config::DisplaySettings& settings, const PageLayout& page, int row, int advance) {
    RowLocation location;
    location.place = placeRow(settings, page, row, advance);
    location.onScreen = onScreen(location.place);
    Viewport view;
    view.width = page.viewWidth;
    view.height = page.viewHeight;
    location.pen = penPixel(view, location.place);
    return location;
}

bool boxAround(const DrawRow* rows, const bool* drawn, int count, const Viewport& view, int ascent, int descent,
               int padding, PixelRect* box) {
    bool any = false;
    PixelRect around;
    for (int index = 0; index < count; ++index) {
        if (!drawn[index]) continue;
        const Pixel pen = penPixel(view, rows[index].place);
        const int end = pen.x + rows[index].advance;
        if (!any) {
            around = {pen.x, 0, end, pen.y + ascent};
            any = true;
        }
        around.left = pen.x < around.left ? pen.x : around.left;
        around.right = end > around.right ? end : around.right;
        around.bottom = pen.y - descent;
    }
    if (!any) return false;
    *box = {around.left - padding, around.bottom - padding, around.right + padding, around.top + padding};
    return true;
}

}  // namespace overlay
