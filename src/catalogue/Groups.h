// The three groups of the main window in the order of their Apply buttons: the name a report
// gives each, its button, and the routines that verify and apply it.
#pragma once

#include <span>

#include "catalogue/HardeningSetting.h"
#include "model/SettingBoxes.h"

namespace tolvane {

struct SettingGroup {
    Group group;
    const wchar_t* name;  // "Shares"
    ControlId applyButton;
    void (*verify)(MainWindowState& state, Machine& machine);
    // Stops at the first change the system refuses and returns it.
    GroupResult (*apply)(MainWindowState& state, Machine& machine);
};

std::span<const SettingGroup> SettingGroups();
const SettingGroup& SettingGroupOf(Group group);

// The shares can be set only on NTFS; start-up disables their group otherwise.
bool SharesAvailable(const MainWindowState& state);

}  // namespace tolvane
