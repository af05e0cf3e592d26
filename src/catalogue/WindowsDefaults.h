// What Windows itself ships in the values the catalogue writes, by version, product type and
// service pack: what an undo brings back where Tolvane kept no record of its own.
#pragma once

#include <string>

#include "system/System.h"

namespace tolvane {

// The value's text as Windows ships it, "Suppr" where Windows has no such value, or null where
// the table does not know it for this system (the row's own rule serves then). Paths are
// compared without regard to case, as the registry does.
const wchar_t* WindowsDefault(const std::wstring& valuePath, const VersionInfo& version);

}  // namespace tolvane
