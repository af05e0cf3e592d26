#include "catalogue/Accounts.h"

#include <array>
#include <string>
#include <vector>

#include "catalogue/AccountProbe.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

constexpr std::array<HardeningSetting, 4> kAnonymousRows = {{
    Row(C::Anonyme, C::DisableLabel3, L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymous",
        L"2", L"0"),
    Row(C::Anonyme, C::DisableLabel3,
        L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymoussam", L"1", L"0"),
    Row(C::Anonyme, C::DisableLabel3,
        L"SYSTEM\\CurrentControlSet\\Control\\Services\\RemoteRegistry", L"4", L"0"),
    Row(C::Anonyme, C::DisableLabel3, L"SYSTEM\\CurrentControlSet\\Control\\Services\\LanManServer",
        L"4", L"0"),
}};
constexpr HardeningSetting kEveryoneRow =
    Row(C::EveryOne, C::DisableLabel4,
        L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\everyoneincludesanonymous", L"0", L"1");
constexpr HardeningSetting kRemoteRegistryRow =
    Row(C::BDR, C::DisableLabel5, L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry\\Start",
        L"4", kRuleRestore);

// The order in which the group applies its boxes.
constexpr std::array<C, 5> kApplyOrder = {C::Invit, C::HelpAssistant, C::Anonyme, C::EveryOne,
                                          C::BDR};

// The probe after an apply must read the accounts as the switches left them.
constexpr std::uint32_t kSwitchTimeoutMs = 10000;

struct AccountCommands {
    C box;
    C label;
    const wchar_t* deactivate;
    const wchar_t* activate;
};
constexpr std::array<AccountCommands, 2> kAccountCommands = {{
    {C::Invit, C::DisableLabel1, L"net user Invit\u00e9 /active:no",
     L"net user Invit\u00e9 /active:yes"},
    {C::HelpAssistant, C::DisableLabel2, L"net user HelpAssistant /active:no",
     L"net user HelpAssistant /active:yes"},
}};

void VerifyOne(Form& form, Machine& machine, const HardeningSetting& row) {
    if (!form.controls.Enabled(row.box)) {
        return;
    }
    if (CheckSetting(machine, row)) {
        form.controls.SetValue(row.box, 1);
    }
    ShowState(form, row.box, row.label);
}

}  // namespace

std::vector<HardeningSetting> AccountSettings() {
    std::vector<HardeningSetting> rows(kAnonymousRows.begin(), kAnonymousRows.end());
    rows.push_back(kEveryoneRow);
    rows.push_back(kRemoteRegistryRow);
    return rows;
}

void VerifyAccounts(Form& form, Machine& machine) {
    Controls& controls = form.controls;
    if (form.Changed(C::Invit) || form.Changed(C::HelpAssistant)) {
        ProbeAccounts(form, machine);
    }
    for (C box : {C::Anonyme, C::BDR, C::EveryOne}) {
        controls.SetValue(box, 0);
    }
    if (controls.Enabled(C::Anonyme)) {
        // Only the two Lsa values tell whether anonymous access is closed.
        const bool sam = CheckSetting(machine, kAnonymousRows[1]);
        const bool anonymous = CheckSetting(machine, kAnonymousRows[0]);
        if (sam && anonymous) {
            controls.SetValue(C::Anonyme, 1);
        }
        ShowState(form, C::Anonyme, C::DisableLabel3);
    }
    VerifyOne(form, machine, kEveryoneRow);
    VerifyOne(form, machine, kRemoteRegistryRow);
    for (C box : {C::Anonyme, C::EveryOne, C::BDR}) {
        form.VerifiedState(box) = controls.Value(box);
    }
}

GroupResult ApplyAccounts(Form& form, Machine& machine) {
    Controls& controls = form.controls;
    // Only what the user asked for: a disabled or unchanged box starts nothing, so an account
    // whose state is unknown is never switched on behind the user's back.
    std::vector<std::wstring> switches;
    GroupResult refused;
    for (const AccountCommands& account : kAccountCommands) {
        if (!controls.Enabled(account.box) || !form.Changed(account.box)) {
            continue;
        }
        const bool deactivate = controls.Value(account.box) == 1;
        // The commands name the French guest; where the system read the account, it switches it.
        const auto found = form.systemAccounts.find(account.box);
        if (found == form.systemAccounts.end()) {
            switches.push_back(deactivate ? account.deactivate : account.activate);
        } else if (const unsigned long error =
                       machine.accounts.WriteDisabled(found->second, deactivate)) {
            refused = StoppedAt(form, account.box,
                                WriteFailure{found->second, error, Refused::AccountSwitch,
                                             LeftAsItWas(account.label)},
                                kApplyOrder);
            break;
        }
    }
    RunCommandsToEnd(machine.system, switches, WindowStyle::Minimized, kSwitchTimeoutMs);
    if (refused) {
        return refused;
    }
    if (form.Changed(C::Anonyme)) {
        if (WriteResult failure = ApplyRows(machine, kAnonymousRows, controls.Value(C::Anonyme))) {
            return StoppedAt(form, C::Anonyme, std::move(*failure), kApplyOrder);
        }
        form.RestartNeeded = true;
    }
    if (form.Changed(C::EveryOne)) {
        if (WriteResult failure =
                ApplyRows(machine, {&kEveryoneRow, 1}, controls.Value(C::EveryOne))) {
            return StoppedAt(form, C::EveryOne, std::move(*failure), kApplyOrder);
        }
        form.RestartNeeded = true;
    }
    if (form.Changed(C::BDR)) {
        if (controls.Value(C::BDR) == 1) {
            RunCommand(machine.system, L"net stop remoteregistry", WindowStyle::Minimized);
        }
        if (WriteResult failure =
                ApplyRows(machine, {&kRemoteRegistryRow, 1}, controls.Value(C::BDR))) {
            return StoppedAt(form, C::BDR, std::move(*failure), kApplyOrder);
        }
        form.RestartNeeded = true;
    }
    controls.SetValue(C::SelectAll2, 0);
    return std::nullopt;
}

}  // namespace tolvane
