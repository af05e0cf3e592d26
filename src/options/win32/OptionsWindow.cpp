#include "options/win32/OptionsWindow.h"

#include "ui/win32/ChildControls.h"

namespace tolvane::win32 {
namespace {

using O = OptionsControlId;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT_PTR kConversionTimer = 1;
constexpr UINT kConversionPollMs = 250;
constexpr int kCaptionIndentTwips = 120;

}  // namespace

OptionsWindow::OptionsWindow(HINSTANCE instance, FontCache& fonts, int dpi, Form& main,
                             Machine& machine, std::function<void()> closing,
                             std::function<void()> gone)
    : instance_(instance),
      fonts_(fonts),
      dpi_(dpi),
      form_(main, machine),
      closing_(std::move(closing)),
      gone_(std::move(gone)),
      navy_(CreateSolidBrush(RGB(kNavy.r, kNavy.g, kNavy.b))) {}

OptionsWindow::~OptionsWindow() {
    // Freed with its window still there (the program ends): nothing is to be said any more.
    gone_ = nullptr;
}

bool OptionsWindow::Create(HWND owner) {
    if (!RegisterClassOnce(instance_, kOptionsWindowClass, nullptr)) {
        return false;
    }
    const SIZE size =
        OuterSize(kOptionsWidthTwips, kOptionsHeightTwips, dpi_, kStyle, kExStyle, false);
    if (!CreateOwnWindow(instance_, kOptionsWindowClass, kOptionsCaption, kStyle, kExStyle,
                         (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy, owner,
                         nullptr)) {
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

void OptionsWindow::Press(OptionsControlId id) {
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

void OptionsWindow::Close() {
    if (closed_) {
        return;
    }
    closed_ = true;
    // The main window takes input again before this one goes, so that it is the one activated.
    closing_();
    DestroyWindow(window_);
}

LRESULT OptionsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            // Enter reaches a window that is not a dialog as IDOK: it presses the focused button.
            if (id == IDOK && !control) {
                control = GetFocus();
            }
            const int index = control ? GetDlgCtrlID(control) - OptionsDialogId(O::Frame1) : -1;
            if (index >= 0 && index < kOptionsControlCount &&
                (!HIWORD(wParam) || HIWORD(wParam) == BN_CLICKED)) {
                Press(static_cast<O>(index));
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kConversionTimer && !form_.WatchConversion()) {
                KillTimer(window_, kConversionTimer);
            }
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
            SetBkColor(reinterpret_cast<HDC>(wParam), RGB(kNavy.r, kNavy.g, kNavy.b));
            return reinterpret_cast<LRESULT>(navy_.get());
        case WM_ERASEBKGND:
            return EraseBackground(reinterpret_cast<HDC>(wParam), navy_.get());
        case WM_CLOSE:
            Close();
            return 0;
        case WM_NCDESTROY:
            KillTimer(window_, kConversionTimer);
            if (gone_) {
                gone_();
            }
            break;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace tolvane::win32
