// The listening-ports window: the table of open ports, read again on Refresh.
#pragma once

#include <array>
#include <functional>

#include "ports/PortsForm.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/NavyWindow.h"

namespace tolvane::win32 {

class PortsWindow : public NavyWindow {
  public:
    PortsWindow(HINSTANCE instance, FontCache& fonts, int dpi, System& system,
                std::function<void()> closing, std::function<void()> gone);

    // Reads the ports first.
    bool Create(HWND owner) override;

  private:
    void Press(int index) override;
    void ShowList();
    HWND Item(PortsControlId id) const { return Child(static_cast<int>(id)); }

    PortsForm form_;
};

}  // namespace tolvane::win32
