// The "Share deletion" group.
#pragma once

#include "catalogue/HardeningSetting.h"

namespace tolvane {

// The group's registry rows, in apply order.
std::vector<HardeningSetting> ShareSettings();
void VerifyShares(MainWindowState& state, Machine& machine);
// Stops at the first write the registry refuses and reports it.
GroupResult ApplyShares(MainWindowState& state, Machine& machine);

}  // namespace tolvane
