// Restarting Windows at the user's request.
#pragma once

#include "ui/Form.h"

namespace tolvane {

// ExitWindowsEx flags.
inline constexpr unsigned kEwxReboot = 2;
inline constexpr unsigned kEwxForce = 4;

// With force, other programs are closed without being asked. The main window takes no input
// from the moment the request goes out; when Windows refuses it, the window is given back and
// the user told why. True when Windows took the request.
bool RestartSystem(Form& form, Machine& machine, bool force);

}  // namespace tolvane
