#include "catalogue/Accounts.h"

#include <array>
#include <span>
#include <string>
#include <vector>

#include "catalogue/AccountProbe.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

constexpr std::array<HardeningSetting, 4> kAnonymousRows = {{
    MakeSetting(C::AnonymousAccessBox,
                L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymous", L"2",
                WriteOnUndo(L"0")),
    MakeSetting(C::AnonymousAccessBox,
                L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymoussam", L"1",
                WriteOnUndo(L"0")),
    MakeSetting(C::AnonymousAccessBox,
                L"SYSTEM\\CurrentControlSet\\Control\\Services\\RemoteRegistry", L"4",
                WriteOnUndo(L"0")),
    MakeSetting(C::AnonymousAccessBox,
                L"SYSTEM\\CurrentControlSet\\Control\\Services\\LanManServer", L"4",
                WriteOnUndo(L"0")),
}};
constexpr HardeningSetting kEveryoneRow = MakeSetting(
    C::EveryoneRightsBox, L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\everyoneincludesanonymous",
    L"0", WriteOnUndo(L"1"));
constexpr HardeningSetting kRemoteRegistryRow =
    MakeSetting(C::RemoteRegistryBox, kRemoteRegistryStart, L"4", kRestoreOnUndo);

// The order in which the group applies its boxes.
constexpr std::array<C, 5> kApplyOrder = {C::GuestAccountBox, C::HelpAssistantBox,
                                          C::AnonymousAccessBox, C::EveryoneRightsBox,
                                          C::RemoteRegistryBox};

// The probe after an apply must read the accounts as the switches left them.
constexpr std::uint32_t kSwitchTimeoutMs = 10000;

void VerifyOne(MainWindowState& state, Machine& machine, const HardeningSetting& row) {
    if (!state.controls.Enabled(row.box)) {
        return;
    }
    if (IsInForce(machine, row)) {
        state.controls.SetValue(row.box, BoxValue::Ticked);
    }
    BoldLabelWhileCleared(state, row.box);
}

}  // namespace

std::vector<HardeningSetting> AccountSettings() {
    std::vector<HardeningSetting> rows(kAnonymousRows.begin(), kAnonymousRows.end());
    rows.push_back(kEveryoneRow);
    rows.push_back(kRemoteRegistryRow);
    return rows;
}

void VerifyAccounts(MainWindowState& state, Machine& machine) {
    Controls& controls = state.controls;
    if (state.ChangedSinceVerify(C::GuestAccountBox) ||
        state.ChangedSinceVerify(C::HelpAssistantBox)) {
        ProbeAccounts(state, machine);
    }
    for (C box : {C::AnonymousAccessBox, C::RemoteRegistryBox, C::EveryoneRightsBox}) {
        controls.SetValue(box, BoxValue::Cleared);
    }
    if (controls.Enabled(C::AnonymousAccessBox)) {
        // Only the two Lsa values tell whether anonymous access is closed.
        const bool sam = IsInForce(machine, kAnonymousRows[1]);
        const bool anonymous = IsInForce(machine, kAnonymousRows[0]);
        if (sam && anonymous) {
            controls.SetValue(C::AnonymousAccessBox, BoxValue::Ticked);
        }
        BoldLabelWhileCleared(state, C::AnonymousAccessBox);
    }
    VerifyOne(state, machine, kEveryoneRow);
    VerifyOne(state, machine, kRemoteRegistryRow);
    for (C box : {C::AnonymousAccessBox, C::EveryoneRightsBox, C::RemoteRegistryBox}) {
        state.VerifiedValue(box) = controls.Value(box);
    }
}

GroupResult ApplyAccounts(MainWindowState& state, Machine& machine) {
    Controls& controls = state.controls;
    // Only what the user asked for: a disabled or unchanged box starts nothing, so an account
    // whose state is unknown is never switched on behind the user's back.
    std::vector<std::wstring> switches;
    GroupResult refused;
    for (const AccountBox& account : kAccountBoxes) {
        if (!controls.Enabled(account.box) || !state.ChangedSinceVerify(account.box)) {
            continue;
        }
        const bool deactivate = controls.Ticked(account.box);
        // The commands name the French guest; where the system read the account, it switches it.
        const auto found = state.accountsReadFromSystem.find(account.box);
        if (found == state.accountsReadFromSystem.end()) {
            switches.push_back(L"net user " + std::wstring(account.name) +
                               (deactivate ? L" /active:no" : L" /active:yes"));
        } else if (const unsigned long error =
                       machine.accounts.WriteDisabled(found->second, deactivate)) {
            refused = StoppedAt(state, account.box,
                                WriteFailure{found->second, error, Refused::AccountSwitch,
                                             LeftAsItWasMessage(account.box)},
                                kApplyOrder);
            break;
        }
    }
    RunCommandsToEnd(machine.system, switches, WindowStyle::Minimized, kSwitchTimeoutMs);
    if (refused) {
        return refused;
    }
    // The registry boxes, in apply order.
    const std::pair<C, std::span<const HardeningSetting>> registryBoxes[] = {
        {C::AnonymousAccessBox, kAnonymousRows},
        {C::EveryoneRightsBox, {&kEveryoneRow, 1}},
        {C::RemoteRegistryBox, {&kRemoteRegistryRow, 1}},
    };
    for (const auto& [box, rows] : registryBoxes) {
        if (!state.ChangedSinceVerify(box)) {
            continue;
        }
        if (box == C::RemoteRegistryBox && controls.Ticked(box)) {
            StartWithoutWaiting(machine.system, L"net stop remoteregistry", WindowStyle::Minimized);
        }
        if (WriteResult failure = ApplyBoxSettings(machine, rows, controls.Value(box))) {
            return StoppedAt(state, box, std::move(*failure), kApplyOrder);
        }
        state.restartNeeded = true;
    }
    controls.SetValue(C::SelectAllAccountsBox, BoxValue::Cleared);
    return std::nullopt;
}

}  // namespace tolvane
