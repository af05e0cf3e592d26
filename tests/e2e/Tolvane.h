// What the end-to-end tests of Tolvane share: a started main window on a chosen Windows version.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Driver.h"

namespace tolvane::e2e {

inline constexpr wchar_t kServicesKey[] = L"SYSTEM\\CurrentControlSet\\Services\\";

// Every value under a key, recursively: "subkey\\name" to type and text.
std::map<std::wstring, std::wstring> Snapshot(const std::wstring& keyPath);

// Starts Tolvane on the given Windows version and waits until its start-up is over.
class TolvaneTest : public ::testing::Test {
  protected:
    // In a 64-bit prefix the 32-bit editions' versions (winxp, win2k) show the 64-bit build
    // their rules; only winxp64 and win2003 have x64 editions.
    HWND Launch(const std::wstring& args = L"-noaccount", const wchar_t* version = L"winxp");
    void Shoot(const std::wstring& name) { EXPECT_TRUE(SaveScreenshot(main_, name)); }
    // The window answers before the account queries do: both account boxes have taken their
    // state, found active or not (a box of an account not found stays disabled, and this waits
    // in vain).
    bool AccountsRead();
    // Opens a window of Tolvane's own (options, about) from its menu entry; the main window
    // waits meanwhile.
    HWND OpenOwned(MenuId entry, const wchar_t* className);
    // The window is gone and the main window takes input again.
    bool OwnedGone(HWND window);
    // A dialog of the program (a "#32770" window: a message box, a file dialog) with this title,
    // once it has its title.
    HWND WaitForDialog(const wchar_t* title, DWORD timeoutMs = 10000);

    App app_;
    HWND main_ = nullptr;
};

}  // namespace tolvane::e2e
