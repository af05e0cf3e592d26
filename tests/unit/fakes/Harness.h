// A main window over an in-memory machine, for the tests of start-up, groups and commands.
#pragma once

#include <string>

#include "app/MainWindowController.h"
#include "fakes/FakeHost.h"
#include "fakes/FakeLocalAccounts.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeSystem.h"

namespace tolvane::testing {

inline constexpr wchar_t kServices[] = L"SYSTEM\\CurrentControlSet\\Services\\";

struct Harness {
    FakeRegistry registry;
    FakeSystem system;
    FakeHost host{system.locksHeld};
    FakeLocalAccounts accounts;
    MainWindowController main{registry, system, host, accounts};
    MainWindowState& state = main.state();
    Controls& controls = main.controls();
    Reg reg{registry};
    Machine machine{reg, system, host, accounts};

    // Box values as the tests' tables write them: 1 ticked, 0 cleared.
    int Value(ControlId id) const { return controls.Ticked(id) ? 1 : 0; }
    void Set(ControlId id, int value) {
        controls.SetValue(id, value ? BoxValue::Ticked : BoxValue::Cleared);
    }
    int Verified(ControlId id) { return state.VerifiedValue(id) == BoxValue::Ticked ? 1 : 0; }
    // A service is installed when its Start value exists.
    void Install(const std::wstring& service, std::uint32_t start = 3) {
        registry.SetDword(kServices + service + L"\\Start", start);
    }
    // The window's start as the program makes it: the command line read, the machine shown, then
    // the account queries started; false where the Windows version is refused.
    bool OpenWindow(const std::wstring& commandLine = L"") {
        main.ReadCommandLine(commandLine);
        const bool loaded = main.LoadFromMachine(MainWindowController::AccountReading::WhileInUse);
        main.StartAccountProbe();
        return loaded;
    }
    std::wstring Read(const std::wstring& valuePath) {
        return reg.ReadText(kHklm, valuePath).value_or(L"(missing)");
    }
};

}  // namespace tolvane::testing
