// Registry scripts as the registry editor reads them, for the tests of the scripts Tolvane
// carries and of a stand-in for the editor.
#pragma once

#include <string>
#include <vector>

#include "registry/RegistryStore.h"

namespace tolvane::testing {

struct ScriptValue {
    std::wstring key;  // below HKEY_LOCAL_MACHINE
    std::wstring name;
    RawValue value;
};

// The hex(7) values a script sets. UTF-16LE text when it starts with FF FE, else 8-bit text.
std::vector<ScriptValue> ParseRegScript(const std::string& bytes);
// A file of src/resources, byte for byte.
std::string ResourceFile(const char* name);

}  // namespace tolvane::testing
