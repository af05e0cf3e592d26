// The options window: shows the options' state and forwards the presses on its buttons.
#pragma once

#include <array>
#include <functional>

#include "options/OptionsController.h"
#include "system/win32/Handles.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/SmallWindowBase.h"

namespace tolvane::win32 {

class OptionsWindow : public SmallWindowBase {
  public:
    OptionsWindow(const SmallWindowSetup& setup, MainWindowState& mainWindow, Machine& machine);

    // Loads the options first.
    bool Create(HWND owner) override;

  private:
    void Press(int index) override;
    LRESULT HandleOther(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowControl(OptionsControlId id);

    OptionsController controller_;
};

}  // namespace tolvane::win32
