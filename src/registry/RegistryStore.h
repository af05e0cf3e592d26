// Raw registry operations by root, key path and value name. One Win32 implementation;
// the unit tests use an in-memory fake. Text paths and conversions live in Reg.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane {

// Win32 value type codes.
enum RawType : std::uint32_t {
    RawNone = 0,
    RawSz = 1,
    RawExpandSz = 2,
    RawBinary = 3,
    RawDword = 4,
    RawMultiSz = 7,
};

struct RawValue {
    std::uint32_t type = RawNone;
    std::vector<std::uint8_t> data;
    bool operator==(const RawValue&) const = default;
};

// A Win32 error code: 0 for success.
using RegError = unsigned long;
inline constexpr RegError kRegOk = 0;
inline constexpr RegError kRegFileNotFound = 2;
inline constexpr RegError kRegPathNotFound = 3;
inline constexpr RegError kRegAccessDenied = 5;
inline constexpr RegError kRegInvalidData = 13;

// Nothing is there: no such value, or no such key.
inline bool NotFound(RegError error) {
    return error == kRegFileNotFound || error == kRegPathNotFound;
}

enum class RegistryRoot : std::uint8_t {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    CurrentConfig
};
// Every value the program reads and writes lives here.
inline constexpr RegistryRoot kHklm = RegistryRoot::LocalMachine;

// Which registry a call works on. A 32-bit program on 64-bit Windows sees, by default, copies of
// some keys (Ole and Rpc among them) that the system's own services never read; the 64-bit view
// is the registry they do read.
enum class RegistryView : std::uint8_t { Default, Wide64 };

// Every call names the view it works on.
class RegistryStore {
  public:
    virtual ~RegistryStore() = default;
    virtual RegError Read(RegistryView view, RegistryRoot root, const std::wstring& key,
                          const std::wstring& name, RawValue& value) = 0;
    // Creates the key when it is missing.
    virtual RegError Write(RegistryView view, RegistryRoot root, const std::wstring& key,
                           const std::wstring& name, const RawValue& value) = 0;
    virtual RegError DeleteValue(RegistryView view, RegistryRoot root, const std::wstring& key,
                                 const std::wstring& name) = 0;
    // Fails for a key that has subkeys.
    virtual RegError DeleteKey(RegistryView view, RegistryRoot root, const std::wstring& key) = 0;
    // How many values and subkeys the key holds.
    virtual RegError KeyEntries(RegistryView view, RegistryRoot root, const std::wstring& key,
                                std::uint32_t& entries) = 0;
    // The names of the key's values.
    virtual RegError ValueNames(RegistryView view, RegistryRoot root, const std::wstring& key,
                                std::vector<std::wstring>& names) = 0;
    // The names of the key's subkeys.
    virtual RegError SubkeyNames(RegistryView view, RegistryRoot root, const std::wstring& key,
                                 std::vector<std::wstring>& names) = 0;
};

}  // namespace tolvane
