#include "catalogue/HardeningSetting.h"

namespace tolvane {

bool CheckSetting(Machine& machine, const HardeningSetting& row) {
    return ApplySetting(machine.reg, false, 0, row.root, row.valuePath, row.restoreRule, row.target,
                        row.valueType)
        .inForce;
}

WriteResult ApplyRowSetting(Machine& machine, const HardeningSetting& row, std::int16_t boxValue) {
    return ApplySetting(machine.reg, true, boxValue, row.root, row.valuePath, row.restoreRule,
                        row.target, row.valueType)
        .failure;
}

void ShowState(Form& form, ControlId box, ControlId label) {
    form.controls.SetBold(label, form.controls.Value(box) == 0);
}

}  // namespace tolvane
