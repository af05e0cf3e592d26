// The "Account deactivation" group.
#pragma once

#include "catalogue/HardeningSetting.h"

namespace tolvane {

inline constexpr wchar_t kRemoteRegistryStart[] =
    L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry\\Start";

// The group's registry rows, in apply order.
std::vector<HardeningSetting> AccountSettings();
void VerifyAccounts(MainWindowState& state, Machine& machine);
// Stops at the first write the registry refuses and reports it.
GroupResult ApplyAccounts(MainWindowState& state, Machine& machine);

}  // namespace tolvane
