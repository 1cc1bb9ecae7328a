// What the plug-in's core needs from the operating system. Plain types only, so that no
// platform header reaches the core. Each binary links exactly one implementation:
// win32_*.cpp (the product DLL) or portable_*.cpp (native builds, tests and previews).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// ---- Settings file ----------------------------------------------------------------------------

// Reads `key` in `section` of the settings file at `path` exactly as the Windows profile reader
// (GetPrivateProfileStringA under code page 1252) does with an empty default, for names and
// numbers: text that is drawn goes through readSettingsText. Both parse the file's bytes with the
// portable reader (portable_ini.h), on every system. Writes at most capacity - 1 characters and a
// terminator into `dst` and returns the number of characters written. A missing file, section or key gives 0 and "".
// `path` is written with backslashes; implementations map them to their own separator. Paths are
// UTF-8 on Windows, where they reach the wide-character API, and the system's own bytes elsewhere.
std::uint32_t readSettingsValue(const char* path, const char* section, const char* key, char* dst,
                                std::uint32_t capacity);

// How a text value (a row, a font name, a format) was read from the file.
enum class TextSource : std::uint8_t {
    None,      // no value
    Utf8File,  // the file starts with a UTF-8 byte-order mark
    Utf16File, // the file starts with a UTF-16 byte-order mark, either byte order
    Ascii,     // no mark, and the value is plain ASCII: the same in UTF-8 and any ANSI code page
    Utf8,      // no mark, and the value is valid UTF-8
    CodePage,  // no mark, and the value is not UTF-8: read in the system's ANSI code page
};

struct TextRead {
    TextSource source;
    std::uint32_t replaced;    // characters that could not be decoded, given as U+FFFD
    std::uint32_t characters;  // characters of the value in the file, quotes taken off
    bool cut;                  // more than kMaxTextCharacters: only the first are given
};

// A text value holds at most this many characters (code points, whatever their script).
constexpr std::uint32_t kMaxTextCharacters = 259;

// Reads `key` in `section` as text: the same line readSettingsValue finds, but every character
// whole, as UTF-8. The file's byte-order mark says how it is decoded; without one each value on
// its own is UTF-8 when it is valid UTF-8 and otherwise in the system's ANSI code page. Writes at
// most kMaxTextCharacters characters and a terminator into `dst` (capacity - 1 bytes at most, no
// character split), and returns the bytes written; `how` (if not null) says how it was read.
std::uint32_t readSettingsText(const char* path, const char* section, const char* key, char* dst,
                               std::uint32_t capacity, TextRead* how);

// The system's ANSI code page, by number: what a value without a byte-order mark that is not
// UTF-8 is read in. GetACP() on Windows; natively 1252, or OSTRIVANE_TEST_CODE_PAGE for tests.
std::uint32_t ansiCodePage();

// Decodes text in the ANSI code page: writes the code points of the first characters of
// `length` bytes to `out` (at most `capacity`; `out` may be null to count only) and returns how
// many characters the bytes hold, or `capacity` when there are more. A byte the code page leaves
// undefined, or a lead byte without its trail, gives kUndefinedCharacter and decoding resumes at
// the next byte. Loading only: it may allocate.
constexpr std::uint32_t kUndefinedCharacter = 0xFFFFFFFFu;
std::size_t decodeAnsiText(const unsigned char* bytes, std::size_t length, std::uint32_t* out, std::size_t capacity);

// True when `section` of the file holds a line for `key`, even one whose value is empty; for
// tools that explain why a value was not found.
bool settingsKeyExists(const char* path, const char* section, const char* key);

// True when `path` names a file that can be opened for reading.
bool settingsFileReadable(const char* path);

// The last-write time (in the system's own units) and the size of a file: what tells that a
// settings file was saved again.
struct FileStamp {
    std::uint64_t writeTime;
    std::uint64_t size;
};
inline bool operator==(const FileStamp& a, const FileStamp& b) { return a.writeTime == b.writeTime && a.size == b.size; }
inline bool operator!=(const FileStamp& a, const FileStamp& b) { return !(a == b); }

// The stamp of the regular file at `path`; false when there is none (missing, a directory).
// One file-attribute call, and nothing allocated: frames call it.
bool settingsFileStamp(const char* path, FileStamp* out);

// Writes the path of `fileName` in the folder of the library this code is linked into (the
// plug-in's DLL or shared library; for a tool, its program) into `out`, in the form the functions
// above take (UTF-8 on Windows, whatever the folder's characters). False when the folder cannot
// be found or the path would not fit in `capacity` bytes with its terminator: it is never cut.
bool libraryFolderFile(const char* fileName, char* out, std::uint32_t capacity);

// Between beginSettingsBatch(path) and endSettingsBatch(), reads of `path` may share one parse of
// the file instead of parsing it for every key. A batch is a performance hint: reads give the
// same results with or without it. Batches do not nest.
void beginSettingsBatch(const char* path);
void endSettingsBatch();

// Scope guard for a settings batch.
class SettingsBatch {
public:
    explicit SettingsBatch(const char* path) { beginSettingsBatch(path); }
    ~SettingsBatch() { endSettingsBatch(); }
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;
};

// ---- Clocks -----------------------------------------------------------------------------------

// Broken-down local time, with the fields of the C library's struct tm.
struct CalendarTime {
    int year;    // years since 1900
    int month;   // 0-11
    int day;     // 1-31
    int hour;    // 0-23
    int minute;  // 0-59
    int second;  // 0-60
};

// Milliseconds from an arbitrary start; wraps around after 2^32 ms like the Windows tick counter.
std::uint32_t tickMilliseconds();
// Seconds since 1970-01-01 UTC.
std::int64_t calendarNow();
// Local time of `seconds`; false when the conversion fails (`out` is then untouched).
bool toLocalTime(std::int64_t seconds, CalendarTime* out);
// Re-reads the system's time-zone setting.
void reloadTimeZone();

