// Settings-file reader of the native builds. It parses the way the Windows profile reader does
// (see portable_ini.h), so that previews and tests see the values the plug-in sees on Windows.
#include "platform/portable_ini.h"

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

using Unit = std::uint16_t;  // one UTF-16 code unit: the reader works on Unicode text

// Offsets and counts are 32-bit; 2 GiB of input keeps every one of them in range.
constexpr std::size_t kMaxInputBytes = 0x7FFFFFFF;
constexpr std::uint32_t kNoValue = 0xFFFFFFFFu;
constexpr Unit kReplacement = 0xFFFD;

// Unicode of the Windows-1252 bytes 0x80-0x9F; every other byte is its own code point.
constexpr Unit kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct BestFit {
    Unit unit;
    unsigned char byte;
};

// The Windows-1252 byte given to each UTF-16 unit from U+0100 up that has one, exact or best fit
// (Windows converts with best fit unless told not to). Sorted by unit; the rest become '?'.
constexpr BestFit kBestFit[] = {
    {0x0100, 0x41}, {0x0101, 0x61}, {0x0102, 0x41}, {0x0103, 0x61}, {0x0104, 0x41}, {0x0105, 0x61},
    {0x0106, 0x43}, {0x0107, 0x63}, {0x0108, 0x43}, {0x0109, 0x63}, {0x010A, 0x43}, {0x010B, 0x63},
    {0x010C, 0x43}, {0x010D, 0x63}, {0x010E, 0x44}, {0x010F, 0x64}, {0x0110, 0xD0}, {0x0111, 0x64},
    {0x0112, 0x45}, {0x0113, 0x65}, {0x0114, 0x45}, {0x0115, 0x65}, {0x0116, 0x45}, {0x0117, 0x65},
    {0x0118, 0x45}, {0x0119, 0x65}, {0x011A, 0x45}, {0x011B, 0x65}, {0x011C, 0x47}, {0x011D, 0x67},
    {0x011E, 0x47}, {0x011F, 0x67}, {0x0120, 0x47}, {0x0121, 0x67}, {0x0122, 0x47}, {0x0123, 0x67},
    {0x0124, 0x48}, {0x0125, 0x68}, {0x0126, 0x48}, {0x0127, 0x68}, {0x0128, 0x49}, {0x0129, 0x69},
    {0x012A, 0x49}, {0x012B, 0x69}, {0x012C, 0x49}, {0x012D, 0x69}, {0x012E, 0x49}, {0x012F, 0x69},
    {0x0130, 0x49}, {0x0131, 0x69}, {0x0134, 0x4A}, {0x0135, 0x6A}, {0x0136, 0x4B}, {0x0137, 0x6B},
    {0x0139, 0x4C}, {0x013A, 0x6C}, {0x013B, 0x4C}, {0x013C, 0x6C}, {0x013D, 0x4C}, {0x013E, 0x6C},
    {0x0141, 0x4C}, {0x0142, 0x6C}, {0x0143, 0x4E}, {0x0144, 0x6E}, {0x0145, 0x4E}, {0x0146, 0x6E},
    {0x0147, 0x4E}, {0x0148, 0x6E}, {0x014C, 0x4F}, {0x014D, 0x6F}, {0x014E, 0x4F}, {0x014F, 0x6F},
    {0x0150, 0x4F}, {0x0151, 0x6F}, {0x0152, 0x8C}, {0x0153, 0x9C}, {0x0154, 0x52}, {0x0155, 0x72},
    {0x0156, 0x52}, {0x0157, 0x72}, {0x0158, 0x52}, {0x0159, 0x72}, {0x015A, 0x53}, {0x015B, 0x73},
    {0x015C, 0x53}, {0x015D, 0x73}, {0x015E, 0x53}, {0x015F, 0x73}, {0x0160, 0x8A}, {0x0161, 0x9A},
    {0x0162, 0x54}, {0x0163, 0x74}, {0x0164, 0x54}, {0x0165, 0x74}, {0x0166, 0x54}, {0x0167, 0x74},
    {0x0168, 0x55}, {0x0169, 0x75}, {0x016A, 0x55}, {0x016B, 0x75}, {0x016C, 0x55}, {0x016D, 0x75},
    {0x016E, 0x55}, {0x016F, 0x75}, {0x0170, 0x55}, {0x0171, 0x75}, {0x0172, 0x55}, {0x0173, 0x75},
    {0x0174, 0x57}, {0x0175, 0x77}, {0x0176, 0x59}, {0x0177, 0x79}, {0x0178, 0x9F}, {0x0179, 0x5A},
    {0x017A, 0x7A}, {0x017B, 0x5A}, {0x017C, 0x7A}, {0x017D, 0x8E}, {0x017E, 0x9E}, {0x0180, 0x62},
    {0x0189, 0xD0}, {0x0191, 0x83}, {0x0192, 0x83}, {0x0197, 0x49}, {0x019A, 0x6C}, {0x019F, 0x4F},
    {0x01A0, 0x4F}, {0x01A1, 0x6F}, {0x01AB, 0x74}, {0x01AE, 0x54}, {0x01AF, 0x55}, {0x01B0, 0x75},
    {0x01B6, 0x7A}, {0x01C0, 0x7C}, {0x01C3, 0x21}, {0x01CD, 0x41}, {0x01CE, 0x61}, {0x01CF, 0x49},
    {0x01D0, 0x69}, {0x01D1, 0x4F}, {0x01D2, 0x6F}, {0x01D3, 0x55}, {0x01D4, 0x75}, {0x01D5, 0x55},
    {0x01D6, 0x75}, {0x01D7, 0x55}, {0x01D8, 0x75}, {0x01D9, 0x55}, {0x01DA, 0x75}, {0x01DB, 0x55},
    {0x01DC, 0x75}, {0x01DE, 0x41}, {0x01DF, 0x61}, {0x01E4, 0x47}, {0x01E5, 0x67}, {0x01E6, 0x47},
    {0x01E7, 0x67}, {0x01E8, 0x4B}, {0x01E9, 0x6B}, {0x01EA, 0x4F}, {0x01EB, 0x6F}, {0x01EC, 0x4F},
    {0x01ED, 0x6F}, {0x01F0, 0x6A}, {0x0261, 0x67}, {0x02B9, 0x27}, {0x02BA, 0x22}, {0x02BC, 0x27},
    {0x02C4, 0x5E}, {0x02C6, 0x88}, {0x02C8, 0x27}, {0x02C9, 0xAF}, {0x02CA, 0xB4}, {0x02CB, 0x60},
    {0x02CD, 0x5F}, {0x02DA, 0xB0}, {0x02DC, 0x98}, {0x0300, 0x60}, {0x0301, 0xB4}, {0x0302, 0x5E},
    {0x0303, 0x7E}, {0x0304, 0xAF}, {0x0305, 0xAF}, {0x0308, 0xA8}, {0x030A, 0xB0}, {0x030E, 0x22},
    {0x0327, 0xB8}, {0x0331, 0x5F}, {0x0332, 0x5F}, {0x037E, 0x3B}, {0x0393, 0x47}, {0x0398, 0x54},
    {0x03A3, 0x53}, {0x03A6, 0x46}, {0x03A9, 0x4F}, {0x03B1, 0x61}, {0x03B2, 0xDF}, {0x03B4, 0x64},
    {0x03B5, 0x65}, {0x03BC, 0xB5}, {0x03C0, 0x70}, {0x03C3, 0x73}, {0x03C4, 0x74}, {0x03C6, 0x66},
    {0x04BB, 0x68}, {0x0589, 0x3A}, {0x066A, 0x25}, {0x2000, 0x20}, {0x2001, 0x20}, {0x2002, 0x20},
    {0x2003, 0x20}, {0x2004, 0x20}, {0x2005, 0x20}, {0x2006, 0x20}, {0x2010, 0x2D}, {0x2011, 0x2D},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x2017, 0x3D}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201A, 0x82},
    {0x201C, 0x93}, {0x201D, 0x94}, {0x201E, 0x84}, {0x2020, 0x86}, {0x2021, 0x87}, {0x2022, 0x95},
    {0x2024, 0xB7}, {0x2026, 0x85}, {0x2030, 0x89}, {0x2032, 0x27}, {0x2035, 0x60}, {0x2039, 0x8B},
    {0x203A, 0x9B}, {0x2044, 0x2F}, {0x2070, 0xB0}, {0x2074, 0x34}, {0x2075, 0x35}, {0x2076, 0x36},
    {0x2077, 0x37}, {0x2078, 0x38}, {0x207F, 0x6E}, {0x2080, 0x30}, {0x2081, 0x31}, {0x2082, 0x32},
    {0x2083, 0x33}, {0x2084, 0x34}, {0x2085, 0x35}, {0x2086, 0x36}, {0x2087, 0x37}, {0x2088, 0x38},
    {0x2089, 0x39}, {0x20A1, 0xA2}, {0x20A4, 0xA3}, {0x20A7, 0x50}, {0x20AC, 0x80}, {0x2102, 0x43},
    {0x2107, 0x45}, {0x210A, 0x67}, {0x210B, 0x48}, {0x210C, 0x48}, {0x210D, 0x48}, {0x210E, 0x68},
    {0x2110, 0x49}, {0x2111, 0x49}, {0x2112, 0x4C}, {0x2113, 0x6C}, {0x2115, 0x4E}, {0x2118, 0x50},
    {0x2119, 0x50}, {0x211A, 0x51}, {0x211B, 0x52}, {0x211C, 0x52}, {0x211D, 0x52}, {0x2122, 0x99},
    {0x2124, 0x5A}, {0x2128, 0x5A}, {0x212A, 0x4B}, {0x212B, 0xC5}, {0x212C, 0x42}, {0x212D, 0x43},
    {0x212E, 0x65}, {0x212F, 0x65}, {0x2130, 0x45}, {0x2131, 0x46}, {0x2133, 0x4D}, {0x2134, 0x6F},
    {0x2205, 0xD8}, {0x2212, 0x2D}, {0x2213, 0xB1}, {0x2215, 0x2F}, {0x2216, 0x5C}, {0x2217, 0x2A},
    {0x2218, 0xB0}, {0x2219, 0xB7}, {0x221A, 0x76}, {0x221E, 0x38}, {0x2223, 0x7C}, {0x2229, 0x6E},
    {0x2236, 0x3A}, {0x223C, 0x7E}, {0x2248, 0x98}, {0x2261, 0x3D}, {0x2264, 0x3D}, {0x2265, 0x3D},
    {0x226A, 0xAB}, {0x226B, 0xBB}, {0x22C5, 0xB7}, {0x2302, 0xA6}, {0x2303, 0x5E}, {0x2310, 0xAC},
    {0x2320, 0x28}, {0x2321, 0x29}, {0x2329, 0x3C}, {0x232A, 0x3E}, {0x2500, 0x2D}, {0x2502, 0xA6},
    {0x250C, 0x2B}, {0x2510, 0x2B}, {0x2514, 0x2B}, {0x2518, 0x2B}, {0x251C, 0x2B}, {0x2524, 0xA6},
    {0x252C, 0x2D}, {0x2534, 0x2D}, {0x253C, 0x2B}, {0x2550, 0x2D}, {0x2551, 0xA6}, {0x2552, 0x2B},
    {0x2553, 0x2B}, {0x2554, 0x2B}, {0x2555, 0x2B}, {0x2556, 0x2B}, {0x2557, 0x2B}, {0x2558, 0x2B},
    {0x2559, 0x2B}, {0x255A, 0x2B}, {0x255B, 0x2B}, {0x255C, 0x2B}, {0x255D, 0x2B}, {0x255E, 0xA6},
    {0x255F, 0xA6}, {0x2560, 0xA6}, {0x2561, 0xA6}, {0x2562, 0xA6}, {0x2563, 0xA6}, {0x2564, 0x2D},
    {0x2565, 0x2D}, {0x2566, 0x2D}, {0x2567, 0x2D}, {0x2568, 0x2D}, {0x2569, 0x2D}, {0x256A, 0x2B},
    {0x256B, 0x2B}, {0x256C, 0x2B}, {0x2580, 0xAF}, {0x2584, 0x5F}, {0x2588, 0xA6}, {0x258C, 0xA6},
    {0x2590, 0xA6}, {0x2591, 0xA6}, {0x2592, 0xA6}, {0x2593, 0xA6}, {0x25A0, 0xA6}, {0x263C, 0xA4},
    {0x2758, 0x7C}, {0x3000, 0x20}, {0x3008, 0x3C}, {0x3009, 0x3E}, {0x300A, 0xAB}, {0x300B, 0xBB},
    {0x301A, 0x5B}, {0x301B, 0x5D}, {0x30FB, 0xB7}, {0xFF01, 0x21}, {0xFF02, 0x22}, {0xFF03, 0x23},
    {0xFF04, 0x24}, {0xFF05, 0x25}, {0xFF06, 0x26}, {0xFF07, 0x27}, {0xFF08, 0x28}, {0xFF09, 0x29},
    {0xFF0A, 0x2A}, {0xFF0B, 0x2B}, {0xFF0C, 0x2C}, {0xFF0D, 0x2D}, {0xFF0E, 0x2E}, {0xFF0F, 0x2F},
    {0xFF10, 0x30}, {0xFF11, 0x31}, {0xFF12, 0x32}, {0xFF13, 0x33}, {0xFF14, 0x34}, {0xFF15, 0x35},
    {0xFF16, 0x36}, {0xFF17, 0x37}, {0xFF18, 0x38}, {0xFF19, 0x39}, {0xFF1A, 0x3A}, {0xFF1B, 0x3B},
    {0xFF1C, 0x3C}, {0xFF1D, 0x3D}, {0xFF1E, 0x3E}, {0xFF20, 0x40}, {0xFF21, 0x41}, {0xFF22, 0x42},
    {0xFF23, 0x43}, {0xFF24, 0x44}, {0xFF25, 0x45}, {0xFF26, 0x46}, {0xFF27, 0x47}, {0xFF28, 0x48},
    {0xFF29, 0x49}, {0xFF2A, 0x4A}, {0xFF2B, 0x4B}, {0xFF2C, 0x4C}, {0xFF2D, 0x4D}, {0xFF2E, 0x4E},
    {0xFF2F, 0x4F}, {0xFF30, 0x50}, {0xFF31, 0x51}, {0xFF32, 0x52}, {0xFF33, 0x53}, {0xFF34, 0x54},
    {0xFF35, 0x55}, {0xFF36, 0x56}, {0xFF37, 0x57}, {0xFF38, 0x58}, {0xFF39, 0x59}, {0xFF3A, 0x5A},
    {0xFF3B, 0x5B}, {0xFF3C, 0x5C}, {0xFF3D, 0x5D}, {0xFF3E, 0x5E}, {0xFF3F, 0x5F}, {0xFF40, 0x60},
    {0xFF41, 0x61}, {0xFF42, 0x62}, {0xFF43, 0x63}, {0xFF44, 0x64}, {0xFF45, 0x65}, {0xFF46, 0x66},
    {0xFF47, 0x67}, {0xFF48, 0x68}, {0xFF49, 0x69}, {0xFF4A, 0x6A}, {0xFF4B, 0x6B}, {0xFF4C, 0x6C},
    {0xFF4D, 0x6D}, {0xFF4E, 0x6E}, {0xFF4F, 0x6F}, {0xFF50, 0x70}, {0xFF51, 0x71}, {0xFF52, 0x72},
    {0xFF53, 0x73}, {0xFF54, 0x74}, {0xFF55, 0x75}, {0xFF56, 0x76}, {0xFF57, 0x77}, {0xFF58, 0x78},
    {0xFF59, 0x79}, {0xFF5A, 0x7A}, {0xFF5B, 0x7B}, {0xFF5C, 0x7C}, {0xFF5D, 0x7D}, {0xFF5E, 0x7E},
};

