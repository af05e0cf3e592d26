// The menu bar as data: captions with their access keys.
#pragma once

#include <span>

#include "model/ControlId.h"

namespace tolvane {

struct MenuEntry {
    MenuId id;
    const wchar_t* caption;  // null for a separator
};

struct MenuDefinition {
    const wchar_t* caption;
    std::span<const MenuEntry> entries;
};

std::span<const MenuDefinition> MainMenus();

}  // namespace tolvane
