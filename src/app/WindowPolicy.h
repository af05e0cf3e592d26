// A policy designed in the window: the ticked boxes saved as a policy file for the unattended
// runs of other machines, and a policy file shown as ticks to apply here.
#pragma once

#include <string>

#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

// The policy file of the boxes ticked (pending ticks count) and available as an unattended run
// sees them: UTF-8 with a byte-order mark, CR LF, a heading comment, then each name on its line
// with the box's caption as a comment. `fileName` is how the heading's command line names it.
std::string PolicyFromWindow(MainWindowState& state, Machine& machine,
                             const std::wstring& fileName);

// Ticks the available boxes the policy names and clears the others, as clicks would, so that
// their reactions run; applies nothing. Port 135 is never ticked this way: closing it asks a
// person, from its own box. What cannot be ticked here, or a policy that cannot be read, is told
// in one message.
void OpenPolicy(MainWindowState& state, Machine& machine, const std::wstring& path);

}  // namespace tolvane