Unit ansiToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

unsigned char unicodeToAnsi(Unit unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit < 0x100)) return static_cast<unsigned char>(unit);
    if (unit < 0xA0) {
        // Only the five bytes that Windows-1252 leaves undefined map back onto C1 controls.
        const bool undefinedByte = unit == 0x81 || unit == 0x8D || unit == 0x8F || unit == 0x90 || unit == 0x9D;
        return undefinedByte ? static_cast<unsigned char>(unit) : '?';
    }
    std::size_t low = 0;
    std::size_t high = sizeof(kBestFit) / sizeof(kBestFit[0]);
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (kBestFit[middle].unit < unit) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    const bool found = low < sizeof(kBestFit) / sizeof(kBestFit[0]) && kBestFit[low].unit == unit;
    return found ? kBestFit[low].byte : '?';
}

// The reader ignores the case of A-Z only: 'E' matches 'e', but U+00C9 does not match U+00E9.
Unit foldCase(Unit unit) {
    return unit >= 'A' && unit <= 'Z' ? static_cast<Unit>(unit + 0x20) : unit;
}

// Exactly these are white space to the reader: no-break space and other Unicode spaces are not.
bool isBlank(Unit unit) {
    return (unit >= 0x09 && unit <= 0x0D) || unit == 0x1A || unit == 0x20;
}

