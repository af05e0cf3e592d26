#include "options/win32/OptionsWindow.h"

#include "ui/win32/ChildControls.h"

namespace tolvane::win32 {
namespace {

using O = OptionsControlId;

constexpr UINT_PTR kConversionTimer = 1;
constexpr UINT kConversionPollMs = 250;
constexpr int kCaptionIndentTwips = 120;

}  // namespace

OptionsWindow::OptionsWindow(HINSTANCE instance, FontCache& fonts, int dpi, Form& main,
                             Machine& machine, std::function<void()> closing,
                             std::function<void()> gone)
    : NavyWindow(OptionsDialogId(O::Frame1), kOptionsControlCount, std::move(closing),
                 std::move(gone)),
      instance_(instance),
      fonts_(fonts),
      dpi_(dpi),
      form_(main, machine) {}

bool OptionsWindow::Create(HWND owner) {
    if (!CreateCentred(instance_, kOptionsWindowClass, kOptionsCaption, kOptionsWidthTwips,
                       kOptionsHeightTwips, dpi_, owner)) {
        return false;
    }
    for (const OptionsLayout& control : OptionsWindowLayout()) {
        const bool frame = control.kind == ControlKind::Frame;
        // A themed frame draws its caption in the theme's colour whatever its parent asks: the
        // white caption is a label of its own over the frame's line.
        const HWND child =
            CreateChildControl(window_, control.kind, false, frame ? L"" : control.caption,
                               WindowRectTwips(control), dpi_, OptionsDialogId(control.id));
        const HFONT font = fonts_.Get(kDefaultCentipoints, frame);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        controls_[static_cast<int>(control.id)] = child;
        if (frame) {
            AddFrameCaption(control, font);
        }
    }
    form_.SetView([this](O id) { ShowControl(id); });
    form_.Load();
    for (int i = 0; i < kOptionsControlCount; ++i) {
        ShowControl(static_cast<O>(i));
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(Child(O::CmdClose));
    return true;
}

void OptionsWindow::AddFrameCaption(const OptionsLayout& frame, HFONT font) {
    WindowDc dc(window_);
    Selection selected(dc.get(), font);
    SIZE text{};
    GetTextExtentPoint32W(dc.get(), frame.caption, lstrlenW(frame.caption), &text);
    const TwipRect place = WindowRectTwips(frame);
    const HWND caption =
        CreateChildControl(window_, ControlKind::Label, false, frame.caption,
                           {place.left + kCaptionIndentTwips, place.top, 0, 0}, dpi_, 0);
    SetWindowPos(caption, HWND_TOP, 0, 0, text.cx + 4, text.cy, SWP_NOMOVE | SWP_NOACTIVATE);
    SendMessageW(caption, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void OptionsWindow::ShowControl(OptionsControlId id) {
    const HWND child = Child(id);
    if (!child) {
        return;
    }
    const OptionsForm::Control& control = form_.At(id);
    if ((IsWindowEnabled(child) != FALSE) != control.enabled) {
        EnableWindow(child, control.enabled);
    }
    // A frame's caption is a label of its own, made with the window.
    if (OptionsWindowLayout()[static_cast<int>(id)].kind == ControlKind::Frame) {
        return;
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
