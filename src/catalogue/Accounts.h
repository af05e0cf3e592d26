// The "Account deactivation" group.
#pragma once

#include <functional>
#include <map>

#include "catalogue/HardeningSetting.h"

namespace tolvane {

inline constexpr wchar_t kRemoteRegistryStart[] =
    L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry\\Start";

// The group's registry rows, in apply order.
std::vector<HardeningSetting> AccountSettings();
void VerifyAccounts(MainWindowState& state, Machine& machine);
// Stops at the first change the system refuses and reports it. An account it switches off is
// recorded just before under the program's own key, so that a restore can switch it on again.
GroupResult ApplyAccounts(MainWindowState& state, Machine& machine);

// This program switched off the account of the box, and has not switched it on since.
bool HasAccountRecord(Reg& reg, ControlId box);
// How switching on an account this program switched off ended.
struct RecordedAccountEnd {
    unsigned long failure = 0;  // the system's or net user's code
    bool stillRunning = false;  // net user had not ended: the record stays for the next try
    bool nameUnknown = false;   // the system could not name the guest: nothing was switched
};
// Switches on the accounts this program recorded as switched off, each on its own, and drops the
// record of each that is on again; one end for each account that had a record. Only the accounts
// `wanted` says yes to, when given.
std::map<ControlId, RecordedAccountEnd> RestoreRecordedAccounts(
    MainWindowState& state, Machine& machine,
    const std::function<bool(ControlId)>& wanted = nullptr);

}  // namespace tolvane
