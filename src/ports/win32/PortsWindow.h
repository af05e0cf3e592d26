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
    HWND Child(PortsControlId id) const { return controls_[static_cast<int>(id)]; }

    HINSTANCE instance_;
    FontCache& fonts_;
    int dpi_;
    PortsForm form_;
    std::array<HWND, kPortsControlCount> controls_{};
};

}  // namespace tolvane::win32
