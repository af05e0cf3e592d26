#include "model/MachineChanges.h"

namespace tolvane {

MachineChangeScope::MachineChangeScope(MainWindowState& state, Machine& machine)
    : state_(state), machine_(machine) {
    if (state_.machineLockDepth == 0) {
        if (machine_.system.RunsAsAdministrator() == false) {
            error_ = kRegAccessDenied;
            return;
        }
        MachineLockResult result = machine_.system.LockMachineForChanges(0);
        if (!result.lock) {
            error_ = result.error;
            return;
        }
        lock_ = std::move(result.lock);
        machine_.host.HoldMessages();
    }
    ++state_.machineLockDepth;
    locked_ = true;
}

MachineChangeScope::~MachineChangeScope() {
    if (locked_ && --state_.machineLockDepth == 0) {
        const unsigned long error = lock_->Release();
        lock_.reset();
        machine_.host.ShowHeldMessages();
        if (error) {
            machine_.host.ShowMessage(
                L"Tolvane could not let go of the lock that keeps other Tolvane runs from changing "
                L"this computer at the same time.\r\n\r\n" +
                    machine_.system.ErrorText(error) +
                    L"\r\n\r\nThe changes were made; other Tolvane runs on this computer wait "
                    L"until this window is closed.",
                kAppTitle, MbOk | MbIconExclamation);
        }
    }
}

void ReportMachineNotLocked(Machine& machine, unsigned long error) {
    const std::wstring text = error == kMachineHeldElsewhere ? std::wstring(kMachineHeldMessage)
                              : error == kRegAccessDenied
                                  ? std::wstring(kNotAdministratorMessage)
                                  : L"Tolvane could not make sure that no other Tolvane run "
                                    L"is changing this computer.\r\n\r\n" +
                                        machine.system.ErrorText(error) +
                                        L"\r\n\r\nNothing was applied.";
    machine.host.ShowMessage(text, kAppTitle, MbOk | MbIconExclamation);
}

}  // namespace tolvane
