// The exit code of an unattended run: what the engine that started it reads without looking.
#pragma once

namespace tolvane {

inline constexpr int kMostCounted = 99;
inline constexpr int kExitUnsupported = 100;
inline constexpr int kExitNotAdministrator = 101;
inline constexpr int kExitBadCommandLine = 102;
inline constexpr int kExitReportNotWritten = 103;
inline constexpr int kExitMachineHeld = 104;
inline constexpr int kExitPolicyUnreadable = 105;
// What SCCM and Windows Installer read as "done, restart to finish".
inline constexpr int kExitRestartNeeded = 3010;

struct RunOutcome {
    bool badCommandLine = false;
    // A policy file the command line names could not be read: nothing was done.
    bool policyUnreadable = false;
    bool unsupported = false;
    // Another run held the machine for its changes: this one changed nothing.
    bool machineHeld = false;
    bool reportNotWritten = false;
    // A change Windows refused for lack of rights.
    bool accessDenied = false;
    // Settings asked for and not in force, or records not restored.
    int notDone = 0;
    // A setting this run changed takes effect only once Windows restarts.
    bool restartNeeded = false;
};

// Where several apply, the first of 102, 105, 100, 104, 103, 101, the count (capped at 99) and 3010
// wins.
int ExitCodeOf(const RunOutcome& outcome);

}  // namespace tolvane
