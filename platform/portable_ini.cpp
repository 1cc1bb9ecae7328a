// Settings-file reader of the native builds. It parses the way the Windows profile reader does
// (see portable_ini.h), so that previews and tests see the values the plug-in sees on Windows.
#include "platform/portable_ini.h"

#include <cstdlib>
#include <cstring>

#include "platform/best_fit_1252.h"
#include "platform/utf8.h"
#include "platform/windows_1252.h"

namespace platform {
namespace {

using Unit = std::uint16_t;  // one UTF-16 code unit: the reader works on Unicode text

// Offsets and counts are 32-bit; 2 GiB of input keeps every one of them in range.
constexpr std::size_t kMaxInputBytes = 0x7FFFFFFF;
constexpr std::uint32_t kNoValue = 0xFFFFFFFFu;
constexpr Unit kReplacement = 0xFFFD;

// The Windows reader gives the five bytes that Windows-1252 leaves undefined the C1 controls of
// the same number.
Unit ansiToUnicode(unsigned char byte) {
    const Unit unit = windows1252ToUnicode(byte);
    return unit != 0 || byte == 0 ? unit : byte;
}

unsigned char unicodeToAnsi(Unit unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit < 0x100)) return static_cast<unsigned char>(unit);
    if (unit < 0xA0) {
        // Only the five bytes that Windows-1252 leaves undefined map back onto C1 controls.
        const auto byte = static_cast<unsigned char>(unit);
        return windows1252ToUnicode(byte) == 0 ? byte : '?';
    }
    const unsigned char fit = bestFitWindows1252(unit);
    return fit != 0 ? fit : '?';
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

// Decodes UTF-8 into `dst` (or only counts the units when `dst` is null). Returns the unit count.
std::size_t decodeUtf8Text(const unsigned char* src, std::size_t length, Unit* dst) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < length) {
        const Utf8Character c = decodeUtf8(src + pos, length - pos, Utf8Errors::LikeWindows);
        pos += c.length;
        const std::uint32_t codePoint = c.codePoint == kNoCodePoint ? kReplacement : c.codePoint;
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
    std::uint32_t line;  // 1-based, as an editor counts; 0 for the keys before the first header
};

struct KeyEntry {
    std::uint32_t nameStart;
    std::uint32_t nameLength;
    std::uint32_t valueStart;  // kNoValue for a line without '='
    std::uint32_t valueLength;
    std::uint32_t line;
};

}  // namespace