// ---- UTF-8 ---------------------------------------------------------------------------------

// Decodes the sequence whose lead byte src[*pos - 1] (0x80 or above) has just been read, and
// advances *pos past the bytes it uses. Gives a code point, or kNoCodePoint for an ill-formed
// sequence: the Windows converter then emits one U+FFFD and resumes at the first byte that could
// not belong to the sequence, and a sequence cut by the end of the input swallows that end. So
// C0 AF and E0 80 80 each give two U+FFFD, F4 90 80 80 gives three.
constexpr std::uint32_t kNoCodePoint = 0xFFFFFFFFu;

std::uint32_t decodeUtf8Sequence(const unsigned char* src, std::size_t length, std::size_t* pos) {
    const unsigned lead = src[*pos - 1];
    unsigned trailCount = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailCount = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailCount = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailCount = 3;
    }
    static const unsigned kLeadMask[4] = {0x7F, 0x1F, 0x0F, 0x07};
    std::uint32_t value = lead & kLeadMask[trailCount];
    const std::size_t end = *pos + trailCount;
    if (end > length) {
        *pos = length;
        return kNoCodePoint;
    }
    // Each trail byte is checked as it arrives; overlong forms, surrogates and values past
    // U+10FFFF are refused as soon as their leading bits show it.
    switch (trailCount) {
        case 3: {
            const unsigned bits = src[end - 3] ^ 0x80u;
            if (bits >= 0x40) break;
            value = (value << 6) | bits;
            ++*pos;
            if (value < 0x10) break;
        }
            [[fallthrough]];
        case 2: {
            const unsigned bits = src[end - 2] ^ 0x80u;
            if (bits >= 0x40) break;
            value = (value << 6) | bits;
            if (value >= (0x110000 >> 6)) break;
            ++*pos;
            if (value < 0x20) break;
            if (value >= (0xD800 >> 6) && value <= (0xDFFF >> 6)) break;
        }
            [[fallthrough]];
        case 1: {
            const unsigned bits = src[end - 1] ^ 0x80u;
            if (bits >= 0x40) break;
            value = (value << 6) | bits;
            ++*pos;
            if (value < 0x80) break;
            return value;
        }
        default:
            break;
    }
    return kNoCodePoint;
}

