// Child controls of the program's windows, made from their design rows.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "model/ControlLayout.h"

namespace tolvane::win32 {

// A control of the given kind at its place in twips, with the given child-window identifier and
// any styles beyond those of its kind.
HWND CreateChildControl(HWND parent, ControlKind kind, bool centred, const wchar_t* caption,
                        const TwipRect& place, int dpi, int id, DWORD extraStyle = 0);

}  // namespace tolvane::win32
