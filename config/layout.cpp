#include "config/layout.h"

namespace config {

int pixelStep(const DisplaySettings& settings, const PageLayout& page) {
    if (settings.stepY >= 1.0f) return static_cast<int>(settings.stepY);
    return page.lineHeight > 0 ? page.lineHeight : settings.fontSize;
}

RowPlace placeRow(const DisplaySettings& settings, const PageLayout& page, int row, int advance) {
    const bool top = anchoredAtTop(settings.anchor);
    const bool right = anchoredAtRight(settings.anchor);
    const bool holdsBottom = settings.anchorInFile && !top;
    // Rows counted from the last one up, for a block that stands on the bottom edge.
    const int fromLast = page.rowCount - 1 - row;
    RowPlace place;
    if (settings.units == Units::Pixels) {
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

}  // namespace config
