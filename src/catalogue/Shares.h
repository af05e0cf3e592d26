// The "Share deletion" group.
#pragma once

#include "catalogue/HardeningSetting.h"

namespace tolvane {

// The group's registry rows, in apply order.
std::vector<HardeningSetting> ShareSettings();
void VerifyShares(Form& form, Machine& machine);
// Stops at the first write the registry refuses and reports it.
GroupResult ApplyShares(Form& form, Machine& machine);

}  // namespace tolvane
