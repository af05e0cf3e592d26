#include "model/Restart.h"

namespace tolvane {

bool RestartSystem(MainWindowState& state, Machine& machine) {
    state.restartRequested = true;
    UpdateMainWindowEnabled(state, machine.host);
    const unsigned long error = machine.system.EndSession(kRestartFlags);
    if (error == 0) {
        machine.host.AwaitSessionEnd();
        return true;
    }
    RestartCancelled(state, machine.host);
    machine.host.ShowMessage(
        L"Windows refused to restart.\r\n\r\n" + machine.system.ErrorText(error), kAppTitle,
        MbOk | MbIconExclamation);
    return false;
}

void RestartCancelled(MainWindowState& state, Host& host) {
    if (state.restartRequested) {
        state.restartRequested = false;
        UpdateMainWindowEnabled(state, host);
    }
}

}  // namespace tolvane
