// An in-memory registry: keys compared without regard to case, like Windows does.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "registry/RegistryStore.h"

namespace tolvane::testing {

class FakeRegistry : public RegistryStore {
  public:
    RegError Read(int root, const std::wstring& key, const std::wstring& name,
                  RawValue& value) override;
    RegError Write(int root, const std::wstring& key, const std::wstring& name,
                   const RawValue& value) override;
    RegError DeleteValue(int root, const std::wstring& key, const std::wstring& name) override;
    RegError DeleteKey(int root, const std::wstring& key) override;

    // Test set-up and inspection, by "KEY\NAME" path under HKLM.
    void SetDword(const std::wstring& valuePath, std::uint32_t number);
    void SetString(const std::wstring& valuePath, const std::wstring& text);
    void SetRaw(const std::wstring& valuePath, const RawValue& value);
    std::optional<RawValue> Get(const std::wstring& valuePath) const;
    bool KeyExists(const std::wstring& keyPath) const;
    void DenyWrites(const std::wstring& keyPath) { denied_.insert(Fold(keyPath)); }

    int writes = 0;
    int deletions = 0;

    struct Entry {
        std::wstring name;
        RawValue value;
        bool operator==(const Entry&) const = default;
    };
    using Key = std::map<std::wstring, Entry>;  // by folded value name
    // Every key and its values, by root and folded key path: compare snapshots with ==.
    std::map<std::pair<int, std::wstring>, Key> keys;

    static std::wstring Fold(const std::wstring& text);

  private:
    std::set<std::wstring> denied_;
};

}  // namespace tolvane::testing
