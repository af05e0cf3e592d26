#include "system/Restart.h"

namespace tolvane {

bool RestartSystem(Form& form, Machine& machine) {
    form.restartRequested = true;
    UpdateMainWindow(form, machine.host);
    const unsigned long error = machine.system.EndSession(kRestartFlags);
    if (error == 0) {
        machine.host.AwaitSessionEnd();
        return true;
    }
    RestartCancelled(form, machine.host);
    machine.host.ShowMessage(
        L"Windows refused to restart.\r\n\r\n" + machine.system.ErrorText(error), kAppTitle,
        MbOk | MbIconExclamation);
    return false;
}

void RestartCancelled(Form& form, Host& host) {
    if (form.restartRequested) {
        form.restartRequested = false;
        UpdateMainWindow(form, host);
    }
}

}  // namespace tolvane
