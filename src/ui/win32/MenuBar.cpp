#include "ui/win32/MenuBar.h"

#include "model/MenuTable.h"

namespace tolvane::win32 {

HMENU CreateMenuBar() {
    const HMENU bar = CreateMenu();
    for (const MenuDefinition& definition : MainMenus()) {
        const HMENU popup = CreatePopupMenu();
        for (const MenuEntry& entry : definition.entries) {
            if (!entry.caption) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(entry.id), entry.caption);
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), definition.caption);
    }
    return bar;
}

}  // namespace tolvane::win32
