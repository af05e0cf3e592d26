// The small please-wait window shown while the accounts are queried.
#pragma once

#include "ui/win32/FontCache.h"
#include "ui/win32/WindowBase.h"

namespace tolvane::win32 {

class PleaseWaitWindow : public WindowBase {
  public:
    PleaseWaitWindow(HINSTANCE instance, FontCache& fonts, int dpi, HBRUSH background)
        : instance_(instance), fonts_(fonts), dpi_(dpi), background_(background) {}
    void Show();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    HINSTANCE instance_;
    FontCache& fonts_;
    int dpi_;
    HBRUSH background_;
};

}  // namespace tolvane::win32
