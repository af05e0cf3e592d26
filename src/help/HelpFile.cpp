#include "help/HelpFile.h"

#include "model/FailureMessages.h"
#include "resources/ResourceIds.h"
#include "system/SystemInfo.h"

namespace tolvane {

void OpenHelpFile(Machine& machine) {
    System& system = machine.system;
    const std::wstring path = system.ProgramFolder() + kHelpFileName;
    // A viewer opened by an earlier use may still hold the file: the same bytes are left to it.
    if (const unsigned long error =
            system.ExtractResourceUnlessIdentical(path, L"CHM", IDR_HELP_CHM)) {
        machine.host.ShowMessage(FileFailureMessage(path, system.ErrorText(error)), kAppTitle,
                                 MbOk | MbIconExclamation);
        return;
    }
    StartWithoutWaiting(system, machine.windowsFolder + L"\\hh.exe \"" + path + L"\"",
                        WindowStyle::Normal);
}

}  // namespace tolvane