// Decodes UTF-8 into `dst` (or only counts the units when `dst` is null). Returns the unit count.
std::size_t decodeUtf8(const unsigned char* src, std::size_t length, Unit* dst) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < length) {
        const unsigned char byte = src[pos++];
        std::uint32_t codePoint = byte;
        if (byte >= 0x80) codePoint = decodeUtf8Sequence(src, length, &pos);
        if (codePoint == kNoCodePoint) codePoint = kReplacement;
        if (codePoint >= 0x10000) {
            if (dst) {
                dst[count] = static_cast<Unit>(0xD800 | ((codePoint - 0x10000) >> 10));
                dst[count + 1] = static_cast<Unit>(0xDC00 | ((codePoint - 0x10000) & 0x3FF));
            }
            count += 2;
        } else {
            if (dst) dst[count] = static_cast<Unit>(codePoint);
            ++count;
        }
    }
    return count;
}

// ---- Index -----------------------------------------------------------------------------------

// Names and values are ranges of the document's text. Their lengths stop at the first NUL, as
// the reader keeps them as C strings.
struct SectionEntry {
    std::uint32_t nameStart;
    std::uint32_t nameLength;
    std::uint32_t firstKey;
    std::uint32_t keyCount;
};

struct KeyEntry {
    std::uint32_t nameStart;
    std::uint32_t nameLength;
    std::uint32_t valueStart;  // kNoValue for a line without '='
    std::uint32_t valueLength;
};

}  // namespace

