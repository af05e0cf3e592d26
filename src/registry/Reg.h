// Registry access by root code and text path; values travel as text.
#pragma once

#include <optional>
#include <string>

#include "registry/RegistryStore.h"

namespace tolvane {

enum RegRoot : int { Hkcr = 0, Hkcu = 1, Hklm = 2, HkeyUsers = 3, HkeyCurrentConfig = 4 };
enum RegValueType : int { RegSz = 0, RegDword = 1, RegBinary = 2, RegExpandSz = 3 };

// A write the registry refused: which value, and the system's error code.
struct WriteFailure {
    std::wstring fullPath;
    RegError code;
};
using WriteResult = std::optional<WriteFailure>;

std::wstring RootPrefix(int root);

// Text form of a stored value: REG_SZ and REG_EXPAND_SZ as their text, REG_DWORD as its decimal
// text; nothing for the types that have no text form.
std::optional<std::wstring> ValueText(const RawValue& value);

class Reg {
  public:
    explicit Reg(RegistryStore& store) : store_(store) {}

    // A value path ending in a backslash names the key itself (its default value).
    std::wstring ReadValue(int root, const std::wstring& valuePath,
                           const std::wstring& defaultValue);
    bool ValueExists(int root, const std::wstring& valuePath);
    // An unknown type writes nothing and succeeds.
    [[nodiscard]] WriteResult WriteValue(int root, const std::wstring& valuePath,
                                         const std::wstring& value, int valueType);
    // Deleting a path that ends in a backslash deletes the key. Failures are ignored.
    void DeleteValue(int root, const std::wstring& valuePath);

  private:
    RegError Read(int root, const std::wstring& valuePath, std::wstring& text);

    RegistryStore& store_;
};

}  // namespace tolvane
