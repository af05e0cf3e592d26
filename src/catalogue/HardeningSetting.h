// One catalogue row: a registry value that is in force when it holds its target.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "model/Machine.h"
#include "model/MainWindowState.h"
#include "model/SettingBoxes.h"
#include "registry/SettingEngine.h"

namespace tolvane {

struct HardeningSetting : Setting {
    ControlId box;
};

// A REG_DWORD below HKEY_LOCAL_MACHINE, as every row of the catalogue is.
constexpr HardeningSetting MakeSetting(ControlId box, const wchar_t* valuePath,
                                       const wchar_t* target, UndoRule undoRule) {
    return {{kHklm, valuePath, target, ValueType::Dword, undoRule}, box};
}

// A refused change that stopped a group's apply: the box it stopped at, and the changed boxes
// after it that the group did not get to.
struct Refusal {
    ControlId box;
    WriteFailure failure;
    std::vector<ControlId> notTried;
};
using GroupResult = std::optional<Refusal>;

// The refusal at the box, the group treating its boxes in this order.
Refusal StoppedAt(MainWindowState& state, ControlId box, WriteFailure failure,
                  std::span<const ControlId> order);

// Whether the row is in force; reads only.
bool IsInForce(Machine& machine, const HardeningSetting& row);
// Brings the rows of one box in line with the given box value, whole or not at all. A backup
// that cannot be used is reported on the way. A refused change is returned, telling that the box
// was left as it was and the boxes after it in the group are not applied.
WriteResult ApplyBoxSettings(Machine& machine, std::span<const HardeningSetting> rows,
                             BoxValue boxValue);
// What the user learns when a refusal stops a group at this box.
std::wstring LeftAsItWasMessage(ControlId box);
// A box's label is bold while the box is cleared.
void BoldLabelWhileCleared(MainWindowState& state, ControlId box);

}  // namespace tolvane
