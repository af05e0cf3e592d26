// The window's changes to the machine, made under the machine-wide lock that keeps two runs of
// Tolvane from changing it at once.
#pragma once

#include <memory>

#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

inline constexpr wchar_t kNotAdministratorMessage[] =
    L"Tolvane must be run as an administrator to change this computer. Nothing was applied.";
inline constexpr wchar_t kMachineHeldMessage[] =
    L"Another Tolvane run is changing this computer. Nothing was applied; try again when it has "
    L"finished.";

// Takes the lock without waiting: the window's person can try again. A scope inside another of
// the same window holds the lock already. While the lock is held the messages that only tell are
// kept back, and shown once it is released: nobody may wait for a box a person has to close.
// Every question must have been answered before. Only an administrator's window takes it: any
// other is refused before, as Windows would refuse its changes.
class MachineChangeScope {
  public:
    MachineChangeScope(MainWindowState& state, Machine& machine);
    ~MachineChangeScope();
    MachineChangeScope(const MachineChangeScope&) = delete;
    MachineChangeScope& operator=(const MachineChangeScope&) = delete;

    // False when the machine may not be changed now.
    bool Locked() const { return locked_; }
    // Then, kMachineHeldElsewhere while another run holds it, kRegAccessDenied for a user who is
    // not an administrator, else the system's error code.
    unsigned long Error() const { return error_; }

  private:
    MainWindowState& state_;
    Machine& machine_;
    std::unique_ptr<MachineLock> lock_;
    bool locked_ = false;
    unsigned long error_ = 0;
};

// Tells, in one message, that nothing was applied because the lock could not be had.
void ReportMachineNotLocked(Machine& machine, unsigned long error);

}  // namespace tolvane
