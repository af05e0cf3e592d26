#include "app/Commands.h"

#include "catalogue/Accounts.h"
#include "catalogue/DomainCautions.h"
#include "catalogue/Port135.h"
#include "catalogue/Services.h"
#include "catalogue/Shares.h"
#include "model/FailureMessages.h"
#include "model/Restart.h"
#include "registry/SettingEngine.h"

namespace tolvane {
namespace {

using C = ControlId;
using Apply = GroupResult (*)(MainWindowState&, Machine&);
using Verify = void (*)(MainWindowState&, Machine&);

struct Group {
    C frame;
    Apply apply;
    Verify verify;
};
constexpr Group kShares{C::SharesFrame, ApplyShares, VerifyShares};
constexpr Group kAccounts{C::AccountsFrame, ApplyAccounts, VerifyAccounts};
constexpr Group kServices{C::ServicesFrame, ApplyServices, VerifyServices};

// One question for every consequence in a domain, then each group in turn. A refused write ends a
// group's apply at the box it was for, which is taken back whole; the user learns why, and the
// boxes then show what the machine really holds.
void ApplyGroups(MainWindowState& state, Machine& machine, std::initializer_list<Group> groups) {
    std::vector<C> frames;
    for (const Group& group : groups) {
        frames.push_back(group.frame);
    }
    ConfirmDomainConsequences(state, machine, frames);
    for (const Group& group : groups) {
        if (const GroupResult refusal = group.apply(state, machine)) {
            ReportRefusal(machine, refusal->failure);
        }
        group.verify(state, machine);
    }
}

void TickIfEnabled(Controls& controls, C box) {
    if (controls.Enabled(box)) {
        controls.SetValue(box, BoxValue::Ticked);
    }
}

void SelectAllSharesChanged(MainWindowState& state, Machine& machine) {
    Controls& controls = state.controls;
    if (!controls.Ticked(C::SelectAllSharesBox)) {
        VerifyShares(state, machine);
        return;
    }
    for (C box : {C::SimpleFileSharingBox, C::AdminSharesBox, C::RemoteAdminBox}) {
        TickIfEnabled(controls, box);
    }
    controls.SetValue(C::FolderSharingBox, BoxValue::Ticked);
    controls.SetValue(C::PrinterSharingBox, BoxValue::Ticked);
}

void SelectAllAccountsChanged(MainWindowState& state, Machine& machine) {
    if (!state.controls.Ticked(C::SelectAllAccountsBox)) {
        VerifyAccounts(state, machine);
        return;
    }
    for (C box : {C::GuestAccountBox, C::HelpAssistantBox, C::AnonymousAccessBox,
                  C::RemoteRegistryBox, C::EveryoneRightsBox}) {
        TickIfEnabled(state.controls, box);
    }
}

void SelectAllServicesChanged(MainWindowState& state, Machine& machine) {
    if (!state.controls.Ticked(C::SelectAllServicesBox)) {
        VerifyServices(state, machine);
        return;
    }
    // Each box is looked at when reached: ticking Port135 first takes the others away.
    for (C box : {C::Port135Box, C::NetBiosPortsBox, C::Port445Box, C::Port1024TcpBox,
                  C::Port123Box, C::Port500Box, C::Port1900Box, C::Port5000Box, C::Port1023Box,
                  C::Port1024UdpBox, C::Port1027Box}) {
        TickIfEnabled(state.controls, box);
    }
}

}  // namespace

void ConfirmAndRestart(MainWindowState& state, Machine& machine) {
    // No is the default: Enter alone must not restart the machine.
    if (machine.host.ShowMessage(L"Are you ok to proceed with the restart?",
                                 L"System being restarted......",
                                 MbYesNo | MbIconQuestion | MbDefButton2) == IdYes) {
        RestartSystem(state, machine);
    }
}

void ApplySharesCommand(MainWindowState& state, Machine& machine) {
    ApplyGroups(state, machine, {kShares});
}

void ApplyAccountsCommand(MainWindowState& state, Machine& machine) {
    ApplyGroups(state, machine, {kAccounts});
}

void ApplyServicesCommand(MainWindowState& state, Machine& machine) {
    ApplyGroups(state, machine, {kServices});
}

void ApplyAllCommand(MainWindowState& state, Machine& machine) {
    if (state.controls.Enabled(C::ApplySharesButton)) {
        ApplyGroups(state, machine, {kShares, kAccounts, kServices});
    } else {
        ApplyGroups(state, machine, {kAccounts, kServices});
    }
}

void VerifyAllGroups(MainWindowState& state, Machine& machine) {
    EnableInstalledServiceBoxes(state, machine);
    if (state.controls.Enabled(C::ApplySharesButton)) {
        VerifyShares(state, machine);
    }
    if (!machine.reg.ReadText(kHklm,
                              L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry\\Start")) {
        state.controls.SetEnabled(C::RemoteRegistryBox, false);
    }
    VerifyAccounts(state, machine);
    VerifyServices(state, machine);
}

void BoxChanged(MainWindowState& state, Machine& machine, ControlId box) {
    Controls& controls = state.controls;
    switch (box) {
        case C::SelectAllSharesBox:
            SelectAllSharesChanged(state, machine);
            break;
        case C::SelectAllAccountsBox:
            SelectAllAccountsChanged(state, machine);
            break;
        case C::SelectAllServicesBox:
            SelectAllServicesChanged(state, machine);
            break;
        case C::Port135Box:
            Port135BoxChanged(state, machine);
            break;
        case C::Port1900Box:
            if (controls.Ticked(C::Port1900Box)) {
                controls.SetValue(C::Port5000Box, BoxValue::Ticked);
            }
            break;
        case C::Port5000Box:
            if (!controls.Ticked(C::Port5000Box)) {
                controls.SetValue(C::Port1900Box, BoxValue::Cleared);
            }
            break;
        default:
            break;
    }
}

}  // namespace tolvane
