// The "Share deletion" group.
#pragma once

#include "catalogue/HardeningSetting.h"

namespace tolvane {

void VerifyShares(Form& form, Machine& machine);
// Stops at the first write the registry refuses and reports it.
WriteResult ApplyShares(Form& form, Machine& machine);

}  // namespace tolvane
