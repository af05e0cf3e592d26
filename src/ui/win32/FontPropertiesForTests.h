// For the end-to-end tests, which read the main window from another process where a font handle
// means nothing: each label also carries the weight and size of its font as window properties
// (values 400 or 700, and hundredths of a point).
#pragma once

namespace tolvane::win32 {

inline constexpr wchar_t kFontWeightProperty[] = L"TolvaneFontWeight";
inline constexpr wchar_t kFontCentipointsProperty[] = L"TolvaneFontCentipoints";

}  // namespace tolvane::win32
