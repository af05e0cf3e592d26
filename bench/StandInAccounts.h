// The accounts the stand-in net.exe of the tests answers for, as a French Windows XP has them,
// for the benchmarks that start it.
#pragma once

#include <windows.h>

#include <cwchar>
#include <utility>

#include "system/win32/Handles.h"

namespace tolvane::bench {

// The guest account inactive, the help-assistant one active. The guest goes by the name Wine gives
// the computer's account 501, which the probe asks for (a French Windows XP calls it "Invité"):
// under any other name the probe would find no guest and its box would never take a state. False
// when the stand-in's key cannot be written.
inline bool SetFrenchAccounts() {
    win32::UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TolvaneTest\\Accounts", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::pair<const wchar_t*, const wchar_t*> accounts[] = {{L"Guest", L"no"},
                                                                  {L"HelpAssistant", L"yes"}};
    for (const auto& [name, active] : accounts) {
        const DWORD bytes = static_cast<DWORD>((std::wcslen(active) + 1) * sizeof(wchar_t));
        if (RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(active),
                           bytes) != ERROR_SUCCESS) {
            return false;
        }
    }
    return true;
}

}  // namespace tolvane::bench
