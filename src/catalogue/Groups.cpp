#include "catalogue/Groups.h"

#include <array>

#include "catalogue/Accounts.h"
#include "catalogue/Services.h"
#include "catalogue/Shares.h"

namespace tolvane {
namespace {

// In the order of Group.
constexpr std::array<SettingGroup, kGroupCount> kGroups = {{
    {Group::Shares, L"Shares", ControlId::ApplySharesButton, VerifyShares, ApplyShares},
    {Group::Accounts, L"Accounts", ControlId::ApplyAccountsButton, VerifyAccounts, ApplyAccounts},
    {Group::Services, L"Services", ControlId::ApplyServicesButton, VerifyServices, ApplyServices},
}};

}  // namespace

std::span<const SettingGroup> SettingGroups() {
    return kGroups;
}

const SettingGroup& SettingGroupOf(Group group) {
    return kGroups[static_cast<std::size_t>(group)];
}

std::vector<HardeningSetting> SettingsOfBox(Reg& reg, ControlId box) {
    std::vector<HardeningSetting> rows;
    for (const auto& group : {ShareSettings(), AccountSettings(), ServiceSettings(reg)}) {
        for (const HardeningSetting& row : group) {
            if (row.box == box) {
                rows.push_back(row);
            }
        }
    }
    return rows;
}

bool SharesAvailable(const MainWindowState& state) {
    return state.controls.Enabled(ControlId::ApplySharesButton);
}

}  // namespace tolvane
