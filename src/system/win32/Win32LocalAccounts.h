// The local accounts through the LSA policy and the net user functions (netapi32).
#pragma once

#include "system/LocalAccounts.h"

namespace tolvane::win32 {

class Win32LocalAccounts : public LocalAccounts {
  public:
    std::optional<std::wstring> NameOf(std::uint32_t rid) override;
    unsigned long ReadDisabled(const std::wstring& name, bool& disabled) override;
    unsigned long WriteDisabled(const std::wstring& name, bool disabled) override;
};

}  // namespace tolvane::win32
