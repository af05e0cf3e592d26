#include "ui/win32/SmallWindowBase.h"

#include "system/win32/OnDemand.h"
#include "ui/win32/ChildControls.h"

namespace tolvane::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// A themed frame draws its caption in the theme's colour, whatever WM_CTLCOLORSTATIC asks; without
// its theme it takes the window's white on navy. Windows 2000 has no themes and no uxtheme.dll.
void WithoutTheme(HWND control) {
    // Wine refuses the empty names (ERROR_INVALID_NAME); a class name no theme has does the same.
    if (FAILED(ondemand::SetWindowTheme(control, L"", L""))) {
        ondemand::SetWindowTheme(control, L" ", L" ");
    }
}

}  // namespace

SmallWindowBase::SmallWindowBase(const SmallWindowSetup& setup, const SmallWindowDesign& design)
    : instance_(setup.instance),
      fonts_(setup.fonts),
      dpi_(setup.dpi),
      design_(design),
      navy_(CreateSolidBrush(RGB(kNavy.r, kNavy.g, kNavy.b))),
      controls_(design.controls.size()),
      closing_(setup.closing),
      gone_(setup.gone) {}

SmallWindowBase::~SmallWindowBase() {
    // Freed with its window still there (the program ends): nobody is to be told any more.
    gone_ = nullptr;
}

bool SmallWindowBase::CreateWithControls(HWND owner) {
    if (!RegisterClassOnce(instance_, design_.windowClass, nullptr)) {
        return false;
    }
    if (!CreateCentredWindow(instance_, design_.windowClass, design_.caption, kStyle, kExStyle,
                             design_.widthTwips, design_.heightTwips, dpi_, owner)) {
        return false;
    }
    for (const SmallControl& control : design_.controls) {
        const bool frame = control.kind == ControlKind::Frame;
        const HWND child = CreateChildControl(window_, control.kind, false, control.caption,
                                              PlaceOf(design_.controls, control), dpi_,
                                              design_.firstChildId + control.id);
        SendMessageW(child, WM_SETFONT,
                     reinterpret_cast<WPARAM>(
                         fonts_.Get(control.centipoints, control.bold || frame, control.face)),
                     FALSE);
        if (frame) {
            WithoutTheme(child);
        }
        controls_[static_cast<std::size_t>(control.id)] = child;
    }
    return true;
}

void SmallWindowBase::ShowWithFocusOn(HWND control) {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(control);
}

void SmallWindowBase::Close() {
    if (closed_) {
        return;
    }
    closed_ = true;
    closing_();
    DestroyWindow(window_);
}

void SmallWindowBase::OnCommand(WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    // Enter reaches a window that is not a dialog as IDOK: the focused control stands for it.
    if (LOWORD(wParam) == IDOK && !control) {
        const HWND focus = GetFocus();
        control = focus && IsChild(window_, focus) ? focus : nullptr;
    }
    // Clicks of buttons and of labels that notify (BN_CLICKED and STN_CLICKED are both 0).
    const int index = control ? GetDlgCtrlID(control) - design_.firstChildId : -1;
    if (index >= 0 && static_cast<std::size_t>(index) < controls_.size() &&
        HIWORD(wParam) == BN_CLICKED) {
        Press(index);
    }
}

LRESULT SmallWindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            SetTextColor(reinterpret_cast<HDC>(wParam), TextColour(reinterpret_cast<HWND>(lParam)));
            SetBkColor(reinterpret_cast<HDC>(wParam), RGB(kNavy.r, kNavy.g, kNavy.b));
            return reinterpret_cast<LRESULT>(navy_.get());
        case WM_ERASEBKGND:
            return EraseBackground(reinterpret_cast<HDC>(wParam), navy_.get());
        case WM_CLOSE:
            Close();
            return 0;
        case WM_NCDESTROY: {
            const LRESULT result = HandleOther(message, wParam, lParam);
            if (gone_) {
                gone_();
            }
            return result;
        }
        default:
            return HandleOther(message, wParam, lParam);
    }
}

}  // namespace tolvane::win32
