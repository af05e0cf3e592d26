#include "ui/Commands.h"

#include "catalogue/Accounts.h"
#include "catalogue/DomainCautions.h"
#include "catalogue/Port135.h"
#include "catalogue/Services.h"
#include "catalogue/Shares.h"
#include "registry/SettingEngine.h"
#include "system/Restart.h"

namespace tolvane {
namespace {

using C = ControlId;
using Apply = GroupResult (*)(Form&, Machine&);
using Verify = void (*)(Form&, Machine&);

struct Group {
    C frame;
    Apply apply;
    Verify verify;
};
constexpr Group kShares{C::Partages, ApplyShares, VerifyShares};
constexpr Group kAccounts{C::Disable, ApplyAccounts, VerifyAccounts};
constexpr Group kServices{C::Clavet, ApplyServices, VerifyServices};

// One question for every consequence in a domain, then each group in turn. A refused write ends a
// group's apply at the box it was for, which is taken back whole; the user learns why, and the
// boxes then show what the machine really holds.
void ApplyGroups(Form& form, Machine& machine, std::initializer_list<Group> groups) {
    std::vector<C> frames;
    for (const Group& group : groups) {
        frames.push_back(group.frame);
    }
    ConfirmDomainConsequences(form, machine, frames);
    for (const Group& group : groups) {
        if (const GroupResult refusal = group.apply(form, machine)) {
            ReportRefusal(machine, refusal->failure);
        }
        group.verify(form, machine);
    }
}

// What the system refused, in words, by Refused.
constexpr const wchar_t* kRefusedWhat[] = {L"write the registry value",
                                           L"delete the registry value", L"read the registry value",
                                           L"switch the account"};
static_assert(std::size(kRefusedWhat) == static_cast<std::size_t>(Refused::AccountSwitch) + 1);

void TickIfEnabled(Controls& controls, C box) {
    if (controls.Enabled(box)) {
        controls.SetValue(box, 1);
    }
}

void SelectAll1_Click(Form& form, Machine& machine) {
    Controls& controls = form.controls;
    if (controls.Value(C::SelectAll1) != 1) {
        VerifyShares(form, machine);
        return;
    }
    for (C box : {C::SimpleShare, C::AdminShare, C::RemoteAdmin}) {
        TickIfEnabled(controls, box);
    }
    controls.SetValue(C::ShareFolders, 1);
    controls.SetValue(C::SharePrinters, 1);
}

void SelectAll2_Click(Form& form, Machine& machine) {
    if (form.controls.Value(C::SelectAll2) != 1) {
        VerifyAccounts(form, machine);
        return;
    }
    for (C box : {C::Invit, C::HelpAssistant, C::Anonyme, C::BDR, C::EveryOne}) {
        TickIfEnabled(form.controls, box);
    }
}

void SelectAll3_Click(Form& form, Machine& machine) {
    if (form.controls.Value(C::SelectAll3) != 1) {
        VerifyServices(form, machine);
        return;
    }
    // Each box is looked at when reached: ticking Port135 first takes the others away.
    for (C box : {C::Port135, C::Port137138139, C::Port445, C::Port1024TCP, C::Port123, C::Port500,
                  C::Port1900, C::Port5000, C::Port1023, C::Port1024UDP, C::Port1027}) {
        TickIfEnabled(form.controls, box);
    }
}

}  // namespace

std::wstring WriteFailureMessage(const WriteFailure& failure, const std::wstring& reason) {
    std::wstring text = std::wstring(L"Tolvane could not ") +
                        kRefusedWhat[static_cast<int>(failure.refused)] + L"\r\n" +
                        failure.fullPath + L"\r\n\r\n" + reason;
    if (failure.code == kRegAccessDenied) {
        text += L"\r\n\r\nTolvane must be run as an administrator to change this setting.";
    }
    if (!failure.outcome.empty()) {
        text += L"\r\n\r\n" + failure.outcome;
    }
    return text;
}

std::wstring FileFailureMessage(const std::wstring& path, const std::wstring& reason) {
    return L"Tolvane could not write the file\r\n" + path + L"\r\n\r\n" + reason;
}

void ReportRefusal(Machine& machine, const WriteFailure& failure) {
    machine.host.ShowMessage(WriteFailureMessage(failure, machine.system.ErrorText(failure.code)),
                             kAppTitle, MbOk | MbIconExclamation);
}

void RebootButton_Click(Form& form, Machine& machine) {
    // No is the default: Enter alone must not restart the machine.
    if (machine.host.ShowMessage(L"Are you ok to proceed with the restart?",
                                 L"System being restarted......",
                                 MbYesNo | MbIconQuestion | MbDefButton2) == IdYes) {
        RestartSystem(form, machine);
    }
}

void PartagesAppliquer_Click(Form& form, Machine& machine) {
    ApplyGroups(form, machine, {kShares});
}

void DesactiverAppliquer_Click(Form& form, Machine& machine) {
    ApplyGroups(form, machine, {kAccounts});
}

void PortsAppliquer_Click(Form& form, Machine& machine) {
    ApplyGroups(form, machine, {kServices});
}

void Sauvegarder_Click(Form& form, Machine& machine) {
    if (form.controls.Enabled(C::PartagesAppliquer)) {
        ApplyGroups(form, machine, {kShares, kAccounts, kServices});
    } else {
        ApplyGroups(form, machine, {kAccounts, kServices});
    }
}

void VerifyAll_Click(Form& form, Machine& machine) {
    EnableServiceBoxes(form, machine);
    if (form.controls.Enabled(C::PartagesAppliquer)) {
        VerifyShares(form, machine);
    }
    if (machine.reg.ReadValue(Hklm, L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry\\Start",
                              kUnreadable) == kUnreadable) {
        form.controls.SetEnabled(C::BDR, false);
    }
    VerifyAccounts(form, machine);
    VerifyServices(form, machine);
}

void BoxChanged(Form& form, Machine& machine, ControlId box) {
    Controls& controls = form.controls;
    switch (box) {
        case C::SelectAll1:
            SelectAll1_Click(form, machine);
            break;
        case C::SelectAll2:
            SelectAll2_Click(form, machine);
            break;
        case C::SelectAll3:
            SelectAll3_Click(form, machine);
            break;
        case C::Port135:
            Port135_Click(form, machine);
            break;
        case C::Port1900:
            if (controls.Value(C::Port1900) == 1) {
                controls.SetValue(C::Port5000, 1);
            }
            break;
        case C::Port5000:
            if (controls.Value(C::Port5000) == 0) {
                controls.SetValue(C::Port1900, 0);
            }
            break;
        default:
            break;
    }
}

}  // namespace tolvane
