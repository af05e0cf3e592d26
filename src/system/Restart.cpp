#include "system/Restart.h"

namespace tolvane {

bool RestartSystem(Form& form, Machine& machine, bool force) {
    form.restartRequested = true;
    UpdateMainWindow(form, machine.host);
    const unsigned long error =
        machine.system.EndSession(force ? kEwxReboot | kEwxForce : kEwxReboot);
    if (error == 0) {
        return true;
    }
    form.restartRequested = false;
    UpdateMainWindow(form, machine.host);
    machine.host.ShowMessage(
        L"Windows refused to restart.\r\n\r\n" + machine.system.ErrorText(error), kAppTitle,
        MbOk | MbIconExclamation);
    return false;
}

}  // namespace tolvane
