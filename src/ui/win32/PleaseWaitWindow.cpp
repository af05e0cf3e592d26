#include "ui/win32/PleaseWaitWindow.h"

#include "model/ControlId.h"
#include "model/ControlLayout.h"
#include "model/Host.h"

namespace tolvane::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_THICKFRAME;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
constexpr int kLabelCentipoints = 975;

}  // namespace

void PleaseWaitWindow::Show() {
    if (!RegisterClassOnce(instance_, kPleaseWaitWindowClass, nullptr, IDC_WAIT) ||
        !CreateCentredWindow(instance_, kPleaseWaitWindowClass, kAppTitle, kStyle, kExStyle,
                             kPleaseWaitWidthTwips, kPleaseWaitHeightTwips, dpi_, nullptr)) {
        return;
    }
    const HWND label = CreateWindowExW(
        0, L"STATIC", L"Please wait...", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX,
        TwipsToPixels(240, dpi_), TwipsToPixels(240, dpi_), TwipsToPixels(3135, dpi_),
        TwipsToPixels(255, dpi_), window_, reinterpret_cast<HMENU>(kPleaseWaitLabelId), instance_,
        nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(kLabelCentipoints, true)),
                 FALSE);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

LRESULT PleaseWaitWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(wParam),
                       RGB(kWindowColour.r, kWindowColour.g, kWindowColour.b));
            return reinterpret_cast<LRESULT>(background_);
        case WM_ERASEBKGND:
            return EraseBackground(reinterpret_cast<HDC>(wParam), background_);
        default:
            return Default(message, wParam, lParam);
    }
}

}  // namespace tolvane::win32
