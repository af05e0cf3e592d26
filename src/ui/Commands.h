// The main window's reactions to its Apply buttons, select-all boxes, coupled boxes and menus.
#pragma once

#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

void ApplySharesCommand(MainWindowState& state, Machine& machine);
void ApplyAccountsCommand(MainWindowState& state, Machine& machine);
void ApplyServicesCommand(MainWindowState& state, Machine& machine);
void ApplyAllCommand(MainWindowState& state, Machine& machine);
// Asks, then restarts Windows with force.
void ConfirmAndRestart(MainWindowState& state, Machine& machine);
void VerifyAllGroups(MainWindowState& state, Machine& machine);

// Runs the reaction of a box whose value has just changed.
void BoxChanged(MainWindowState& state, Machine& machine, ControlId box);

// The message shown when the registry refuses a write.
std::wstring WriteFailureMessage(const WriteFailure& failure, const std::wstring& reason);
void ReportRefusal(Machine& machine, const WriteFailure& failure);
// The message shown when a file cannot be written.
std::wstring FileFailureMessage(const std::wstring& path, const std::wstring& reason);

}  // namespace tolvane
