// The settings check: what in a settings file does not do what its writer meant, as warnings in
// the form compilers use, so that editors can jump to them:
//   FILE:LINE: warning: TEXT      (FILE: warning: TEXT where no line applies)
//   FILE: error: TEXT             (the file is missing, unreadable or holds no page)
// Names and values in the messages are UTF-8 (see readableText).
// The values in force come from the plug-in's own reading of the file; the lines and their
// numbers from the portable parser, which reads like the Windows reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/display_settings.h"
#include "platform/platform.h"

namespace check {

enum class Outcome { Clean = 0, Warnings = 1, Unusable = 2 };

// Whether the system has the font `face`; when it has not, `drawn` names the one text is drawn in.
using FontLookup = bool (*)(const char* face, std::string* drawn);

// A text the reader gave (UTF-8) as it is shown: every character as it is, \xNN for the control
// characters 1-31 and 127 and for a byte that is not UTF-8, \uNNNN for the C1 controls. At most
// `limit` characters are shown; "..." follows a text that was cut.
std::string readableText(const std::string& text, std::size_t limit = std::string::npos);

// How the plug-in reads the text of the file at `filePath`: "read as UTF-8", "read as UTF-16 ...",
// "read as the system's ANSI code page 1251 ...", or, for a file without a byte-order mark that
// mixes the two, which values at which lines are read how.
std::string textReading(const std::string& filePath);

// Measures a font as the plug-in draws it: platform::measureFont, or a stand-in. `advances` and
// `missing` have room for `count` characters.
using FontMeasure = bool (*)(const platform::FontRequest& font, const std::uint32_t* characters, int count,
                             platform::GlyphMetrics* metrics, std::int16_t* advances, bool* missing);

// The view the check lays the rows out in, and the font measure it lays them out with. Without a
// measure (or when it fails) only rows whose point is off the 640x480 screen are found.
struct ViewCheck {
    FontMeasure measure = nullptr;
    int width = config::kScreenWidth;  // window pixels, 1 to kMaxViewSide
    int height = config::kScreenHeight;
    int dpi = 96;  // the display's, as FONT_SCALE=DPI takes it (platform::displayDpi)
};
constexpr int kMaxViewSide = 4096;

// At most this many warnings a file; then one line says how many more there were.
constexpr std::size_t kMaxWarnings = 50;

// Checks the file at `filePath` (a path of this system, UTF-8 on Windows), which the plug-in reads through
// `readerPath` (the same file, the way the plug-in names it), and appends the messages, FILE being
// `shownName`, to `messages`. `fonts` may be null: no font check. The rows are laid out as `view`
// says.
Outcome checkSettingsFile(const std::string& filePath, const std::string& readerPath, const std::string& shownName,
                          FontLookup fonts, std::vector<std::string>* messages, const ViewCheck& view = ViewCheck());

}  // namespace check
