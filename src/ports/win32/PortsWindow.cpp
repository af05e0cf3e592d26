#include "ports/win32/PortsWindow.h"

namespace tolvane::win32 {
namespace {

using P = PortsControlId;

}  // namespace

PortsWindow::PortsWindow(HINSTANCE instance, FontCache& fonts, int dpi, System& system,
                         std::function<void()> closing, std::function<void()> gone)
    : NavyWindow(instance, fonts, dpi, PortsDialogId(P::Intro), PortsWindowLayout(),
                 std::move(closing), std::move(gone)),
      form_(system) {}

bool PortsWindow::Create(HWND owner) {
    if (!CreateWithControls(kPortsWindowClass, kPortsCaption, kPortsWidthTwips, kPortsHeightTwips,
                            owner)) {
        return false;
    }
    form_.Refresh();
    ShowList();
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(Item(P::CmdClose));
    return true;
}

void PortsWindow::ShowList() {
    SetWindowTextW(Item(P::PortList), form_.ListText().c_str());
}

void PortsWindow::Press(int index) {
    if (!form_.Click(static_cast<P>(index))) {
        Close();
        return;
    }
    ShowList();
}

}  // namespace tolvane::win32
