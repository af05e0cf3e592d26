// The main window's reactions to its Apply buttons, select-all boxes, coupled boxes and menus.
#pragma once

#include <span>

#include "model/Machine.h"
#include "model/MainWindowState.h"
#include "model/SettingBoxes.h"

namespace tolvane {

// Asks what the applies need answered, then applies the groups under the machine-wide lock; with
// verify, reads each group's boxes again after its apply. False when the lock could not be had:
// nothing was applied, and the user was told.
bool ApplyGroups(MainWindowState& state, Machine& machine, std::span<const Group> groups,
                 bool verify);
// A group's Apply button.
void ApplyGroupCommand(MainWindowState& state, Machine& machine, Group group);
// Every group whose boxes this machine can set, in the order of the buttons.
void ApplyAllCommand(MainWindowState& state, Machine& machine);
// Asks, then asks Windows to restart.
void ConfirmAndRestart(MainWindowState& state, Machine& machine);
void VerifyAllGroups(MainWindowState& state, Machine& machine);

// Runs the reaction of a box whose value has just changed.
void BoxChanged(MainWindowState& state, Machine& machine, ControlId box);

}  // namespace tolvane
