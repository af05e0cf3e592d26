// What the main window does when it goes away.
#pragma once

#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

// Offers to apply each group with changes not applied, then the restart an applied change needs,
// then removes the help file written beside the program. Cannot be cancelled. When Windows ends
// the session nothing is asked, which would hold up the shut-down.
void OfferPendingChangesAndCleanUp(MainWindowState& state, Machine& machine, bool sessionEnding);

}  // namespace tolvane
