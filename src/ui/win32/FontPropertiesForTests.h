// For the end-to-end tests, which read the main window from another process where a font handle
// means nothing: each label also carries the weight and size of its font as window properties
// (values 400 or 700, and hundredths of a point).
#pragma once

#include <windows.h>

namespace tolvane::win32 {

inline constexpr wchar_t kFontWeightProperty[] = L"TolvaneFontWeight";
inline constexpr wchar_t kFontCentipointsProperty[] = L"TolvaneFontCentipoints";

inline void PublishFontForTests(HWND control, int centipoints, bool bold) {
    SetPropW(control, kFontWeightProperty,
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(bold ? FW_BOLD : FW_NORMAL)));
    SetPropW(control, kFontCentipointsProperty,
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(centipoints)));
}

// Before the control goes: a window property must not outlive its window.
inline void UnpublishFont(HWND control) {
    RemovePropW(control, kFontWeightProperty);
    RemovePropW(control, kFontCentipointsProperty);
}

}  // namespace tolvane::win32
