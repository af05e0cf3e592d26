// Registry operations on the real registry (wide Win32 functions).
#pragma once

#include "registry/RegistryStore.h"

namespace tolvane::win32 {

class Win32RegistryStore : public RegistryStore {
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
    RegError SubkeyNames(RegistryView view, RegistryRoot root, const std::wstring& key,
                         std::vector<std::wstring>& names) override;
};

}  // namespace tolvane::win32
