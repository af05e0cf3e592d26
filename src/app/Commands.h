// The main window's reactions to its Apply buttons, select-all boxes, coupled boxes and menus.
#pragma once

#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

void ApplySharesCommand(MainWindowState& state, Machine& machine);
void ApplyAccountsCommand(MainWindowState& state, Machine& machine);
void ApplyServicesCommand(MainWindowState& state, Machine& machine);
void ApplyAllCommand(MainWindowState& state, Machine& machine);
// Asks, then asks Windows to restart.
void ConfirmAndRestart(MainWindowState& state, Machine& machine);
void VerifyAllGroups(MainWindowState& state, Machine& machine);

// Runs the reaction of a box whose value has just changed.
void BoxChanged(MainWindowState& state, Machine& machine, ControlId box);

}  // namespace tolvane
