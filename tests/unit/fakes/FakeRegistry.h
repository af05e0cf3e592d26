// An in-memory registry: keys compared without regard to case, like Windows does.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "registry/RegistryStore.h"

namespace tolvane::testing {

class FakeRegistry : public RegistryStore {
  public:
    RegError Read(RegistryView view, RegistryRoot root, const std::wstring& key,
                  const std::wstring& name, RawValue& value) override;
    RegError Write(RegistryView view, RegistryRoot root, const std::wstring& key,
                   const std::wstring& name, const RawValue& value) override;
    RegError DeleteValue(RegistryView view, RegistryRoot root, const std::wstring& key,
                         const std::wstring& name) override;
    RegError DeleteKey(RegistryView view, RegistryRoot root, const std::wstring& key) override;
    RegError KeyEntries(RegistryView view, RegistryRoot root, const std::wstring& key,
                        std::uint32_t& entries) override;
    RegError ValueNames(RegistryView view, RegistryRoot root, const std::wstring& key,
                        std::vector<std::wstring>& names) override;
    // In lower case: the fake keeps key paths folded.
    RegError SubkeyNames(RegistryView view, RegistryRoot root, const std::wstring& key,
                         std::vector<std::wstring>& names) override;

    // Test set-up and inspection, by "KEY\NAME" path under HKLM.
    void SetDword(const std::wstring& valuePath, std::uint32_t number);
    void SetString(const std::wstring& valuePath, const std::wstring& text);
    void SetRaw(const std::wstring& valuePath, const RawValue& value);
    std::optional<RawValue> Get(const std::wstring& valuePath) const;
    bool KeyExists(const std::wstring& keyPath) const;
    void DenyWrites(const std::wstring& keyPath) { denied_.insert(Fold(keyPath)); }
    void AllowWrites(const std::wstring& keyPath) { denied_.erase(Fold(keyPath)); }

    // How many more writes and deletions succeed before every later one is refused; -1: all.
    int refuseAfter = -1;
    // Changes written as in `changes`, refused in turn: the first time the front one is asked
    // for it is refused and taken off, and the next one waits.
    std::deque<std::wstring> refusals;
    int writes = 0;
    int deletions = 0;
    // Each call, by its function's name, and the view it asked for, in order.
    std::vector<std::pair<std::string, RegistryView>> views;
    // Every change in order: "write KEY\NAME", "delete KEY\NAME", "delete KEY\" for a key.
    std::vector<std::wstring> changes;
    // Called before each write is made, with its "write KEY\NAME", and before each read, with
    // its "read KEY\NAME": what another run does meanwhile.
    std::function<void(const std::wstring& change)> beforeWrite;
    std::function<void(const std::wstring& access)> beforeRead;

    struct Entry {
        std::wstring name;
        RawValue value;
        bool operator==(const Entry&) const = default;
    };
    using Key = std::map<std::wstring, Entry>;  // by folded value name
    // Every key and its values, by root and folded key path: compare snapshots with ==.
    std::map<std::pair<RegistryRoot, std::wstring>, Key> keys;

    static std::wstring Fold(const std::wstring& text);
    // Values as the registry stores them.
    static RawValue Dword(std::uint32_t n);
    static RawValue Text(const std::wstring& text);

  private:
    // The key is denied, the change is the next refusal, or no more changes are allowed;
    // counts the change otherwise.
    bool Refuses(const std::wstring& key, const std::wstring& change);
    // Keys below the given one; a key exists as long as it or one below it does.
    std::size_t Descendants(RegistryRoot root, const std::wstring& foldedKey) const;

    std::set<std::wstring> denied_;
};

}  // namespace tolvane::testing
