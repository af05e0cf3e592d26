// The base of the small windows the main window opens (options, about, ports): navy, white text, a
// fixed dialog border, centred, owned by the main window, which they give back when they close.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "model/ControlLayout.h"
#include "system/win32/Handles.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/WindowBase.h"

namespace tolvane::win32 {

// What the main window hands a small window it opens. `closing` runs before the window goes (the
// main window takes input again first, so that it is the one activated), `gone` once it has gone
// (the object may then be freed).
struct SmallWindowSetup {
    HINSTANCE instance;
    FontCache& fonts;
    int dpi;
    std::function<void()> closing;
    std::function<void()> gone;
};

class SmallWindowBase : public WindowBase {
  public:
    SmallWindowBase(const SmallWindowSetup& setup, const SmallWindowDesign& design);
    ~SmallWindowBase() override;

    // Makes and shows the window, centred, owned by the main window; false when it cannot.
    virtual bool Create(HWND owner) = 0;

  protected:
    // The window, centred, with every control of the design at its place in its font; frames
    // unthemed, so that their captions take the window's colours.
    bool CreateWithControls(HWND owner);
    // The control with this identifier of the window's own.
    template <typename Id>
    HWND Item(Id id) const {
        return controls_[static_cast<std::size_t>(id)];
    }
    // Shows the window with the keyboard focus on the control.
    void ShowWithFocusOn(HWND control);
    void Close();
    // A click on control number `index` of the window (or Enter on it).
    virtual void Press(int index) = 0;
    // The messages a window handles beyond those all of them handle alike.
    virtual LRESULT HandleOther(UINT message, WPARAM wParam, LPARAM lParam) {
        return Default(message, wParam, lParam);
    }
    // Text colour of a label; white unless a window says otherwise.
    virtual COLORREF TextColour(HWND) { return RGB(255, 255, 255); }

    HINSTANCE instance_;
    FontCache& fonts_;
    int dpi_;
    const SmallWindowDesign& design_;
    UniqueBrush navy_;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
    void OnCommand(WPARAM wParam, LPARAM lParam);

    std::vector<HWND> controls_;
    std::function<void()> closing_;
    std::function<void()> gone_;
    bool closed_ = false;
};

}  // namespace tolvane::win32
