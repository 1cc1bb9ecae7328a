#include "overlay/character_set.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/utf8.h"
#include "platform/windows_1252.h"

namespace overlay {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

// Counts the characters of a text into `out` (when not null) from `at`; returns the new end.
std::size_t addCharacters(const char* text, std::uint32_t* out, std::size_t at) {
    for (std::size_t i = 0; text[i] != '\0';) {
        const std::uint32_t c = nextCharacter(text, &i);
        if (drawsNothing(c)) continue;
        if (out != nullptr) out[at] = c;
        ++at;
    }
    return at;
}

// Every text whose characters the set holds, in turn: `visit(text)` for each.
template <typename Visit>
void eachText(const config::PageTable& pages, const config::DisplaySettings& settings, Visit visit) {
    for (int page = 0; page < pages.pageCount(); ++page) {
        for (int row = 0; pages.rowText(page, row) != nullptr; ++row) visit(pages.rowText(page, row));
    }
    visit(settings.dateFormat);
    visit(settings.timeFormat);
}

int compareCodes(const void* a, const void* b) {
    const std::uint32_t x = *static_cast<const std::uint32_t*>(a);
    const std::uint32_t y = *static_cast<const std::uint32_t*>(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

std::uint32_t nextCharacter(const char* text, std::size_t* at) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text) + *at;
    std::size_t available = 1;
    while (available < 4 && bytes[available - 1] != 0 && bytes[available] != 0) ++available;
    const platform::Utf8Character c = platform::decodeUtf8(bytes, available, platform::Utf8Errors::LikeWindows);
    *at += c.length;
    return c.codePoint == platform::kNoCodePoint ? kReplacement : c.codePoint;
}

bool CharacterSet::collect(const config::PageTable& pages, const config::DisplaySettings& settings) {
    release();
    // The printable characters of Windows-1252: what token values are made of.
    std::uint32_t base[224];
    std::size_t baseCount = 0;
    for (int byte = platform::kFirstDrawnCharacter; byte < 256; ++byte) {
        if (byte == 0x7F) continue;
        const std::uint32_t c = byte < 0x80 ? static_cast<std::uint32_t>(byte)
                                            : platform::windows1252ToUnicode(static_cast<unsigned char>(byte));
        if (c != 0) base[baseCount++] = c;  // 0: a byte the code page leaves undefined
    }
    std::size_t total = baseCount;
    eachText(pages, settings, [&](const char* text) { total = addCharacters(text, nullptr, total); });
    auto* codes = static_cast<std::uint32_t*>(std::malloc(total * sizeof(std::uint32_t)));
    if (codes == nullptr) return assign(base, static_cast<int>(baseCount)) && false;
    std::memcpy(codes, base, baseCount * sizeof(std::uint32_t));
    std::size_t at = baseCount;
    eachText(pages, settings, [&](const char* text) { at = addCharacters(text, codes, at); });
    const bool assigned = assign(codes, static_cast<int>(total));
    std::free(codes);
    return assigned;
}

bool CharacterSet::assign(const std::uint32_t* codes, int codeCount) {
    release();
    const std::size_t n = codeCount > 0 ? static_cast<std::size_t>(codeCount) : 0;
    characters = static_cast<std::uint32_t*>(std::malloc((n > 0 ? n : 1) * sizeof(std::uint32_t)));
    advanceOf = static_cast<std::int16_t*>(std::calloc(n > 0 ? n : 1, sizeof(std::int16_t)));
    missingOf = static_cast<bool*>(std::calloc(n > 0 ? n : 1, sizeof(bool)));
    if (characters == nullptr || advanceOf == nullptr || missingOf == nullptr) {
        release();
        return false;
    }
    if (n > 0) std::memcpy(characters, codes, n * sizeof(std::uint32_t));
    std::qsort(characters, n, sizeof(std::uint32_t), compareCodes);
    std::size_t unique = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (unique == 0 || characters[unique - 1] != characters[i]) characters[unique++] = characters[i];
    }
    size = static_cast<int>(unique);
    return true;
}

void CharacterSet::release() {
    std::free(characters);
    std::free(advanceOf);
    std::free(missingOf);
    characters = nullptr;
    advanceOf = nullptr;
    missingOf = nullptr;
    size = 0;
}

void CharacterSet::forgetGlyphs() {
    for (int i = 0; i < size; ++i) {
        advanceOf[i] = 0;
        missingOf[i] = false;
    }
}

int CharacterSet::indexOf(std::uint32_t codePoint) const {
    int low = 0, high = size - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        if (characters[middle] == codePoint) return middle;
        if (characters[middle] < codePoint) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return -1;
}

std::int32_t CharacterSet::measure(const char* text) const {
    std::int32_t sum = 0;
    for (std::size_t i = 0; text[i] != '\0';) sum += advance(indexOf(nextCharacter(text, &i)));
    return sum;
}

}  // namespace overlay
