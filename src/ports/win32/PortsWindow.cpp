#include "ports/win32/PortsWindow.h"

#include "ui/win32/ChildControls.h"

namespace tolvane::win32 {
namespace {

using P = PortsControlId;

}  // namespace

PortsWindow::PortsWindow(HINSTANCE instance, FontCache& fonts, int dpi, System& system,
                         std::function<void()> closing, std::function<void()> gone)
    : NavyWindow(PortsDialogId(P::Intro), kPortsControlCount, std::move(closing), std::move(gone)),
      instance_(instance),
      fonts_(fonts),
      dpi_(dpi),
      form_(system) {}

bool PortsWindow::Create(HWND owner) {
    if (!CreateCentred(instance_, kPortsWindowClass, kPortsCaption, kPortsWidthTwips,
                       kPortsHeightTwips, dpi_, owner)) {
        return false;
    }
    for (const PortsLayout& control : PortsWindowLayout()) {
        // The list scrolls sideways rather than break a line of the table.
        const DWORD extra = control.kind == ControlKind::TextBox ? WS_HSCROLL | ES_AUTOHSCROLL : 0;
        const HWND child =
            CreateChildControl(window_, control.kind, false, control.caption,
                               {control.left, control.top, control.width, control.height}, dpi_,
                               PortsDialogId(control.id), extra);
        const HFONT font = control.fixedPitch ? fonts_.FixedPitch(kDefaultCentipoints)
                                              : fonts_.Get(kDefaultCentipoints, false);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        controls_[static_cast<int>(control.id)] = child;
    }
    form_.Refresh();
    ShowList();
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(Child(P::CmdClose));
    return true;
}

void PortsWindow::ShowList() {
    SetWindowTextW(Child(P::PortList), form_.ListText().c_str());
}

void PortsWindow::Press(int index) {
    if (!form_.Click(static_cast<P>(index))) {
        Close();
        return;
    }
    ShowList();
}

}  // namespace tolvane::win32
