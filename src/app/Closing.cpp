#include "app/Closing.h"

#include <algorithm>
#include <array>
#include <span>

#include "app/Commands.h"
#include "catalogue/Accounts.h"
#include "catalogue/DomainCautions.h"
#include "catalogue/Services.h"
#include "catalogue/Shares.h"
#include "help/HelpFile.h"
#include "model/FailureMessages.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

constexpr wchar_t kProceed[] = L"\r\n\r\nDo you want to proceed now?";

constexpr C kShareBoxes[] = {C::SimpleFileSharingBox, C::AdminSharesBox, C::RemoteAdminBox,
                             C::FolderSharingBox, C::PrinterSharingBox};
constexpr C kAccountBoxes[] = {C::GuestAccountBox, C::HelpAssistantBox, C::AnonymousAccessBox,
                               C::EveryoneRightsBox, C::RemoteRegistryBox};
// Port135 alone never asks: closing it always goes through its own warning.
constexpr C kServiceBoxes[] = {
    C::Port123Box,     C::NetBiosPortsBox, C::Port445Box,  C::Port500Box,  C::Port1023Box,
    C::Port1024TcpBox, C::Port1024UdpBox,  C::Port1027Box, C::Port1900Box, C::Port5000Box};

struct PendingGroup {
    C frame;
    std::span<const C> boxes;
    const wchar_t* message;
    GroupResult (*apply)(MainWindowState&, Machine&);
};
constexpr std::array<PendingGroup, 3> kGroups = {{
    {C::SharesFrame, kShareBoxes, L"At least one Share modification wasn't applied.", ApplyShares},
    {C::AccountsFrame, kAccountBoxes, L"At least one Account modification wasn't applied.",
     ApplyAccounts},
    {C::ServicesFrame, kServiceBoxes, L"At least one Service modification wasn't applied.",
     ApplyServices},
}};

bool Ask(Machine& machine, const wchar_t* firstLine) {
    return machine.host.ShowMessage(firstLine + std::wstring(kProceed), kAppTitle,
                                    MbYesNo | MbIconQuestion) == IdYes;
}

}  // namespace

void OfferPendingChangesAndCleanUp(MainWindowState& state, Machine& machine, bool sessionEnding) {
    if (!sessionEnding) {
        for (const PendingGroup& group : kGroups) {
            const bool pending = std::any_of(group.boxes.begin(), group.boxes.end(),
                                             [&](C box) { return state.ChangedSinceVerify(box); });
            if (pending && Ask(machine, group.message)) {
                ConfirmDomainConsequences(state, machine, {&group.frame, 1});
                if (const GroupResult refusal = group.apply(state, machine)) {
                    ReportRefusal(machine, refusal->failure);
                }
            }
        }
        if (state.restartNeeded) {
            state.restartNeeded = false;
            if (Ask(machine,
                    L"At least one modification you did require the system to be restarted.")) {
                ConfirmAndRestart(state, machine);
            }
        }
    }
    // Also after a restart was requested: the program still runs until Windows ends it.
    const std::wstring helpFile = machine.system.ProgramFolder() + kHelpFileName;
    if (FileExists(machine.system, helpFile)) {
        machine.system.RemoveFile(helpFile);
    }
}

}  // namespace tolvane
