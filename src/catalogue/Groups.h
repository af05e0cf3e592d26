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

// Every registry row of the box as the machine has them now, in the order its group applies
// them; none for a box that is not a registry setting (the two accounts, port 135).
std::vector<HardeningSetting> SettingsOfBox(Reg& reg, ControlId box);

// The shares can be set only on NTFS; start-up disables their group otherwise.
bool SharesAvailable(const MainWindowState& state);

}  // namespace tolvane
