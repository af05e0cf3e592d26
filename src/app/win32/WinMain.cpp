// Process entry: the main window is the only window at start; its end ends the program.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "app/MainForm.h"
#include "registry/win32/Win32RegistryStore.h"
#include "system/win32/Win32LocalAccounts.h"
#include "system/win32/Win32System.h"
#include "ui/win32/MainWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    using namespace tolvane;
    // Visual styles, as the manifest asks for version 6 of the common controls.
    InitCommonControls();

    win32::Win32RegistryStore registry;
    win32::Win32System system;
    win32::Win32LocalAccounts accounts;
    win32::MainWindow window(instance);
    MainForm form(registry, system, window, accounts);
    if (!window.Create(form)) {
        return 1;
    }
    form.Form_Initialize(commandLine ? commandLine : L"");
    if (!form.Form_Load()) {
        return 0;
    }
    window.Show(showCommand);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window.hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
