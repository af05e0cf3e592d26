#include "model/MachineChanges.h"

namespace tolvane {

MachineChangeScope::MachineChangeScope(MainWindowState& state, Machine& machine)
    : state_(state), machine_(machine) {
    if (state_.machineLockDepth == 0) {
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
        lock_.reset();
        machine_.host.ShowHeldMessages();
    }
}

void ReportMachineNotLocked(Machine& machine, unsigned long error) {
    const std::wstring text =
        error == kMachineHeldElsewhere
            ? std::wstring(kMachineHeldMessage)
            : L"Tolvane could not make sure that no other Tolvane run is changing this "
              L"computer.\r\n\r\n" +
                  machine.system.ErrorText(error) + L"\r\n\r\nNothing was applied.";
    machine.host.ShowMessage(text, kAppTitle, MbOk | MbIconExclamation);
}

}  // namespace tolvane