struct IniDocument {
    // ANSI files keep their bytes (each byte is one character); Unicode files keep UTF-16 units.
    unsigned char* bytes;
    Unit* units;
    SectionEntry* sections;
    std::size_t sectionCount;
    std::size_t sectionCapacity;
    KeyEntry* keys;
    std::size_t keyCount;
    std::size_t keyCapacity;
};

namespace {

template <typename Entry>
bool reserveOneMore(Entry** entries, std::size_t count, std::size_t* capacity) {
    if (count < *capacity) return true;
    const std::size_t grown = *capacity ? *capacity * 2 : 64;
    if (grown < *capacity || grown > static_cast<std::size_t>(-1) / sizeof(Entry)) return false;
    void* moved = std::realloc(*entries, grown * sizeof(Entry));
    if (!moved) return false;
    *entries = static_cast<Entry*>(moved);
    *capacity = grown;
    return true;
}

bool addSection(IniDocument* document, std::uint32_t nameStart, std::uint32_t nameLength) {
    if (!reserveOneMore(&document->sections, document->sectionCount, &document->sectionCapacity)) return false;
    document->sections[document->sectionCount++] = {nameStart, nameLength,
                                                    static_cast<std::uint32_t>(document->keyCount), 0};
    return true;
}

bool addKey(IniDocument* document, const KeyEntry& key) {
    if (!reserveOneMore(&document->keys, document->keyCount, &document->keyCapacity)) return false;
    document->keys[document->keyCount++] = key;
    ++document->sections[document->sectionCount - 1].keyCount;
    return true;
}

template <typename Char>
void trim(const Char* text, std::uint32_t* start, std::uint32_t* end) {
    while (*start < *end && isBlank(text[*start])) ++*start;
    while (*end > *start && isBlank(text[*end - 1])) --*end;
}

template <typename Char>
std::uint32_t lengthBeforeNul(const Char* text, std::uint32_t start, std::uint32_t end) {
    std::uint32_t position = start;
    while (position < end && text[position] != 0) ++position;
    return position - start;
}

// Splits the text into lines and records every header and key line, in file order.
template <typename Char>
bool indexText(IniDocument* document, const Char* text, std::uint32_t length) {
    // Keys above the first header belong to a nameless section, which no named lookup finds.
    if (!addSection(document, 0, 0)) return false;
    std::uint32_t next = 0;
    while (next < length) {
        std::uint32_t start = next;
        while (next < length && text[next] != '\n' && text[next] != '\r') ++next;
        std::uint32_t end = next;
        while (next < length && (text[next] == '\n' || text[next] == '\r')) ++next;
        trim(text, &start, &end);
        if (start == end) continue;

        if (text[start] == '[') {
            std::uint32_t afterClose = end;
            while (afterClose > start + 1 && text[afterClose - 1] != ']') --afterClose;
            if (afterClose > start + 1) {
                std::uint32_t nameStart = start + 1;
                std::uint32_t nameEnd = afterClose - 1;
                trim(text, &nameStart, &nameEnd);
                if (!addSection(document, nameStart, lengthBeforeNul(text, nameStart, nameEnd))) return false;
                continue;
            }
            // Without a ']' the line is an ordinary key line of the current section.
        }

        std::uint32_t equals = start;
        while (equals < end && text[equals] != '=') ++equals;
        KeyEntry key = {start, 0, kNoValue, 0};
        if (equals < end) {
            std::uint32_t nameEnd = equals;
            while (nameEnd > start && isBlank(text[nameEnd - 1])) --nameEnd;
            std::uint32_t valueStart = equals + 1;
            while (valueStart < end && isBlank(text[valueStart])) ++valueStart;
            key.nameLength = lengthBeforeNul(text, start, nameEnd);
            key.valueStart = valueStart;
            key.valueLength = lengthBeforeNul(text, valueStart, end);
        } else {
            key.nameLength = lengthBeforeNul(text, start, end);
        }
        if (!addKey(document, key)) return false;
    }
    return true;
}

// Copies UTF-16 text of either byte order into units. An odd final byte becomes a unit of its
// own, its low byte, as the Windows reader sees it.
Unit* loadUtf16(const unsigned char* bytes, std::size_t length, bool bigEndian, std::size_t* unitCount) {
    *unitCount = (length + 1) / 2;
    Unit* units = static_cast<Unit*>(std::malloc(*unitCount ? *unitCount * sizeof(Unit) : 1));
    if (!units) return nullptr;
    for (std::size_t index = 0; index < length / 2; ++index) {
        const unsigned first = bytes[2 * index];
        const unsigned second = bytes[2 * index + 1];
        units[index] = static_cast<Unit>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (length % 2) units[length / 2] = bytes[length - 1];
    return units;
}

// Unicode value of the document's character at `index`, for comparing names.
Unit characterAt(const IniDocument* document, std::uint32_t index) {
    return document->units ? document->units[index] : ansiToUnicode(document->bytes[index]);
}

// Windows-1252 byte that the document's character at `index` comes back as.
unsigned char resultByteAt(const IniDocument* document, std::uint32_t index) {
    return document->units ? unicodeToAnsi(document->units[index]) : document->bytes[index];
}

struct RequestName {
    const unsigned char* start;
    std::size_t length;
};

// The reader trims the requested names as it trims lines. The request is ANSI; the characters
// trimmed are ASCII, so this can work on its bytes.
RequestName trimmedRequest(const char* name) {
    const unsigned char* start = reinterpret_cast<const unsigned char*>(name);
    while (*start && isBlank(*start)) ++start;
    std::size_t length = std::strlen(reinterpret_cast<const char*>(start));
    while (length > 0 && isBlank(start[length - 1])) --length;
    return {start, length};
}

bool nameMatches(const IniDocument* document, std::uint32_t start, std::uint32_t length, const RequestName& request) {
    if (length != request.length) return false;
    for (std::uint32_t offset = 0; offset < length; ++offset) {
        if (foldCase(characterAt(document, start + offset)) != foldCase(ansiToUnicode(request.start[offset]))) {
            return false;
        }
    }
    return true;
}

// Only the first section of a name is searched, and the first key of a name in it wins.
const KeyEntry* findKey(const IniDocument* document, const char* section, const char* key) {
    const RequestName sectionName = trimmedRequest(section);
    for (std::size_t index = 0; index < document->sectionCount; ++index) {
        const SectionEntry& entry = document->sections[index];
        if (!nameMatches(document, entry.nameStart, entry.nameLength, sectionName)) continue;
        const RequestName keyName = trimmedRequest(key);
        for (std::uint32_t keyIndex = entry.firstKey; keyIndex < entry.firstKey + entry.keyCount; ++keyIndex) {
            const KeyEntry& candidate = document->keys[keyIndex];
            if (nameMatches(document, candidate.nameStart, candidate.nameLength, keyName)) return &candidate;
        }
        return nullptr;
    }
    return nullptr;
}

}  // namespace

IniDocument* parseIni(const unsigned char* bytes, std::size_t length) {
    if (!bytes) length = 0;
    if (length > kMaxInputBytes) return nullptr;
    IniDocument* document = static_cast<IniDocument*>(std::calloc(1, sizeof(IniDocument)));
    if (!document) return nullptr;

    bool indexed = false;
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        const std::size_t unitCount = decodeUtf8(bytes + 3, length - 3, nullptr);
        document->units = static_cast<Unit*>(std::malloc(unitCount ? unitCount * sizeof(Unit) : 1));
        if (document->units) {
            decodeUtf8(bytes + 3, length - 3, document->units);
            // A UTF-8 text never has more units than bytes, so the count fits in 32 bits.
            indexed = indexText(document, document->units, static_cast<std::uint32_t>(unitCount));
        }
    } else if (length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        std::size_t unitCount = 0;
        document->units = loadUtf16(bytes + 2, length - 2, bytes[0] == 0xFE, &unitCount);
        if (document->units) indexed = indexText(document, document->units, static_cast<std::uint32_t>(unitCount));
    } else {
        document->bytes = static_cast<unsigned char*>(std::malloc(length ? length : 1));
        if (document->bytes) {
            if (length) std::memcpy(document->bytes, bytes, length);
            indexed = indexText(document, document->bytes, static_cast<std::uint32_t>(length));
        }
    }
    if (!indexed) {
        freeIni(document);
        return nullptr;
    }
    return document;
}

