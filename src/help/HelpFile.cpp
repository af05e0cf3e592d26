#include "help/HelpFile.h"

#include "resources/ResourceIds.h"
#include "system/SystemInfo.h"
#include "ui/Commands.h"

namespace tolvane {

void OpenHelpFile(Machine& machine) {
    System& system = machine.system;
    const std::wstring path = system.ProgramFolder() + kHelpFileName;
    Extraction extraction = system.ExtractResource(path, L"CHM", IDR_HELP_CHM);
    if (!extraction.file) {
        machine.host.ShowMessage(FileFailureMessage(path, system.ErrorText(extraction.error)),
                                 kAppTitle, MbOk | MbIconExclamation);
        return;
    }
    extraction.file.reset();
    RunCommand(system, WindowsDir + L"\\hh.exe \"" + path + L"\"", WindowStyle::Normal);
}

}  // namespace tolvane