struct IniDocument {
    // ANSI files keep their bytes (each byte is one character); Unicode files keep UTF-16 units.
    unsigned char* bytes;
    Unit* units;
    bool utf8Mark;  // units decoded from UTF-8 after its byte-order mark, not read as UTF-16
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

bool addSection(IniDocument* document, std::uint32_t nameStart, std::uint32_t nameLength, std::uint32_t line) {
    if (!reserveOneMore(&document->sections, document->sectionCount, &document->sectionCapacity)) return false;
    document->sections[document->sectionCount++] = {nameStart, nameLength,
                                                    static_cast<std::uint32_t>(document->keyCount), 0, line};
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
    if (!addSection(document, 0, 0, 0)) return false;
    std::uint32_t next = 0;
    std::uint32_t nextLine = 1;
    while (next < length) {
        std::uint32_t start = next;
        const std::uint32_t line = nextLine;
        while (next < length && text[next] != '\n' && text[next] != '\r') ++next;
        std::uint32_t end = next;
        // The reader ends a line at every CR and LF; an editor counts CR LF as one line end.
        while (next < length && (text[next] == '\n' || text[next] == '\r')) {
            if (text[next] == '\r' && next + 1 < length && text[next + 1] == '\n') ++next;
            ++next;
            ++nextLine;
        }
        trim(text, &start, &end);
        if (start == end) continue;

        if (text[start] == '[') {
            std::uint32_t afterClose = end;
            while (afterClose > start + 1 && text[afterClose - 1] != ']') --afterClose;
            if (afterClose > start + 1) {
                std::uint32_t nameStart = start + 1;
                std::uint32_t nameEnd = afterClose - 1;
                trim(text, &nameStart, &nameEnd);
                if (!addSection(document, nameStart, lengthBeforeNul(text, nameStart, nameEnd), line)) return false;
                continue;
            }
            // Without a ']' the line is an ordinary key line of the current section.
        }

        std::uint32_t equals = start;
        while (equals < end && text[equals] != '=') ++equals;
        KeyEntry key = {start, 0, kNoValue, 0, line};
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
        const std::size_t unitCount = decodeUtf8Text(bytes + 3, length - 3, nullptr);
        document->units = static_cast<Unit*>(std::malloc(unitCount ? unitCount * sizeof(Unit) : 1));
        document->utf8Mark = true;
        if (document->units) {
            decodeUtf8Text(bytes + 3, length - 3, document->units);
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

namespace {

// The value of a key line as the reader returns it into `capacity` bytes: one pair of equal quotes
// removed, cut to capacity - 1 characters, in Windows-1252.
std::uint32_t copyValue(const IniDocument* document, const KeyEntry& entry, char* dst, std::uint32_t capacity) {
    dst[0] = '\0';
    if (entry.valueStart == kNoValue) return 0;
    std::uint32_t start = entry.valueStart;
    std::uint32_t length = entry.valueLength;
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

// Text as it is written out: UTF-8, at most kMaxTextCharacters characters that fit `capacity`
// bytes with the terminator; the characters past those are only counted.
class TextWriter {
public:
    TextWriter(char* text, std::uint32_t size) : dst(text), capacity(size) { dst[0] = '\0'; }

    void put(std::uint32_t codePoint) {
        ++read.characters;
        if (codePoint == kUndefinedCharacter) codePoint = kReplacement;
        unsigned char bytes[4];
        std::uint32_t length = 0;
        if (codePoint < 0x80) {
            bytes[length++] = static_cast<unsigned char>(codePoint);
        } else if (codePoint < 0x800) {
            bytes[length++] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
            bytes[length++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            bytes[length++] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
            bytes[length++] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
            bytes[length++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        } else {
            bytes[length++] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
            bytes[length++] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
            bytes[length++] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
            bytes[length++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        }
        if (read.cut || kept == kMaxTextCharacters || used + length >= capacity) {
            read.cut = true;
            return;
        }
        std::memcpy(dst + used, bytes, length);
        used += length;
        dst[used] = '\0';
        ++kept;
    }
    // A character that could not be decoded, drawn as U+FFFD.
    void putReplacement() {
        if (!read.cut && kept < kMaxTextCharacters) ++read.replaced;
        put(kReplacement);
    }

    TextRead read = {};
    std::uint32_t used = 0;

private:
    char* dst;
    std::uint32_t capacity;
    std::uint32_t kept = 0;
};

// The characters of `length` units of the document from `start`, as text. Unicode files give
// their characters, pairs of surrogates joined; a file without a mark gives UTF-8 as it is and any
// other text through `decode`.
void writeText(const IniDocument* document, std::uint32_t start, std::uint32_t length, AnsiDecoder decode,
               TextWriter& out) {
    if (document->units) {
        out.read.source = document->utf8Mark ? TextSource::Utf8File : TextSource::Utf16File;
        const Unit* units = document->units + start;
        for (std::uint32_t offset = 0; offset < length; ++offset) {
            const Unit unit = units[offset];
            if (unit >= 0xD800 && unit <= 0xDBFF && offset + 1 < length && units[offset + 1] >= 0xDC00 &&
                units[offset + 1] <= 0xDFFF) {
                out.put(0x10000 + ((static_cast<std::uint32_t>(unit) - 0xD800) << 10) + (units[++offset] - 0xDC00));
            } else if ((unit >= 0xD800 && unit <= 0xDFFF) || (unit == kReplacement && document->utf8Mark)) {
                out.putReplacement();  // a lone surrogate, or bytes the UTF-8 decoding replaced
            } else {
                out.put(unit);
            }
        }
        return;
    }
    const unsigned char* bytes = document->bytes + start;
    bool ascii = true;
    for (std::uint32_t offset = 0; offset < length;) {
        const Utf8Character c = decodeUtf8(bytes + offset, length - offset, Utf8Errors::Reject);
        if (c.codePoint == kNoCodePoint) {
            ascii = false;
            break;
        }
        ascii = ascii && c.length == 1;
        offset += static_cast<std::uint32_t>(c.length);
        if (offset == length) {
            out.read.source = ascii ? TextSource::Ascii : TextSource::Utf8;
            for (std::uint32_t at = 0; at < length;) {
                const Utf8Character character = decodeUtf8(bytes + at, length - at, Utf8Errors::Reject);
                out.put(character.codePoint);
                at += static_cast<std::uint32_t>(character.length);
            }
            return;
        }
    }
    if (length == 0) return;
    out.read.source = TextSource::CodePage;
    if (decode == nullptr) decode = &decodeWindows1252;
    // One more than is kept tells that there are more.
    std::uint32_t decoded[kMaxTextCharacters + 1];
    const std::size_t count = decode(bytes, length, decoded, kMaxTextCharacters + 1);
    for (std::size_t index = 0; index < count && index < kMaxTextCharacters; ++index) {
        if (decoded[index] == kUndefinedCharacter) {
            out.putReplacement();
        } else {
            out.put(decoded[index]);
        }
    }
    if (count > kMaxTextCharacters) {
        out.read.cut = true;
        out.read.characters = static_cast<std::uint32_t>(decode(bytes, length, nullptr, static_cast<std::size_t>(-1)));
    }
}

// A value's range without one pair of equal quotes around it.
void unquoted(const IniDocument* document, const KeyEntry& entry, std::uint32_t* start, std::uint32_t* length) {
    *start = entry.valueStart;
    *length = entry.valueLength;
    if (*length < 2) return;
    const Unit quote = characterAt(document, *start);
    if ((quote == '"' || quote == '\'') && characterAt(document, *start + *length - 1) == quote) {
        ++*start;
        *length -= 2;
    }
}

std::uint32_t valueText(const IniDocument* document, const KeyEntry& entry, AnsiDecoder decode, char* dst,
                        std::uint32_t capacity, TextRead* how) {
    TextWriter out(dst, capacity);
    if (entry.valueStart != kNoValue) {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
        unquoted(document, entry, &start, &length);
        writeText(document, start, length, decode, out);
    }
    if (how != nullptr) *how = out.read;
    return out.used;
}

}  // namespace

std::uint32_t lookupIni(const IniDocument* document, const char* section, const char* key, char* dst,
                        std::uint32_t capacity) {
    if (!dst || capacity == 0) return 0;
    dst[0] = '\0';
    if (!document || !section || !key) return 0;
    const KeyEntry* entry = findKey(document, section, key);
    return entry ? copyValue(document, *entry, dst, capacity) : 0;
}

std::uint32_t lookupIniText(const IniDocument* document, const char* section, const char* key, AnsiDecoder decode,
                            char* dst, std::uint32_t capacity, TextRead* how) {
    if (how != nullptr) *how = {};
    if (!dst || capacity == 0) return 0;
    dst[0] = '\0';
    if (!document || !section || !key) return 0;
    const KeyEntry* entry = findKey(document, section, key);
    return entry ? valueText(document, *entry, decode, dst, capacity, how) : 0;
}

std::size_t decodeWindows1252(const unsigned char* bytes, std::size_t length, std::uint32_t* out, std::size_t capacity) {
    const std::size_t count = length < capacity ? length : capacity;
    for (std::size_t index = 0; out != nullptr && index < count; ++index) {
        const Unit unit = windows1252ToUnicode(bytes[index]);
        out[index] = unit != 0 || bytes[index] == 0 ? unit : kUndefinedCharacter;
    }
    return count;
}

bool visitIniLines(const IniDocument* document, AnsiDecoder decode, bool (*visit)(const IniLine& line, void* context),
                   void* context) {
    if (!document || !visit) return true;
    char name[kIniTextSize];
    char value[kIniTextSize];
    for (std::size_t index = 0; index < document->sectionCount; ++index) {
        const SectionEntry& section = document->sections[index];
        if (index > 0) {
            TextWriter nameText(name, sizeof name);
            writeText(document, section.nameStart, section.nameLength, decode, nameText);
            const IniLine header = {true, section.line, name, section.nameLength, false, "", 0, false, {}};
            if (!visit(header, context)) return false;
        }
        for (std::uint32_t keyIndex = section.firstKey; keyIndex < section.firstKey + section.keyCount; ++keyIndex) {
            const KeyEntry& key = document->keys[keyIndex];
            TextWriter nameText(name, sizeof name);
            writeText(document, key.nameStart, key.nameLength, decode, nameText);
            TextRead read = {};
            valueText(document, key, decode, value, sizeof value, &read);
            const bool hasValue = key.valueStart != kNoValue;
            const Unit quote = hasValue && key.valueLength >= 2 ? characterAt(document, key.valueStart) : 0;
            const bool quoted = (quote == '"' || quote == '\'') &&
                                characterAt(document, key.valueStart + key.valueLength - 1) == quote;
            const IniLine line = {false, key.line, name, key.nameLength, hasValue, value,
                                  hasValue ? key.valueLength : 0, quoted, read};
            if (!visit(line, context)) return false;
        }
    }
    return true;
}

bool hasIniKey(const IniDocument* document, const char* section, const char* key) {
    return document && section && key && findKey(document, section, key) != nullptr;
}

}  // namespace platform