void freeIni(IniDocument* document) {
    if (!document) return;
    std::free(document->bytes);
    std::free(document->units);
    std::free(document->sections);
    std::free(document->keys);
    std::free(document);
}

std::uint32_t lookupIni(const IniDocument* document, const char* section, const char* key, char* dst,
                        std::uint32_t capacity) {
    if (!dst || capacity == 0) return 0;
    dst[0] = '\0';
    if (!document || !section || !key) return 0;
    const KeyEntry* entry = findKey(document, section, key);
    if (!entry || entry->valueStart == kNoValue) return 0;

    std::uint32_t start = entry->valueStart;
    std::uint32_t length = entry->valueLength;
    bool dropLast = false;
    if (length >= 2) {
        const Unit quote = characterAt(document, start);
        if ((quote == '"' || quote == '\'') && characterAt(document, start + length - 1) == quote) {
            ++start;
            --length;
            // The reader copies the text after the opening quote, then drops the last character it
            // copied whenever the buffer could have held that text, closing quote included. With
            // inner text exactly one character too long for the buffer, a real character goes.
            dropLast = capacity >= length;
        }
    }
    std::uint32_t count = length < capacity - 1 ? length : capacity - 1;
    if (dropLast && count > 0) --count;
    for (std::uint32_t offset = 0; offset < count; ++offset) {
        dst[offset] = static_cast<char>(resultByteAt(document, start + offset));
    }
    dst[count] = '\0';
    return count;
}

bool hasIniKey(const IniDocument* document, const char* section, const char* key) {
    return document && section && key && findKey(document, section, key) != nullptr;
}

}  // namespace platform
