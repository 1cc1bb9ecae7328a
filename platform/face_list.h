// A list of face names separated by commas, as FONT_FALLBACK holds it. Plain code: both
// platforms' font chains walk it.
#pragma once

#include <cstddef>
#include <cstring>

namespace platform {

// Copies the next name of the list at *at (spaces and tabs around it dropped) into `name`
// (`capacity` bytes) and moves *at past it and its comma. Empty names, and names that do not fit,
// are passed over. False at the list's end.
inline bool nextFaceName(const char** at, char* name, std::size_t capacity) {
    while (**at != '\0') {
        const char* end = std::strchr(*at, ',');
        if (end == nullptr) end = *at + std::strlen(*at);
        const char* first = *at;
        const char* last = end;
        *at = *end == ',' ? end + 1 : end;
        while (first < last && (*first == ' ' || *first == '\t')) ++first;
        while (last > first && (last[-1] == ' ' || last[-1] == '\t')) --last;
        const std::size_t length = static_cast<std::size_t>(last - first);
        if (length == 0 || length >= capacity) continue;
        std::memcpy(name, first, length);
        name[length] = '\0';
        return true;
    }
    return false;
}

}  // namespace platform
