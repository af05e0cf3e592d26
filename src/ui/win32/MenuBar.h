// The main window's two menus.
#pragma once

#include <windows.h>

namespace tolvane::win32 {

// A new menu bar; the caller owns it until a window takes it.
HMENU CreateMenuBar();

}  // namespace tolvane::win32
