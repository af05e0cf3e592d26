#include "ui/win32/PleaseWaitWindow.h"

#include "model/ControlId.h"
#include "model/ControlLayout.h"
#include "model/Host.h"

namespace tolvane::win32 {
namespace {

constexpr int kLabelCentipoints = 975;

}  // namespace

PleaseWaitWindow::PleaseWaitWindow(HINSTANCE instance, FontCache& fonts, int dpi, HBRUSH background)
    : instance_(instance), fonts_(fonts), dpi_(dpi), background_(background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_WAIT);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = kPleaseWaitWindowClass;
    RegisterClassExW(&windowClass);
}

void PleaseWaitWindow::Show() {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_THICKFRAME;
    const DWORD exStyle = WS_EX_TOOLWINDOW;
    RECT frame{0, 0, TwipsToPixels(kPleaseWaitWidthTwips, dpi_),
               TwipsToPixels(kPleaseWaitHeightTwips, dpi_)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    window_.reset(CreateWindowExW(exStyle, kPleaseWaitWindowClass, kAppTitle, style,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                  nullptr, nullptr, instance_, this));
    if (!window_) {
        return;
    }
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const HWND label = CreateWindowExW(
        0, L"STATIC", L"Please wait...", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX,
        TwipsToPixels(240, dpi_), TwipsToPixels(240, dpi_), TwipsToPixels(3135, dpi_),
        TwipsToPixels(255, dpi_), window_.get(), reinterpret_cast<HMENU>(kPleaseWaitLabelId),
        instance_, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(kLabelCentipoints, true)),
                 FALSE);
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    UpdateWindow(window_.get());
}

LRESULT CALLBACK PleaseWaitWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = reinterpret_cast<PleaseWaitWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_CTLCOLORSTATIC && self) {
        SetBkColor(reinterpret_cast<HDC>(wParam),
                   RGB(kWindowColour.r, kWindowColour.g, kWindowColour.b));
        return reinterpret_cast<LRESULT>(self->background_);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tolvane::win32
