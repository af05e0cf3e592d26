// The services running now, from the service control manager.
#pragma once

#include <optional>
#include <vector>

#include "system/System.h"

namespace tolvane::win32 {

// Nothing when the service control manager cannot be asked (no right to list the services).
std::optional<std::vector<RunningService>> ReadRunningServices();

}  // namespace tolvane::win32
