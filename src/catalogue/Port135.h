// The RPC endpoint mapper on port 135: closed by importing registry scripts carried in the
// program, reopened by bringing back what was there before.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

inline constexpr wchar_t kPort135Warning[] =
    L"We strongly recommend to backup your system before closing port 135 as if a problem occurs, "
    L"there will be no way to step back.\r\n\r\nAre you ready?";
inline constexpr wchar_t kPort135WarningTitle[] = L"Warning.....";
// "1" while port 135 is closed by this program, "0" once it reopened it.
inline constexpr wchar_t kPort135Marker[] = L"SOFTWARE\\Microsoft\\Rpc\\DCOM ProtocolsKX";

// Windows 2000 can switch DCOM off from Service Pack 3 on (KB 825750); the later systems always.
bool CanDisableDcom(const VersionInfo& version);

// Every trace of a closed port 135 is there.
bool IsPort135Closed(Machine& machine);

// The warning before closing port 135; true when the user answered Yes.
bool ConfirmClosingPort135(Machine& machine);
// Takes the warning's answer given before (port135CloseAnswer), else asks it; on No, or when
// anything fails, port 135 is left open and the box cleared. A failure is reported in one message
// box. A registry editor that outlives the imports' wait is ended: what it wrote is not known,
// and the records stay for the next reopening.
void ClosePort135(MainWindowState& state, Machine& machine);
// Why a reopening failed, the user told: the system's code, or an outcome not known, where a
// registry editor still running at the end of its wait had to be ended.
struct ReopeningFailure {
    unsigned long code;
    bool notKnown;
};
// Brings back the values from before the close that still hold what the close left (one changed
// since by someone else stays as it is), or the open state where none were kept; nothing when it
// succeeded. Its records stay until their values are back.
std::optional<ReopeningFailure> OpenPort135(Machine& machine);
// This program closed port 135, or left a reopening unfinished: its records are still there.
bool Port135ReopeningDue(Reg& reg);
// Deletes the registry scripts that a close or reopening cut short left in the program's folder,
// those nobody holds open: a shared folder may be serving another machine's import.
void RemoveLeftImportFiles(Machine& machine);
// Reopens port 135 only where this program closed it or did not finish reopening it: what the
// window's start-up does while the box is not ticked. Skipped while another run holds the machine.
void KeepPort135Open(MainWindowState& state, Machine& machine);

}  // namespace tolvane
