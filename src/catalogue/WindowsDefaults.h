// What Windows itself ships in the values the catalogue writes, by version, product type and
// service pack: what an undo brings back where Tolvane kept no record of its own.
#pragma once

#include <optional>
#include <string>

#include "registry/SettingEngine.h"
#include "system/System.h"

namespace tolvane {

// The value as Windows ships it, or its deletion where Windows has no such value; nothing where
// the table does not know it for this system (the row's own rule serves then). Paths are
// compared without regard to case, as the registry does.
std::optional<UndoRule> WindowsDefault(const std::wstring& valuePath, const VersionInfo& version);

}  // namespace tolvane
