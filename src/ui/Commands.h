// The main window's reactions to its Apply buttons, select-all boxes, coupled boxes and menus.
#pragma once

#include "ui/Form.h"

namespace tolvane {

void PartagesAppliquer_Click(Form& form, Machine& machine);
void DesactiverAppliquer_Click(Form& form, Machine& machine);
void PortsAppliquer_Click(Form& form, Machine& machine);
void Sauvegarder_Click(Form& form, Machine& machine);
// Asks, then restarts Windows with force.
void RebootButton_Click(Form& form, Machine& machine);
void VerifyAll_Click(Form& form, Machine& machine);

// Runs the reaction of a box whose value has just changed.
void BoxChanged(Form& form, Machine& machine, ControlId box);

// The message shown when the registry refuses a write.
std::wstring WriteFailureMessage(const WriteFailure& failure, const std::wstring& reason);
void ReportRefusal(Machine& machine, const WriteFailure& failure);
// The message shown when a file cannot be written.
std::wstring FileFailureMessage(const std::wstring& path, const std::wstring& reason);

}  // namespace tolvane
