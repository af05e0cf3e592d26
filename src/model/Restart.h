// Restarting Windows at the user's request.
#pragma once

#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

// ExitWindowsEx flags. A restart is never forced: other programs may ask their users to save,
// and may cancel the restart.
inline constexpr unsigned kEwxReboot = 2;
inline constexpr unsigned kRestartFlags = kEwxReboot;

// The main window takes no input from the moment the request goes out; when Windows refuses it,
// the window is given back and the user told why. True when Windows took the request.
bool RestartSystem(MainWindowState& state, Machine& machine);

// The end of the session that Windows announced was cancelled (by Windows or by another
// program): a restart this program asked for will not come, and the main window is given back.
void RestartCancelled(MainWindowState& state, Host& host);

}  // namespace tolvane
