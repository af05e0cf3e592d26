// The listening-ports window: the open ports in a list with a column each, sorted by a click on a
// heading, copied with Ctrl+C, read again on Refresh.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>

#include "ports/PortsController.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/SmallWindowBase.h"

namespace tolvane::win32 {

class PortsWindow : public SmallWindowBase {
  public:
    PortsWindow(const SmallWindowSetup& setup, System& system,
                std::function<bool(ControlId)> inForce);

    // Reads the ports first.
    bool Create(HWND owner) override;

  private:
    void Press(int index) override;
    LRESULT HandleOther(UINT message, WPARAM wParam, LPARAM lParam) override;
    void AddColumns();
    void ShowList();
    void ShowSortArrow();
    void CopySelectedRows();
    LRESULT MarkRowsOfSettings(const NMLVCUSTOMDRAW& draw);

    PortsController controller_;
};

}  // namespace tolvane::win32
