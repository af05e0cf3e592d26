#include "app/MainForm.h"

#include "app/Closing.h"
#include "app/CommandLine.h"
#include "catalogue/AccountProbe.h"
#include "catalogue/Port135.h"
#include "help/ContextHelp.h"
#include "help/HelpFile.h"
#include "help/WebLinks.h"
#include "system/Restart.h"
#include "system/SystemInfo.h"
#include "ui/Commands.h"
#include "ui/ControlLayout.h"

namespace tolvane {
namespace {

using C = ControlId;

void DisableShareGroup(Controls& controls) {
    for (C id : {C::SimpleShare, C::AdminShare, C::RemoteAdmin, C::ShareFolders, C::SharePrinters,
                 C::SelectAll1, C::PartagesAppliquer}) {
        controls.SetEnabled(id, false);
    }
}

}  // namespace

MainForm::MainForm(RegistryStore& registry, System& system, Host& host, LocalAccounts& accounts)
    : reg_(registry), machine_{reg_, system, host, accounts} {
    form_.controls.SetReaction([this](C id) { BoxChanged(form_, machine_, id); });
}

void MainForm::Form_Initialize(const std::wstring& commandLine) {
    form_.NoAccount = false;
    for (const std::wstring& word : SplitArguments(commandLine)) {
        form_.NoAccount = form_.NoAccount || word == kNoAccountSwitch;
    }
}

bool MainForm::Form_Load() {
    System& system = machine_.system;
    const std::int16_t os = GetOsVersion(system);
    if (os == OsUnsupported) {
        machine_.host.ShowMessage(kUnsupportedMessage, kAppTitle, MbOk | MbIconExclamation);
        return false;
    }
    BusyScope busy(form_, machine_.host);
    Controls& controls = form_.controls;
    const std::wstring fileSystem = GetSystemFileSystem(system);
    // Simple file sharing can be turned off only on XP Professional, the XP with gpedit.msc.
    if (os != OsWindowsXp || !FileExists(system, WindowsDir + L"\\System32\\gpedit.msc")) {
        controls.SetEnabled(C::SimpleShare, false);
    }
    controls.SetCaption(C::TextAstuce, L"");
    form_.RestartNeeded = false;
    if (fileSystem != L"NTFS") {
        DisableShareGroup(controls);
    }
    if (!form_.NoAccount) {
        ProbeAccounts(form_, machine_);
        controls.SetEnabled(C::Invit, true);
        controls.SetEnabled(C::HelpAssistant, true);
    }
    VerifyAll_Click(form_, machine_);
    if (controls.Value(C::Port135) == 0) {
        KeepPort135Open(form_, machine_);
    }
    controls.SetCaption(C::PortsLabel3, L"Ports 137, 138 UDP\r\net 139 TCP");
    return true;
}

void MainForm::Click(ControlId id) {
    Controls& controls = form_.controls;
    // While a command runs the window takes no other, even one sent to it from outside.
    if (!controls.Enabled(id) || form_.busyDepth > 0) {
        return;
    }
    BusyScope busy(form_, machine_.host);
    switch (LayoutOf(id).kind) {
        case ControlKind::CheckBox:
            controls.SetValue(id, controls.Value(id) == 1 ? 0 : 1);
            break;
        case ControlKind::Button:
            if (id == C::PartagesAppliquer) {
                PartagesAppliquer_Click(form_, machine_);
            } else if (id == C::DesactiverAppliquer) {
                DesactiverAppliquer_Click(form_, machine_);
            } else if (id == C::PortsAppliquer) {
                PortsAppliquer_Click(form_, machine_);
            } else if (id == C::RebootButton) {
                RebootButton_Click(form_, machine_);
            }
            break;
        default:
            break;
    }
}

bool MainForm::Menu(MenuId id) {
    if (form_.busyDepth > 0) {
        return false;
    }
    BusyScope busy(form_, machine_.host);
    switch (id) {
        case MenuId::Sauvegarder:
            Sauvegarder_Click(form_, machine_);
            return true;
        case MenuId::VerifyAll:
            VerifyAll_Click(form_, machine_);
            return true;
        case MenuId::MnuToolsOptions:
            OpenOwned(OwnedWindow::Options);
            return true;
        case MenuId::MnuHelpAbout:
            OpenOwned(OwnedWindow::About);
            return true;
        case MenuId::ListeningPorts:
            OpenOwned(OwnedWindow::Ports);
            return true;
        case MenuId::MnuHelpContents:
            OpenHelpFile(machine_);
            return true;
        case MenuId::Forum:
            machine_.system.OpenDocument(machine_.host.WindowHandle(), kForumUrl);
            return true;
        default:
            return false;
    }
}

void MainForm::PointerOver(ControlId id) {
    ShowHelp(form_, id);
}

void MainForm::OpenOwned(OwnedWindow window) {
    // The main window waits until it closes (OwnedWindowClosed).
    form_.ownedWindowOpen = true;
    machine_.host.OpenOwnedWindow(window);
}

void MainForm::OwnedWindowClosed() {
    form_.ownedWindowOpen = false;
    UpdateMainWindow(form_, machine_.host);
}

void MainForm::SessionEndCancelled() {
    RestartCancelled(form_, machine_.host);
}

void MainForm::Form_Unload(bool sessionEnding) {
    BusyScope busy(form_, machine_.host);
    tolvane::Form_Unload(form_, machine_, sessionEnding);
}

}  // namespace tolvane
