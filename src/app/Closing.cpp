#include "app/Closing.h"

#include <algorithm>
#include <array>
#include <span>

#include "catalogue/Accounts.h"
#include "catalogue/DomainCautions.h"
#include "catalogue/Services.h"
#include "catalogue/Shares.h"
#include "help/HelpFile.h"
#include "system/SystemInfo.h"
#include "ui/Commands.h"

namespace tolvane {
namespace {

using C = ControlId;

constexpr wchar_t kProceed[] = L"\r\n\r\nDo you want to proceed now?";

constexpr C kShareBoxes[] = {C::SimpleShare, C::AdminShare, C::RemoteAdmin, C::ShareFolders,
                             C::SharePrinters};
constexpr C kAccountBoxes[] = {C::Invit, C::HelpAssistant, C::Anonyme, C::EveryOne, C::BDR};
// Port135 alone never asks: closing it always goes through its own warning.
constexpr C kServiceBoxes[] = {C::Port123,  C::Port137138139, C::Port445,     C::Port500,
                               C::Port1023, C::Port1024TCP,   C::Port1024UDP, C::Port1027,
                               C::Port1900, C::Port5000};

struct PendingGroup {
    C frame;
    std::span<const C> boxes;
    const wchar_t* message;
    GroupResult (*apply)(Form&, Machine&);
};
constexpr std::array<PendingGroup, 3> kGroups = {{
    {C::Partages, kShareBoxes, L"At least one Share modification wasn't applied.", ApplyShares},
    {C::Disable, kAccountBoxes, L"At least one Account modification wasn't applied.",
     ApplyAccounts},
    {C::Clavet, kServiceBoxes, L"At least one Service modification wasn't applied.", ApplyServices},
}};

bool Ask(Machine& machine, const wchar_t* firstLine) {
    return machine.host.ShowMessage(firstLine + std::wstring(kProceed), kAppTitle,
                                    MbYesNo | MbIconQuestion) == IdYes;
}

}  // namespace

void Form_Unload(Form& form, Machine& machine, bool sessionEnding) {
    if (!sessionEnding) {
        for (const PendingGroup& group : kGroups) {
            const bool pending = std::any_of(group.boxes.begin(), group.boxes.end(),
                                             [&](C box) { return form.Changed(box); });
            if (pending && Ask(machine, group.message)) {
                ConfirmDomainConsequences(form, machine, {&group.frame, 1});
                if (const GroupResult refusal = group.apply(form, machine)) {
                    ReportRefusal(machine, refusal->failure);
                }
            }
        }
        if (form.RestartNeeded) {
            form.RestartNeeded = false;
            if (Ask(machine,
                    L"At least one modification you did require the system to be restarted.")) {
                RebootButton_Click(form, machine);
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
