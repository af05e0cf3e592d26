#include "ui/win32/WindowBase.h"

#include "model/ControlLayout.h"

namespace tolvane::win32 {

WindowBase::~WindowBase() {
    if (window_) {
        DestroyWindow(window_);
    }
}

bool WindowBase::RegisterClassOnce(HINSTANCE instance, const wchar_t* className, HICON icon,
                                   const wchar_t* cursor) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, className, &existing)) {
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorW(nullptr, cursor);
    windowClass.lpszClassName = className;
    return RegisterClassExW(&windowClass) != 0;
}

bool WindowBase::CreateOwnWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title,
                                 DWORD style, DWORD exStyle, int left, int top, int width,
                                 int height, HWND owner, HMENU menu) {
    return CreateWindowExW(exStyle, className, title, style, left, top, width, height, owner, menu,
                           instance, this) != nullptr;
}

bool WindowBase::CreateCentredWindow(HINSTANCE instance, const wchar_t* className,
                                     const wchar_t* title, DWORD style, DWORD exStyle,
                                     int widthTwips, int heightTwips, int dpi, HWND owner) {
    const SIZE size = OuterSize(widthTwips, heightTwips, dpi, style, exStyle, false);
    return CreateOwnWindow(
        instance, className, title, style, exStyle, (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
        (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy, owner, nullptr);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

SIZE OuterSize(int widthTwips, int heightTwips, int dpi, DWORD style, DWORD exStyle, bool menu) {
    RECT frame{0, 0, TwipsToPixels(widthTwips, dpi), TwipsToPixels(heightTwips, dpi)};
    AdjustWindowRectEx(&frame, style, menu, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace tolvane::win32
