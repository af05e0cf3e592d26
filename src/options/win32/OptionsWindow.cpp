#include "options/win32/OptionsWindow.h"

namespace tolvane::win32 {
namespace {

using O = OptionsControlId;

constexpr UINT_PTR kConversionTimer = 1;
constexpr UINT kConversionPollMs = 250;

}  // namespace

OptionsWindow::OptionsWindow(const SmallWindowSetup& setup, MainWindowState& mainWindow,
                             Machine& machine)
    : SmallWindowBase(setup, kOptionsDesign), controller_(mainWindow, machine) {}

bool OptionsWindow::Create(HWND owner) {
    if (!CreateWithControls(owner)) {
        return false;
    }
    controller_.SetView([this](O id) { ShowControl(id); });
    controller_.Load();
    for (int i = 0; i < kOptionsControlCount; ++i) {
        ShowControl(static_cast<O>(i));
    }
    ShowWithFocusOn(Item(O::CloseButton));
    return true;
}

void OptionsWindow::ShowControl(OptionsControlId id) {
    const HWND child = Item(id);
    if (!child) {
        return;
    }
    const OptionsController::Control& control = controller_.At(id);
    if ((IsWindowEnabled(child) != FALSE) != control.enabled) {
        EnableWindow(child, control.enabled);
    }
    wchar_t shown[512];
    GetWindowTextW(child, shown, 512);
    if (control.caption != shown) {
        SetWindowTextW(child, control.caption.c_str());
    }
}

void OptionsWindow::Press(int index) {
    const O id = static_cast<O>(index);
    // Its own questions must not let a second press in.
    EnableWindow(window_, FALSE);
    const bool stays = controller_.Click(id);
    if (window_) {
        EnableWindow(window_, TRUE);
    }
    if (!stays) {
        Close();
    } else if (id == O::ConvertButton && controller_.WatchConversion()) {
        SetTimer(window_, kConversionTimer, kConversionPollMs, nullptr);
    }
}

LRESULT OptionsWindow::HandleOther(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kConversionTimer && !controller_.WatchConversion()) {
                KillTimer(window_, kConversionTimer);
            }
            return 0;
        case WM_NCDESTROY:
            KillTimer(window_, kConversionTimer);
            break;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace tolvane::win32
