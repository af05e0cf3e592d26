// Process entry, and the one place that builds the windows and ties them to the program's logic.
// The main window is the only window at start; its end ends the program.
#include <windows.h>

#include "app/MainWindowController.h"
#include "app/Unattended.h"
#include "help/win32/AboutWindow.h"
#include "options/win32/OptionsWindow.h"
#include "ports/win32/PortsWindow.h"
#include "registry/win32/Win32RegistryStore.h"
#include "system/win32/OnDemand.h"
#include "system/win32/Win32LocalAccounts.h"
#include "system/win32/Win32System.h"
#include "ui/win32/MainWindow.h"

namespace {

using namespace tolvane;

std::unique_ptr<win32::SmallWindowBase> MakeOwnedWindow(MainWindowController& controller,
                                                        OwnedWindow which,
                                                        const win32::SmallWindowSetup& setup) {
    switch (which) {
        case OwnedWindow::Options:
            return std::make_unique<win32::OptionsWindow>(setup, controller.state(),
                                                          controller.machine());
        case OwnedWindow::About:
            return std::make_unique<win32::AboutWindow>(setup, controller.machine());
        case OwnedWindow::Ports: {
            const MainWindowState& state = controller.state();
            // As the last check found them.
            auto inForce = [&state](ControlId box) {
                return state.verifiedValues[static_cast<int>(box)] == BoxValue::Ticked;
            };
            return std::make_unique<win32::PortsWindow>(setup, controller.machine().system,
                                                        inForce);
        }
    }
    return nullptr;
}

win32::MainWindowEvents EventsOf(MainWindowController& controller) {
    return {
        [&controller](ControlId id) { controller.Click(id); },
        [&controller](MenuId id) { controller.Menu(id); },
        [&controller](std::optional<ControlId> id) { controller.PointerOver(id); },
        [&controller] { return controller.CloseMustWait(); },
        [&controller](bool sessionEnding) { return controller.Close(sessionEnding); },
        [&controller] { controller.OwnedWindowClosed(); },
        [&controller] { controller.SessionEndCancelled(); },
        [&controller](OwnedWindow which, const win32::SmallWindowSetup& setup) {
            return MakeOwnedWindow(controller, which, setup);
        },
    };
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    win32::Win32RegistryStore registry;
    win32::Win32System system;
    win32::Win32LocalAccounts accounts;
    const std::wstring line = commandLine ? commandLine : L"";
    UnattendedRequest request = ParseCommandLine(line);
    RefuseWindowNobodySees(request, [&system] { return system.InteractiveSession(); });
    if (request.mode == UnattendedMode::Usage) {
        // A box only where a person can see it: a service's session would wait for ever.
        if (!system.WriteStandardOutput(UsageText()) && system.InteractiveSession()) {
            MessageBoxW(nullptr, UsageText().c_str(), kAppTitle, MB_OK | MB_ICONINFORMATION);
        }
        return 0;
    }
    // The engines that run it on many machines read the exit code and the report.
    if (request.RunsWithoutWindow()) {
        return RunUnattended(request, registry, system, accounts);
    }
    win32::MainWindow window(instance);
    MainWindowController controller(registry, system, window, accounts);
    if (!window.Create(controller.controls(), EventsOf(controller))) {
        return 1;
    }
    controller.ReadCommandLine(line);
    // Version 6 of the common controls with its visual styles where the manifest asks for it, and
    // the list view of the ports window; the controls are made once the machine is read.
    const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
    win32::ondemand::InitCommonControlsEx(&classes);
    if (!controller.LoadFromMachine(MainWindowController::AccountReading::WhileInUse)) {
        // Nothing was read or changed: closing only cleans up.
        controller.Close(false);
        return 0;
    }
    window.Show(showCommand);
    // Each start of net.exe costs this process tens of milliseconds, and each run the machine as
    // much again: started before the window shows, they would slow it by as much.
    controller.StartAccountProbe();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_MOUSEMOVE) {
            window.PointerMoved(msg.hwnd, msg.pt);
        }
        // Tab, Enter and the arrows for whichever of our windows the message is for.
        const HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (!root || !IsDialogMessageW(root, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
