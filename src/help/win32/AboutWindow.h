// The about window: the version, the links and the system information tool.
#pragma once

#include <array>
#include <functional>

#include "help/About.h"
#include "system/win32/Handles.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/SmallWindowBase.h"

namespace tolvane::win32 {

class AboutWindow : public SmallWindowBase {
  public:
    AboutWindow(const SmallWindowSetup& setup, Machine& machine);

    bool Create(HWND owner) override;

  private:
    void Press(int index) override;
    LRESULT HandleOther(UINT message, WPARAM wParam, LPARAM lParam) override;
    COLORREF TextColour(HWND control) override;
    void PaintSeparator();

    Machine& machine_;
    UniqueBitmap logo_;
};

}  // namespace tolvane::win32
