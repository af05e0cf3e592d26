// One catalogue row: a registry value that is in force when it holds its target.
#pragma once

#include "registry/SettingEngine.h"
#include "ui/Form.h"

namespace tolvane {

struct HardeningSetting {
    ControlId box;
    ControlId label;
    int root;
    const wchar_t* valuePath;
    const wchar_t* target;
    int valueType;
    const wchar_t* restoreRule;
};

constexpr HardeningSetting Row(ControlId box, ControlId label, const wchar_t* valuePath,
                               const wchar_t* target, const wchar_t* restoreRule) {
    return {box, label, Hklm, valuePath, target, RegDword, restoreRule};
}

// Whether the row is in force; reads only.
bool CheckSetting(Machine& machine, const HardeningSetting& row);
// Brings the row in line with the given box value.
WriteResult ApplyRowSetting(Machine& machine, const HardeningSetting& row, std::int16_t boxValue);
// A label is bold while its box is cleared.
void ShowState(Form& form, ControlId box, ControlId label);

}  // namespace tolvane
