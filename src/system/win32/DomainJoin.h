// Whether the machine is joined to a domain, from the network functions of Windows.
#pragma once

#include <optional>

namespace tolvane::win32 {

// Nothing when Windows cannot tell.
std::optional<bool> ReadDomainJoin();

}  // namespace tolvane::win32
