// Local accounts in memory: the account domain by relative identifier, each account's disabled
// flag by name, and every switch asked for.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "system/LocalAccounts.h"

namespace tolvane::testing {

class FakeLocalAccounts : public LocalAccounts {
  public:
    std::optional<std::wstring> NameOf(std::uint32_t rid) override {
        const auto found = names.find(rid);
        return found == names.end() ? std::nullopt : std::optional(found->second);
    }
    unsigned long ReadDisabled(const std::wstring& name, bool& isDisabled) override {
        const auto found = disabled.find(name);
        if (found == disabled.end()) {
            return kNoSuchAccount;
        }
        isDisabled = found->second;
        return 0;
    }
    unsigned long WriteDisabled(const std::wstring& name, bool isDisabled) override {
        switches.emplace_back(name, isDisabled);
        const auto found = disabled.find(name);
        if (found == disabled.end()) {
            return kNoSuchAccount;
        }
        const auto own = refusals.find(name);
        const unsigned long error = own == refusals.end() ? refusal : own->second;
        if (error == 0) {
            found->second = isDisabled;
        }
        return error;
    }

    // A French machine's guest, unless a test says otherwise.
    std::map<std::uint32_t, std::wstring> names = {{kGuestRid, L"Invit\u00e9"}};
    std::map<std::wstring, bool> disabled;
    // The error every switch gets, or the switches of one account; 0 lets them through.
    unsigned long refusal = 0;
    std::map<std::wstring, unsigned long> refusals;
    std::vector<std::pair<std::wstring, bool>> switches;
};

}  // namespace tolvane::testing
