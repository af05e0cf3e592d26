// What the main window does when it goes away.
#pragma once

#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

// Offers to apply each group with changes not applied, then the restart an applied change needs,
// then removes the help file written beside the program. False when an apply found another run
// changing the machine: the closing stops there and the window stays. When Windows ends the
// session nothing is asked, which would hold up the shut-down, and nothing is applied.
bool OfferPendingChangesAndCleanUp(MainWindowState& state, Machine& machine, bool sessionEnding);

}  // namespace tolvane
