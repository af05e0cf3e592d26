#include "ui/win32/FontCache.h"

#include "ui/ControlLayout.h"

namespace tolvane::win32 {

HFONT FontCache::Get(int centipoints, bool bold) {
    UniqueFont& font = fonts_[{centipoints, bold}];
    if (!font) {
        LOGFONTW description{};
        description.lfHeight = -MulDiv(centipoints, dpi_, 7200);
        description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        description.lfCharSet = DEFAULT_CHARSET;
        description.lfQuality = DEFAULT_QUALITY;
        lstrcpynW(description.lfFaceName, kFontFace, LF_FACESIZE);
        font.reset(CreateFontIndirectW(&description));
    }
    return font.get();
}

}  // namespace tolvane::win32
