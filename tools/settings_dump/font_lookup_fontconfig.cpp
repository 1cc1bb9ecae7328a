// fontconfig: the family its match for the name has, as the native glyphs are drawn with it.
#include <fontconfig/fontconfig.h>

#include <strings.h>

#include "font_lookup.h"

bool systemHasFont(const char* face, std::string* drawn) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return true;  // cannot tell: no warning
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    bool has = true;
    if (match != nullptr) {
        has = false;
        FcChar8* family = nullptr;
        for (int index = 0; FcPatternGetString(match, FC_FAMILY, index, &family) == FcResultMatch; ++index) {
            if (index == 0) *drawn = reinterpret_cast<const char*>(family);
            if (strcasecmp(reinterpret_cast<const char*>(family), face) == 0) has = true;
        }
        FcPatternDestroy(match);
    }
    FcConfigDestroy(config);
    return has;
}
