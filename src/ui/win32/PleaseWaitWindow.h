// The small please-wait window shown while the accounts are queried.
#pragma once

#include "system/win32/Handles.h"
#include "ui/win32/FontCache.h"

namespace tolvane::win32 {

class PleaseWaitWindow {
  public:
    PleaseWaitWindow(HINSTANCE instance, FontCache& fonts, int dpi, HBRUSH background);
    void Show();
    void Close() { window_.reset(); }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    FontCache& fonts_;
    int dpi_;
    HBRUSH background_;
    UniqueWindow window_;
};

}  // namespace tolvane::win32
