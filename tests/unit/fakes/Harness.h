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
    FakeHost host;
    FakeLocalAccounts accounts;
    MainWindowController main{registry, system, host, accounts};
    MainWindowState& state = main.state();
    Controls& controls = main.controls();
    Reg reg{registry};
    Machine machine{reg, system, host, accounts};

    std::int16_t Value(ControlId id) const { return controls.Value(id); }
    void Set(ControlId id, std::int16_t value) { controls.SetValue(id, value); }
    // A service is installed when its Start value exists.
    void Install(const std::wstring& service, std::uint32_t start = 3) {
        registry.SetDword(kServices + service + L"\\Start", start);
    }
    std::wstring Read(const std::wstring& valuePath) {
        return reg.ReadText(kHklm, valuePath).value_or(L"(missing)");
    }
};

}  // namespace tolvane::testing
