#include "app/Closing.h"

#include <algorithm>
#include <iterator>

#include "app/Commands.h"
#include "catalogue/Groups.h"
#include "help/HelpFile.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

constexpr wchar_t kProceed[] = L"\r\n\r\nDo you want to proceed now?";

// In the order of the groups.
constexpr const wchar_t* kPendingQuestions[] = {
    L"At least one Share modification wasn't applied.",
    L"At least one Account modification wasn't applied.",
    L"At least one Service modification wasn't applied.",
};
static_assert(std::size(kPendingQuestions) == kGroupCount);

bool Ask(Machine& machine, const wchar_t* firstLine) {
    return machine.host.ShowMessage(firstLine + std::wstring(kProceed), kAppTitle,
                                    MbYesNo | MbIconQuestion) == IdYes;
}

}  // namespace

bool OfferPendingChangesAndCleanUp(MainWindowState& state, Machine& machine, bool sessionEnding) {
    if (!sessionEnding) {
        for (const SettingGroup& group : SettingGroups()) {
            const std::vector<C> boxes = BoxesOf(group.group);
            // Port 135 alone never asks: closing it always goes through its own warning.
            const bool pending = std::any_of(boxes.begin(), boxes.end(), [&](C box) {
                return box != C::Port135Box && state.ChangedSinceVerify(box);
            });
            // Another run changing the machine keeps the window: its changes are still to apply.
            if (pending && Ask(machine, kPendingQuestions[static_cast<std::size_t>(group.group)]) &&
                !ApplyGroups(state, machine, {&group.group, 1}, false)) {
                return false;
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
    return true;
}

}  // namespace tolvane
