// The options window: shows the options' state and forwards the presses on its buttons.
#pragma once

#include <array>
#include <functional>

#include "options/OptionsForm.h"
#include "system/win32/Handles.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/WindowBase.h"

namespace tolvane::win32 {

class OptionsWindow : public WindowBase {
  public:
    // `closing` runs before the window goes, `gone` once it has gone (the object may then be
    // freed).
    OptionsWindow(HINSTANCE instance, FontCache& fonts, int dpi, Form& main, Machine& machine,
                  std::function<void()> closing, std::function<void()> gone);
    ~OptionsWindow() override;

    // Loads the options and shows the window, centred, owned by the main window.
    bool Create(HWND owner);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Press(OptionsControlId id);
    void AddFrameCaption(const OptionsLayout& frame, HFONT font);
    void ShowControl(OptionsControlId id);
    void Close();
    HWND Child(OptionsControlId id) const { return controls_[static_cast<int>(id)]; }

    HINSTANCE instance_;
    FontCache& fonts_;
    int dpi_;
    OptionsForm form_;
    std::function<void()> closing_;
    std::function<void()> gone_;
    std::array<HWND, kOptionsControlCount> controls_{};
    UniqueBrush navy_;
    bool closed_ = false;
};

}  // namespace tolvane::win32
