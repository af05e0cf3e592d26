// The machine's own user accounts, asked directly where net user's French report cannot tell an
// account's state. One Win32 implementation; the unit tests use an in-memory fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tolvane {

// The guest account's relative identifier, the same on every Windows language.
inline constexpr std::uint32_t kGuestRid = 501;
// The system's answer for a name no account has (NERR_UserNotFound).
inline constexpr unsigned long kNoSuchAccount = 2221;

class LocalAccounts {
  public:
    virtual ~LocalAccounts() = default;
    // The name of the account with this relative identifier in the machine's account domain;
    // nothing when there is none or the domain cannot be read.
    virtual std::optional<std::wstring> NameOf(std::uint32_t rid) = 0;
    // 0 and whether the account is disabled, or the system's error code.
    virtual unsigned long ReadDisabled(const std::wstring& name, bool& disabled) = 0;
    // 0, or the system's error code; the account's other flags stay as they are.
    virtual unsigned long WriteDisabled(const std::wstring& name, bool disabled) = 0;
};

}  // namespace tolvane
