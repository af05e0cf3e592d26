// One object per window: the object is tied to its window when the window is created, and every
// message goes to the object's handler.
#pragma once

#include <windows.h>

namespace tolvane::win32 {

class WindowBase {
  public:
    virtual ~WindowBase();
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return window_; }

  protected:
    // Registers the class the first time; false when it cannot be registered.
    static bool RegisterClassOnce(HINSTANCE instance, const wchar_t* className, HICON icon,
                                  const wchar_t* cursor = IDC_ARROW);
    bool CreateOwnWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title,
                         DWORD style, DWORD exStyle, int left, int top, int width, int height,
                         HWND owner, HMENU menu);
    // The window centred on the screen, with a client area of this size in twips.
    bool CreateCentredWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title,
                             DWORD style, DWORD exStyle, int widthTwips, int heightTwips, int dpi,
                             HWND owner);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Paints the whole client area in the window's own colour.
    LRESULT EraseBackground(HDC dc, HBRUSH brush) {
        RECT client;
        GetClientRect(window_, &client);
        FillRect(dc, &client, brush);
        return 1;
    }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window_, message, wParam, lParam);
    }

    HWND window_ = nullptr;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// The outer size of a window whose client area has this size in twips.
SIZE OuterSize(int widthTwips, int heightTwips, int dpi, DWORD style, DWORD exStyle, bool menu);

}  // namespace tolvane::win32
