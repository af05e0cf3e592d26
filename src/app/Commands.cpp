#include "app/Commands.h"

#include <algorithm>
#include <vector>

#include "catalogue/Accounts.h"
#include "catalogue/DomainCautions.h"
#include "catalogue/Groups.h"
#include "catalogue/Port135.h"
#include "catalogue/Services.h"
#include "catalogue/Shares.h"
#include "model/FailureMessages.h"
#include "model/MachineChanges.h"
#include "model/Restart.h"
#include "registry/SettingEngine.h"

namespace tolvane {
namespace {

using C = ControlId;

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
    // Each box is looked at when reached: ticking port 135 first takes the others away.
    TickIfEnabled(state.controls, C::Port135Box);
    for (C box : ServiceRoutineOrder()) {
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

// Every question first: one for every consequence in a domain, then the warning before closing
// port 135; only then is the machine locked. A refused write ends a group's apply at the box it
// was for, which is taken back whole; the user learns why, and the boxes then show what the
// machine really holds.
bool ApplyGroups(MainWindowState& state, Machine& machine, std::span<const Group> groups,
                 bool verify) {
    ConfirmDomainConsequences(state, machine, groups);
    const bool closesPort135 =
        std::find(groups.begin(), groups.end(), Group::Services) != groups.end() &&
        state.controls.Ticked(C::Port135Box) && state.ChangedSinceVerify(C::Port135Box);
    if (closesPort135) {
        state.port135CloseAnswer = ConfirmClosingPort135(machine);
    }
    bool locked = false;
    unsigned long error = 0;
    {
        const MachineChangeScope changes(state, machine);
        locked = changes.Locked();
        error = changes.Error();
        for (std::size_t i = 0; locked && i < groups.size(); ++i) {
            const SettingGroup& routines = SettingGroupOf(groups[i]);
            if (const GroupResult refusal = routines.apply(state, machine)) {
                ReportRefusal(machine, refusal->failure);
            }
            if (verify) {
                routines.verify(state, machine);
            }
        }
    }
    state.port135CloseAnswer.reset();
    if (!locked) {
        // The boxes stay as the user left them, to be applied again.
        ReportMachineNotLocked(machine, error);
    }
    return locked;
}

void ApplyGroupCommand(MainWindowState& state, Machine& machine, Group group) {
    ApplyGroups(state, machine, {&group, 1}, true);
}

void ApplyAllCommand(MainWindowState& state, Machine& machine) {
    std::vector<Group> groups;
    for (const SettingGroup& group : SettingGroups()) {
        if (group.group != Group::Shares || SharesAvailable(state)) {
            groups.push_back(group.group);
        }
    }
    ApplyGroups(state, machine, groups, true);
}

void VerifyAllGroups(MainWindowState& state, Machine& machine) {
    EnableInstalledServiceBoxes(state, machine);
    if (SharesAvailable(state)) {
        VerifyShares(state, machine);
    }
    if (!machine.reg.ReadText(kHklm, kRemoteRegistryStart)) {
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
