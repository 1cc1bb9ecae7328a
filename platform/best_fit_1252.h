// The conversion the Windows settings reader applies to Unicode text by default: best fit into
// Windows-1252, so that a character the code page lacks becomes a look-alike (U+0100 becomes 'A').
#pragma once

#include <cstdint>

namespace platform {

// The Windows-1252 byte that Windows' best-fit conversion gives a UTF-16 unit from U+0100 up, exact
// or look-alike; 0 when it has none (the converter then writes '?').
unsigned char bestFitWindows1252(std::uint16_t unit);

}  // namespace platform
