// The main window: shows the controls' state and forwards what the user does.
#pragma once

#include <array>
#include <memory>

#include "app/MainForm.h"
#include "system/win32/Handles.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/PatientWindow.h"

namespace tolvane::win32 {

class MainWindow : public ControlView, public Host {
  public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;

    // Creates the window hidden, with every control, showing the form's state.
    bool Create(MainForm& form);
    void Show(int showCommand);
    HWND hwnd() const { return window_; }

    void ControlChanged(ControlId id) override;

    int ShowMessage(const std::wstring& text, const std::wstring& title, unsigned style) override;
    void EnableMainWindow(bool enabled) override;
    void ShowPatient(bool shown) override;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void OnCommand(int id, int notification, HWND control);
    LRESULT ColourControl(HDC dc, HWND control);
    HWND Child(ControlId id) const { return controls_[static_cast<int>(id)]; }

    HINSTANCE instance_;
    int dpi_;
    MainForm* form_ = nullptr;
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    FontCache fonts_;
    UniqueBrush windowBrush_;
    UniqueBrush whiteBrush_;
    UniqueBrush helpBrush_;
    UniqueBitmap logo_;
    std::unique_ptr<PatientWindow> patient_;
    HWND savedFocus_ = nullptr;
};

}  // namespace tolvane::win32
