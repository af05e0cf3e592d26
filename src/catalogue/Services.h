// The "Closing critical ports" group: services switched off, and the port-135 gate.
#pragma once

#include "catalogue/HardeningSetting.h"

namespace tolvane {

// Enables the port boxes whose service is installed.
// The group's registry rows, in apply order.
std::vector<HardeningSetting> ServiceSettings();
void EnableServiceBoxes(Form& form, Machine& machine);
void VerifyServices(Form& form, Machine& machine);
// Stops at the first write the registry refuses and reports it.
GroupResult ApplyServices(Form& form, Machine& machine);

}  // namespace tolvane
