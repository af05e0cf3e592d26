// Registry access by root and text path; values travel as text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "registry/RegistryStore.h"
#include "system/System.h"

namespace tolvane {

// The types a value is written with from its text.
enum class ValueType : std::uint8_t { String, Dword, Binary, ExpandString };

// What the system refused.
enum class Refused { Write, Delete, Read, AccountSwitch };

// A change the system refused: which value (or account), and the system's error code.
struct WriteFailure {
    std::wstring fullPath;
    RegError code;
    Refused refused = Refused::Write;
    // Where the refusal stopped a group: what became of it, in words for the user.
    std::wstring outcome = {};
};
using WriteResult = std::optional<WriteFailure>;

// "HKLM\\", as the user reads a full path.
std::wstring RootPrefix(RegistryRoot root);

// Text form of a stored value: REG_SZ and REG_EXPAND_SZ as their text, REG_DWORD as its decimal
// text; nothing for the types that have no text form.
std::optional<std::wstring> ValueText(const RawValue& value);

// A REG_MULTI_SZ value holding the strings, and the strings such a value holds (nothing for a
// value of another type).
RawValue MultiStringValue(const std::vector<std::wstring>& strings);
std::optional<std::vector<std::wstring>> MultiStrings(const RawValue& value);

// The value WriteValue stores for the text with the type; nothing when the text cannot be stored so
// (a REG_DWORD that is not a number).
std::optional<RawValue> TypedValue(const std::wstring& text, ValueType valueType);
// The key part of a value path: everything before its last backslash.
std::wstring KeyOf(const std::wstring& valuePath);

// The view that holds the values Windows itself reads: the 64-bit one for a program that runs
// under WOW64. Windows 2000 knows no views and refuses the flag that asks for one.
RegistryView RegistryViewOf(const VersionInfo& version, bool underWow64);

class Reg {
  public:
    // Every call goes to the one view: the program's own keys sit beside the values it changes.
    explicit Reg(RegistryStore& store, RegistryView view = RegistryView::Default)
        : store_(store), view_(view) {}

    // The value's text form; nothing where there is none (no such value, a type without a text
    // form, a refused read). A value path ending in a backslash names the key itself (its default
    // value).
    std::optional<std::wstring> ReadText(RegistryRoot root, const std::wstring& valuePath);
    bool ValueExists(RegistryRoot root, const std::wstring& valuePath);
    [[nodiscard]] WriteResult WriteValue(RegistryRoot root, const std::wstring& valuePath,
                                         const std::wstring& value, ValueType valueType);

    // The same operations on values as stored, for values that have no text form. A value or
    // key that is not there counts as removed; a path that ends in a backslash names the key.
    RegError ReadRaw(RegistryRoot root, const std::wstring& valuePath, RawValue& value);
    [[nodiscard]] WriteResult WriteRaw(RegistryRoot root, const std::wstring& valuePath,
                                       const RawValue& value);
    [[nodiscard]] WriteResult Remove(RegistryRoot root, const std::wstring& valuePath);
    // Values and subkeys of the key; nothing when it is missing or cannot be read.
    std::optional<std::uint32_t> KeyEntries(RegistryRoot root, const std::wstring& keyPath);
    // Names of the key's values; empty when it is missing or cannot be read.
    std::vector<std::wstring> ValueNames(RegistryRoot root, const std::wstring& keyPath);
    // Names of the key's subkeys; empty when it is missing or cannot be read.
    std::vector<std::wstring> SubkeyNames(RegistryRoot root, const std::wstring& keyPath);

  private:
    RegError Read(RegistryRoot root, const std::wstring& valuePath, std::wstring& text);

    RegistryStore& store_;
    RegistryView view_;
};

}  // namespace tolvane
