// The main window: shows the controls' state and forwards what the user does.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "model/Controls.h"
#include "model/Host.h"
#include "system/win32/Handles.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/PleaseWaitWindow.h"
#include "ui/win32/SmallWindowBase.h"
#include "ui/win32/WindowBase.h"

namespace tolvane::win32 {

// What becomes of what the user does in the main window: handed in by whoever builds it, so that
// the window knows neither the program's logic nor the small windows it opens.
struct MainWindowEvents {
    std::function<void(ControlId)> clicked;
    std::function<void(MenuId)> menuChosen;
    // The pointer moved over a control (none: the window's background).
    std::function<void(std::optional<ControlId>)> pointerOver;
    // A close request must wait.
    std::function<bool()> closeMustWait;
    // The window is going, or the session ends; false when it must stay after all.
    std::function<bool(bool sessionEnding)> closing;
    std::function<void()> ownedWindowClosed;
    // Windows announced the end of the session, then cancelled it.
    std::function<void()> sessionEndCancelled;
    // Builds the options, about or ports window.
    std::function<std::unique_ptr<SmallWindowBase>(OwnedWindow, const SmallWindowSetup&)>
        makeOwnedWindow;
};

class MainWindow : public WindowBase, public ControlView, public Host {
  public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;

    // Creates the window hidden and empty; it shows each change of the controls' state from then.
    bool Create(Controls& controls, MainWindowEvents events);
    // Creates every control in its state of now, then shows the window with the keyboard focus on
    // the first box that takes it. Once.
    void Show(int showCommand);

    void ControlChanged(ControlId id) override;

    int ShowMessageBox(const std::wstring& text, const std::wstring& title,
                       unsigned style) override;
    void EnableMainWindow(bool enabled) override;
    void ShowMainWindow(bool shown) override;
    void ShowPleaseWait(bool shown) override;
    void OpenOwnedWindow(OwnedWindow which) override;
    std::uintptr_t WindowHandle() override { return reinterpret_cast<std::uintptr_t>(window_); }
    void AwaitSessionEnd() override;
    std::optional<std::wstring> ChoosePolicyFile(bool save) override;

    // Every pointer movement over the window, whichever child the system sends it to: disabled
    // controls and labels have no mouse messages of their own.
    void PointerMoved(HWND target, POINT screen);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls();
    void ShowControlState(ControlId id, bool fresh);
    void OnCommand(int id, int notification, HWND control);
    void OnClose();
    LRESULT ColourControl(HDC dc, HWND control);
    HWND Child(ControlId id) const { return children_[static_cast<int>(id)]; }
    // The control of ours that has the keyboard focus, if any.
    HWND FocusedChild() const;

    HINSTANCE instance_;
    int dpi_;
    Controls* controls_ = nullptr;
    MainWindowEvents events_;
    std::array<HWND, kControlCount> children_{};
    FontCache fonts_;
    UniqueBrush windowBrush_;
    UniqueBrush whiteBrush_;
    UniqueBrush helpBrush_;
    UniqueBitmap logo_;
    std::unique_ptr<PleaseWaitWindow> pleaseWait_;
    // The options, about or ports window while it is open: one at a time, the main window waits.
    std::unique_ptr<SmallWindowBase> owned_;
    // Where the keyboard focus goes back to when the window takes input again.
    HWND savedFocus_ = nullptr;
    bool closePending_ = false;
    bool closing_ = false;
};

}  // namespace tolvane::win32
