#include "app/ExitCode.h"

namespace tolvane {

int ExitCodeOf(const RunOutcome& outcome) {
    if (outcome.badCommandLine) {
        return kExitBadCommandLine;
    }
    if (outcome.policyUnreadable) {
        return kExitPolicyUnreadable;
    }
    if (outcome.unsupported) {
        return kExitUnsupported;
    }
    if (outcome.machineHeld) {
        return kExitMachineHeld;
    }
    if (outcome.reportNotWritten) {
        return kExitReportNotWritten;
    }
    if (outcome.accessDenied) {
        return kExitNotAdministrator;
    }
    if (outcome.notDone > 0) {
        return outcome.notDone > kMostCounted ? kMostCounted : outcome.notDone;
    }
    return outcome.restartNeeded ? kExitRestartNeeded : 0;
}

}  // namespace tolvane
