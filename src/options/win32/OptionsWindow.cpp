#include "options/win32/OptionsWindow.h"

namespace tolvane::win32 {
namespace {

using O = OptionsControlId;

constexpr UINT_PTR kConversionTimer = 1;
constexpr UINT kConversionPollMs = 250;

}  // namespace

OptionsWindow::OptionsWindow(HINSTANCE instance, FontCache& fonts, int dpi, Form& main,
                             Machine& machine, std::function<void()> closing,
                             std::function<void()> gone)
    : NavyWindow(instance, fonts, dpi, OptionsDialogId(O::Frame1), OptionsWindowLayout(),
                 std::move(closing), std::move(gone)),
      form_(main, machine) {}

bool OptionsWindow::Create(HWND owner) {
    if (!CreateWithControls(kOptionsWindowClass, kOptionsCaption, kOptionsWidthTwips,
                            kOptionsHeightTwips, owner)) {
        return false;
    }
    form_.SetView([this](O id) { ShowControl(id); });
    form_.Load();
    for (int i = 0; i < kOptionsControlCount; ++i) {
        ShowControl(static_cast<O>(i));
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(Item(O::CmdClose));
    return true;
}

void OptionsWindow::ShowControl(OptionsControlId id) {
    const HWND child = Item(id);
    if (!child) {
        return;
    }
    const OptionsForm::Control& control = form_.At(id);
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
    const bool stays = form_.Click(id);
    if (window_) {
        EnableWindow(window_, TRUE);
    }
    if (!stays) {
        Close();
    } else if (id == O::FatToNtfs && form_.WatchConversion()) {
        SetTimer(window_, kConversionTimer, kConversionPollMs, nullptr);
    }
}

LRESULT OptionsWindow::HandleOther(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kConversionTimer && !form_.WatchConversion()) {
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
