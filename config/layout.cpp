#include "config/layout.h"

namespace config {

RowPlace placeRow(const DisplaySettings& settings, int row, int ascent, int advance) {
    const bool top = anchoredAtTop(settings.anchor);
    const bool right = anchoredAtRight(settings.anchor);
    RowPlace place;
    place.x = right ? static_cast<float>(kScreenWidth) - settings.posX : settings.posX;
    const float firstY = top ? static_cast<float>(kScreenHeight) - settings.posY : settings.posY;
    place.y = firstY - static_cast<float>(row) * settings.stepY;
    place.dx = right ? -advance : 0;
    place.dy = top ? -ascent : 0;
    return place;
}

bool onScreen(const RowPlace& place) {
    return place.x >= 0.0f && place.x <= static_cast<float>(kScreenWidth) && place.y >= 0.0f &&
           place.y <= static_cast<float>(kScreenHeight);
}

}  // namespace config