// ---- Glyphs -----------------------------------------------------------------------------------

// The drawing context of the calling thread's current OpenGL context, or null when none is current.
void* currentDrawingContext();

// What a font measures at a pixel height, in window pixels: its ascent above and descent below
// the baseline, and its line height.
struct GlyphMetrics {
    int ascent;
    int descent;
    int lineHeight;  // from one baseline to the next, as the font sets lines
};

// The characters below the space are control characters: the plug-in draws none of them.
constexpr int kFirstDrawnCharacter = 32;

// The font text is drawn in: the face the settings name, at a character height of `pixelHeight`
// pixels, and the faces that draw the characters it lacks: `fallbacks` (faces separated by commas,
// tried in order; null or empty: none), then the system's own choice for the character (on Windows
// faces that ship with it for Chinese, Japanese and Korean, then any face the system has; natively
// fontconfig's match for the character). Fallback glyphs are drawn at the same pixel height, on the
// same baseline. Names are UTF-8.
struct FontRequest {
    const char* face;
    const char* fallbacks;
    int pixelHeight;
};

// Whether the system has the font `face` that the glyphs open, rather than one put in its place.
// When it has not, writes the face text is drawn in instead, in UTF-8, to `drawnFace` (at most
// capacity - 1 bytes and a terminator). True when it cannot tell.
bool hasFontFace(const char* face, char* drawnFace, std::uint32_t capacity);

// The DPI of the display the drawing context's window is on: the window's own where the system
// tells it (looked up at run time, so that older systems still load the plug-in), else the
// system's; a null context asks for the system's. Natively there is no display: 96. On both, the
// tests' lever OSTRIVANE_TEST_DPI, when set to a whole number, is the answer. What the system
// says is passed on as it is (0 included). Nothing is allocated.
int displayDpi(void* drawingContext);

// Plain: the font's own bitmaps. Dilated: each bitmap grown by one pixel on every side (a pixel is
// set when it or one of its 8 neighbours is), placed so that it covers the plain glyph with one
// pixel to spare all round, with the same advance: the outline around a line of text.
enum class GlyphShape { Plain, Dilated };

// How renderGlyphs draws a glyph's pixels.
enum class GlyphRendering {
    Bitmap,    // the 1-bit bitmaps the glyph lists draw: every pixel 0 or 255
    Coverage,  // antialiased: how much of each pixel the glyph covers, 0-255
};

// One glyph, placed the way glBitmap places a bitmap: `width` x `height` pixels, one byte each,
// rows bottom up, whose lower left pixel lies `xOrigin` pixels left of and `yOrigin` pixels below
// the pixel of the pen; the pen then moves `advance` pixels right. A glyph without pixels (the
// space) has width and height 0. `missing`: no face has the character, and the image is the main
// face's missing-character shape.
struct GlyphImage {
    int width;
    int height;
    int xOrigin;
    int yOrigin;
    int advance;
    const unsigned char* pixels;  // valid only during the call it is handed to
    bool missing;
};

// Takes the glyphs renderGlyphs makes.
class GlyphReceiver {
public:
    // The glyph of characters[index]; false stops the rendering.
    virtual bool receive(int index, const GlyphImage& image) = 0;

protected:
    ~GlyphReceiver() = default;
};

// Renders the glyphs of the Unicode characters `characters` (`count` of them) in `font`, as
// `rendering` says, and hands them to `receiver` in order. No GL is called; `drawingContext` is
// the current context's, or null for tools that render without one. Bitmap glyphs are what the
// glyph lists draw (buildGlyphLists); Coverage glyphs advance as the Bitmap ones, so that a line
// measures the same either way. `metrics` (may be null) gets the main face's measures. False when
// the font could not be made, a glyph could not be rendered (it is then handed on without pixels),
// or the receiver stopped.
bool renderGlyphs(void* drawingContext, const FontRequest& font, const std::uint32_t* characters, int count,
                  GlyphRendering rendering, GlyphReceiver& receiver, GlyphMetrics* metrics = nullptr);

// Measures `font` as the glyphs draw it, without GL: its metrics and, for each of `characters`,
// its advance and whether no face has it (`advances` and `missing` may be null). For tools that
// lay text out as the plug-in will. False when the font could not be made.
bool measureFont(const FontRequest& font, const std::uint32_t* characters, int count, GlyphMetrics* metrics,
                 std::int16_t* advances, bool* missing);

// The address of the OpenGL function `name` of the current context (one beyond OpenGL 1.1), or
// null when the context has none. On Windows an address belongs to the context it was asked in.
void* glFunction(const char* name);

// The environment variable `name` of the process as a whole number from 0 up; -1 when it is not
// set or not such a number. Read at set-up only, for levers the tests pull.
long environmentNumber(const char* name);

// Builds a bitmap glyph display list for each of `characters` (`count` of them), at list names
// firstList onwards, in the current OpenGL context, from renderGlyphs' Bitmap glyphs in `shape`:
// each list draws its glyph at the raster position and moves the raster position by the glyph's
// advance. `metrics` as for renderGlyphs; `advances` and `missing` (may be null) get each
// character's advance and whether no face has it. The host's pixel-store state, a bound unpack
// buffer included, is left as it was. False when the font could not be made or a glyph not rendered.
bool buildGlyphLists(void* drawingContext, const FontRequest& font, const std::uint32_t* characters, int count,
                     std::uint32_t firstList, GlyphShape shape, GlyphMetrics* metrics = nullptr,
                     std::int16_t* advances = nullptr, bool* missing = nullptr);

}  // namespace platform
