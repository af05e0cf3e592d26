#include "ui/win32/FontCache.h"

#include "ui/ControlLayout.h"

namespace tolvane::win32 {

// Without a face, the windows' own Tahoma.
HFONT FontCache::Get(int centipoints, bool bold, const wchar_t* face) {
    return Make(centipoints, bold, face ? face : kFontFace, DEFAULT_PITCH);
}

HFONT FontCache::FixedPitch(int centipoints) {
    return Make(centipoints, false, L"Courier New", FIXED_PITCH | FF_MODERN);
}

HFONT FontCache::Make(int centipoints, bool bold, const wchar_t* face, BYTE pitchAndFamily) {
    UniqueFont& font = fonts_[{centipoints, bold, face, pitchAndFamily}];
    if (!font) {
        LOGFONTW description{};
        description.lfHeight = -MulDiv(centipoints, dpi_, 7200);
        description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        description.lfCharSet = DEFAULT_CHARSET;
        description.lfQuality = DEFAULT_QUALITY;
        description.lfPitchAndFamily = pitchAndFamily;
        lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
        font.reset(CreateFontIndirectW(&description));
    }
    return font.get();
}

}  // namespace tolvane::win32
