// Settings with a documented consequence in a Windows domain: the caution the user reads before
// applying them on a domain's machine, and the settings a domain controller needs.
#pragma once

#include <span>
#include <string>

#include "model/Machine.h"
#include "model/MainWindowState.h"
#include "model/SettingBoxes.h"
#include "system/SystemInfo.h"

namespace tolvane {

// Applying the box ticked has a documented consequence in a domain.
bool HasDomainConsequence(ControlId box);
// The box's caption and that consequence, for the question of the window; empty for a box
// without one.
std::wstring DomainCaution(ControlId box);
// The consequence as a note of the report's line; empty for a box without one.
std::wstring DomainCautionNote(ControlId box);
// A domain controller cannot do without it: an unattended apply there leaves it alone.
bool ControllerNeedsIt(ControlId box);

// Before these groups are applied: on a domain's machine, the boxes about to be applied ticked
// that have a consequence there are listed in one question, No by default. No puts those boxes
// back as the last check left them, so that only the others are applied. Nothing is asked in a
// workgroup, or when no such box is about to be applied.
void ConfirmDomainConsequences(MainWindowState& state, Machine& machine,
                               std::span<const Group> groups);

}  // namespace tolvane
