#include "ui/win32/NavyWindow.h"

namespace tolvane::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

NavyWindow::NavyWindow(int firstId, int count, std::function<void()> closing,
                       std::function<void()> gone)
    : navy_(CreateSolidBrush(RGB(kNavy.r, kNavy.g, kNavy.b))),
      firstId_(firstId),
      count_(count),
      closing_(std::move(closing)),
      gone_(std::move(gone)) {}

NavyWindow::~NavyWindow() {
    // Freed with its window still there (the program ends): nobody is to be told any more.
    gone_ = nullptr;
}

bool NavyWindow::CreateCentred(HINSTANCE instance, const wchar_t* className, const wchar_t* caption,
                               int widthTwips, int heightTwips, int dpi, HWND owner) {
    if (!RegisterClassOnce(instance, className, nullptr)) {
        return false;
    }
    const SIZE size = OuterSize(widthTwips, heightTwips, dpi, kStyle, kExStyle, false);
    return CreateOwnWindow(instance, className, caption, kStyle, kExStyle,
                           (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                           (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy, owner,
                           nullptr);
}

void NavyWindow::Close() {
    if (closed_) {
        return;
    }
    closed_ = true;
    closing_();
    DestroyWindow(window_);
}

void NavyWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    // Enter reaches a window that is not a dialog as IDOK: the focused control stands for it.
    if (LOWORD(wParam) == IDOK && !control) {
        const HWND focus = GetFocus();
        control = focus && IsChild(window_, focus) ? focus : nullptr;
    }
    // Clicks of buttons and of labels that notify (BN_CLICKED and STN_CLICKED are both 0).
    const int index = control ? GetDlgCtrlID(control) - firstId_ : -1;
    if (index >= 0 && index < count_ && HIWORD(wParam) == BN_CLICKED) {
        Press(index);
    }
}

LRESULT NavyWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
