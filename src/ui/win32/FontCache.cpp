#include "ui/win32/FontCache.h"

#include "model/ControlLayout.h"

namespace tolvane::win32 {

// Without a face, the windows' own Tahoma.
HFONT FontCache::Get(int centipoints, bool bold, const wchar_t* face) {
    face = face ? face : kFontFace;
    UniqueFont& font = fonts_[{centipoints, bold, face}];
    if (!font) {
        LOGFONTW description{};
        description.lfHeight = -MulDiv(centipoints, dpi_, 7200);
        description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        description.lfCharSet = DEFAULT_CHARSET;
        description.lfQuality = DEFAULT_QUALITY;
        lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
        font.reset(CreateFontIndirectW(&description));
    }
    return font.get();
}

}  // namespace tolvane::win32
